#include "net/oss/OssContentType.h"

namespace Oss {

QByteArray contentTypeForKey(const QByteArray& key)
{
    struct Mapping
    {
        const char* extension;
        const char* type;
    };
    static const Mapping kTypes[] = {
        {"gz", "application/gzip"}, {"jpeg", "image/jpeg"},
        {"jpg", "image/jpeg"},      {"json", "application/json"},
        {"log", "text/plain"},      {"png", "image/png"},
        {"txt", "text/plain"},      {"xml", "application/xml"},
        {"zip", "application/zip"}, {"dmp", "application/octet-stream"},
    };
    const int slash = key.lastIndexOf('/');
    const int dot = key.lastIndexOf('.');
    if (dot < 0 || dot < slash)
        return "application/octet-stream";
    const QByteArray extension = key.mid(dot + 1).toLower();
    for (const Mapping& mapping : kTypes) {
        if (extension == mapping.extension)
            return mapping.type;
    }
    return "application/octet-stream";
}

} // namespace Oss
