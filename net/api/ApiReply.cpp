#include "net/api/ApiReply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

#include <cmath>
#include <limits>

namespace {

int clampToInt(double value)
{
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

} // namespace

const char* const kOssUploadInfoKeys[6] = {"bucketName",      "endpoint",      "accessKeyId",
                                           "accessKeySecret", "securityToken", "savePath"};

QJsonObject parseReplyObject(const QByteArray& body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return QJsonObject();
    return document.object();
}

int integerFromText(const QString& text)
{
    int start = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+'))) {
        negative = text.at(0) == QLatin1Char('-');
        start = 1;
    }
    if (start >= text.size())
        return 0;
    qint64 magnitude = 0;
    constexpr qint64 kLimit = qint64(std::numeric_limits<int>::max()) + 1;
    for (int i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (c.unicode() - '0');
    }
    if (negative)
        return magnitude >= kLimit ? std::numeric_limits<int>::min() : int(-magnitude);
    return magnitude >= kLimit ? std::numeric_limits<int>::max() : int(magnitude);
}

int integerFromValue(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return integerFromText(value.toString());
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (!std::isfinite(number) || std::trunc(number) != number)
            return 0;
        return clampToInt(number);
    }
    case QJsonValue::Bool:
        return value.toBool() ? 1 : 0;
    default:
        return 0;
    }
}

TagCode readTagCode(const QJsonObject& reply, TagCodeReading reading)
{
    TagCode result;
    const QJsonValue value = reply.value(QStringLiteral("TagCode"));
    if (value.isString()) {
        result.text = value.toString();
        result.code = integerFromText(result.text);
        return result;
    }
    if (reading == TagCodeReading::StringOnly)
        return result;
    result.code = integerFromValue(value);
    if (value.isDouble())
        result.text = QString::number(value.toDouble(), 'g', 17);
    else if (value.isBool() || value.isNull())
        result.text = QString::number(result.code);
    return result;
}

QString stringAt(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : QString();
}

QMap<QString, QString> readOssUploadInfo(const QJsonObject& reply)
{
    QMap<QString, QString> info;
    for (const char* key : kOssUploadInfoKeys)
        info.insert(QLatin1String(key), stringAt(reply, QLatin1String(key)));
    return info;
}

QString ossObjectAddress(const QMap<QString, QString>& info)
{
    QString endpoint = info.value(QStringLiteral("endpoint"));
    if (!endpoint.contains(QLatin1String("://")))
        endpoint.prepend(QLatin1String("http://"));
    const QUrl url(endpoint, QUrl::TolerantMode);
    QString host = url.host();
    if (url.port() != -1)
        host += QLatin1Char(':') + QString::number(url.port());
    QString savePath = info.value(QStringLiteral("savePath"));
    if (savePath.startsWith(QLatin1Char('/')))
        savePath.remove(0, 1);
    return url.scheme() + QLatin1String("://") + info.value(QStringLiteral("bucketName")) + QLatin1Char('.') + host +
           QLatin1Char('/') + savePath;
}

QVector<QPair<int, int>> readStudentPoints(const QJsonObject& reply)
{
    QVector<QPair<int, int>> points;
    const QJsonArray list = reply.value(QStringLiteral("pointInfoList")).toArray();
    for (const QJsonValue& element : list) {
        if (!element.isObject())
            continue;
        const QJsonObject item = element.toObject();
        points.append(qMakePair(integerFromValue(item.value(QStringLiteral("userId"))),
                                integerFromValue(item.value(QStringLiteral("point")))));
    }
    return points;
}

QStringList readFeedbackItems(const QJsonObject& reply, const QString& language)
{
    const QString key = language == QLatin1String("cn") ? QStringLiteral("cn") : QStringLiteral("en");
    const QString text = stringAt(reply, key);
    if (text.isEmpty())
        return QStringList();
    return text.split(QLatin1Char(';'), Qt::KeepEmptyParts);
}

int readIsSuccess(const QJsonObject& reply)
{
    return integerFromValue(reply.value(QStringLiteral("isSuccess")));
}

QString readWsUrl(const QJsonObject& reply)
{
    return stringAt(reply, QStringLiteral("wsUrl"));
}

bool readSuccessFlag(const QJsonObject& reply)
{
    const QJsonValue value = reply.value(QStringLiteral("success"));
    return value.isBool() && value.toBool();
}

QString replyText(const QJsonObject& reply)
{
    return QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact));
}
