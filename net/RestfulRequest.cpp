#include "net/RestfulRequest.h"

#include "app/AppGlobalData.h"
#include "net/JsonFields.h"
#include "net/RequestSign.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QStringList>
#include <QUrl>

namespace Restful {

QString baseAddress(const QString& configured)
{
    const QUrl url(configured, QUrl::TolerantMode);
    QString host = url.host(QUrl::FullyDecoded);
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    QString base = url.scheme() + QStringLiteral("://") + host;
    if (url.port() != -1)
        base += QLatin1Char(':') + QString::number(url.port());
    return base;
}

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString remarkForPath(const QString& pathTemplate)
{
    const QString path = pathTemplate.section(QLatin1Char('?'), 0, 0);
    QStringList fixed;
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& segment : segments) {
        if (!segment.contains(QLatin1Char('%')))
            fixed.append(segment);
    }
    return QStringLiteral("RESTful=") + fixed.join(QLatin1Char('_'));
}

CommonValues commonValuesNow(const QString& version, const QString& userId, const QString& token)
{
    CommonValues values;
    values.version = version;
    values.paramA = AppGlobalData::instance()->launch.paramA;
    values.time = QDateTime::currentSecsSinceEpoch();
    values.userId = userId;
    values.token = token;
    return values;
}

ApiParamList headerPairs(const ApiParamList& own, const CommonValues& common, const ApiParamList& unsignedPairs)
{
    ApiParamList pairs = own;
    pairs.append({QStringLiteral("c"), QStringLiteral("1")});
    pairs.append({QStringLiteral("v"), common.version});
    pairs.append({QStringLiteral("p"), common.p});
    pairs.append({QStringLiteral("a"), QString::number(common.paramA)});
    pairs.append({QStringLiteral("t"), QString::number(common.time)});
    pairs.append({QStringLiteral("userId"), common.userId});
    pairs.append({QStringLiteral("token"), common.token});
    pairs.append({QStringLiteral("s"), makeRequestSign(pairs, requestSignAlphabet())});
    pairs.append(unsignedPairs);
    return pairs;
}

Reply readReply(const QByteArray& body)
{
    Reply reply;
    reply.root = QJsonDocument::fromJson(body).object();
    reply.success = reply.root.value(QLatin1String("success")).toBool(false);
    reply.code = jsonCodeText(reply.root.value(QLatin1String("code")));
    reply.tagCode = jsonCodeText(reply.root.value(QLatin1String("TagCode")));
    reply.hasData = reply.root.contains(QLatin1String("data"));
    reply.data = reply.root.value(QLatin1String("data"));
    return reply;
}

int codeResult(const QString& codeText)
{
    bool ok = false;
    const int number = codeText.toInt(&ok, 10);
    return ok ? number : -2;
}

} // namespace Restful
