// Feeds arbitrary bytes to the JSON path reader: as a document whose own key paths and string values are
// queried, and as a raw path into a fixed document.
#include "app/JsonPath.h"

#include <QJsonDocument>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#include <sanitizer/lsan_interface.h>
#define ZM_HAVE_LSAN 1
#endif
#endif

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Qt 5.15's parser leaks when a duplicate key replaces a nested object after an earlier member
// ({"y":"","x":{"a":{"b":"c"}},"x":0}); that leak is Qt's, not the reader's.
QJsonDocument parseIgnoringQtLeaks(const QByteArray& bytes)
{
#ifdef ZM_HAVE_LSAN
    __lsan::ScopedDisabler disabler;
#endif
    return QJsonDocument::fromJson(bytes);
}

constexpr int kMaxDepth = 8;

void queryAll(const JsonPath& reader, const QJsonObject& object, const std::string& prefix, int depth)
{
    if (depth > kMaxDepth)
        return;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const std::string path = prefix + "/" + it.key().toStdString();
        reader.string(path);
        reader.array(path);
        reader.valueAt(path);
        if (it.value().isString())
            reader.string(it.value().toString().toStdString());
        if (it.value().isObject())
            queryAll(reader, it.value().toObject(), path, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const std::string raw(bytes.constData(), size_t(bytes.size()));

    static const JsonPath fixed(
        QJsonDocument::fromJson(R"({"data":{"id":42,"list":[1,2],"info":{"name":"x/y","flag":true}}})").object());
    fixed.string(raw);
    fixed.array(raw);
    splitJsonPath(raw);

    const QJsonDocument document = parseIgnoringQtLeaks(bytes);
    if (!document.isObject())
        return 0;
    const JsonPath reader(document.object());
    queryAll(reader, document.object(), std::string(), 0);
    return 0;
}
