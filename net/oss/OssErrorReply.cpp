#include "net/oss/OssErrorReply.h"

#include <QXmlStreamReader>

namespace Oss {

bool parseErrorReply(const QByteArray& body, ErrorReply& reply)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Error"))
        return false;
    ErrorReply parsed;
    while (xml.readNextStartElement()) {
        QByteArray* field = nullptr;
        if (xml.name() == QLatin1String("Code"))
            field = &parsed.code;
        else if (xml.name() == QLatin1String("Message"))
            field = &parsed.message;
        else if (xml.name() == QLatin1String("RequestId"))
            field = &parsed.requestId;
        else if (xml.name() == QLatin1String("HostId"))
            field = &parsed.hostId;
        if (!field) {
            xml.skipCurrentElement();
            continue;
        }
        *field = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toUtf8();
    }
    if (xml.hasError())
        return false;
    reply = parsed;
    return true;
}

} // namespace Oss
