#include "net/api/RestfulRequest.h"

#include "app/AppGlobalData.h"
#include "net/api/ApiCommonParams.h"
#include "net/api/ApiReply.h"
#include "net/api/JsonFields.h"
#include "net/http/HttpCurl.h"
#include "net/http/SecretMask.h"

#include <QDateTime>
#include <QStringList>
#include <QUrl>

namespace Restful {

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

CommonValues commonValuesNow(const QString& version, const QString& p, int paramA, const QString& userId,
                             const QString& token)
{
    CommonValues values;
    values.version = version;
    values.p = p;
    values.paramA = paramA;
    values.time = QDateTime::currentSecsSinceEpoch();
    values.userId = userId;
    values.token = token;
    return values;
}

ApiParamList headerPairs(const ApiParamList& own, const CommonValues& common, const ApiParamList& unsignedPairs)
{
    ApiParamList pairs = own;
    ApiCommonParams::appendRestfulCommonPairs(pairs, common.version, common.p, common.paramA, common.time,
                                              common.userId, common.token);
    pairs.append(unsignedPairs);
    return pairs;
}

Reply readReply(const QByteArray& body)
{
    Reply reply;
    reply.body = body;
    reply.root = parseReplyObject(body);
    reply.success = readSuccessFlag(reply.root);
    reply.code = jsonCodeText(reply.root.value(QLatin1String("code")));
    reply.tagCode = jsonCodeText(reply.root.value(QLatin1String("TagCode")));
    reply.hasData = reply.root.contains(QLatin1String("data"));
    reply.data = reply.root.value(QLatin1String("data"));
    return reply;
}

int sendGet(const QString& url, const ApiParamList& headers, int seconds, QByteArray& body)
{
    const QByteArray address = QUrl(url, QUrl::TolerantMode).toEncoded();
    return HttpCurl::get(address, &headers, &HttpCurl::writeToByteArray, &body, seconds) == 0 ? 0 : -1;
}

namespace {

void maskPath(QJsonObject& object, const QStringList& keys, int index)
{
    const QString& key = keys.at(index);
    if (!object.contains(key))
        return;
    if (index + 1 == keys.size()) {
        object.insert(key, SecretMask::maskText());
        return;
    }
    QJsonValue inner = object.value(key);
    if (!inner.isObject())
        return;
    QJsonObject innerObject = inner.toObject();
    maskPath(innerObject, keys, index + 1);
    object.insert(key, innerObject);
}

} // namespace

QString replyForLog(const QJsonObject& root, const QStringList& secretPaths)
{
    QJsonObject masked = root;
    for (const QString& path : secretPaths) {
        const QStringList keys = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (!keys.isEmpty())
            maskPath(masked, keys, 0);
    }
    return SecretMask::logExcerpt(replyText(masked));
}

int codeResult(const QString& codeText)
{
    bool ok = false;
    const int number = codeText.toInt(&ok, 10);
    return ok ? number : -2;
}

} // namespace Restful
