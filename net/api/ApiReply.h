#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Readers of the class service's JSON replies. None of them fails: what is missing or of another kind reads as
// empty texts and zeros.

// How a numbered call reads "TagCode".
enum class TagCodeReading
{
    AnyScalar,  // a string as it is, a number exactly, true/false as 1/0, null as 0
    StringOnly, // only a JSON string; any other kind reads as 0
};

struct TagCode
{
    int code = 0; // 0: accepted
    QString text; // what was read, for the log line
};

// The reply body as a JSON object; a body that is not a JSON object gives an empty object.
QJsonObject parseReplyObject(const QByteArray& body);

// The reply's top-level "TagCode".
TagCode readTagCode(const QJsonObject& reply, TagCodeReading reading);

// A whole number as text (optional sign, decimal digits) as int, clamped to the int range; anything else is 0.
int integerFromText(const QString& text);

// A scalar read as an integer: a string by integerFromText, an integral number exactly (clamped to the int
// range), true/false as 1/0; anything else (null, a fraction, an array, an object) is 0.
int integerFromValue(const QJsonValue& value);

// The text under key when it is a JSON string; empty otherwise.
QString stringAt(const QJsonObject& object, const QString& key);

// The temporary object-storage credentials and the object key of an upload-information reply: bucketName,
// endpoint, accessKeyId, accessKeySecret, securityToken and savePath, each empty when missing.
QMap<QString, QString> readOssUploadInfo(const QJsonObject& reply);
extern const char* const kOssUploadInfoKeys[6];

// The address of the stored object for the log: the bucket as a sub-domain of the endpoint, then savePath.
QString ossObjectAddress(const QMap<QString, QString>& info);

// (user id, point) of each element of "pointInfoList" that is an object; numbers read as integers.
QVector<QPair<int, int>> readStudentPoints(const QJsonObject& reply);

// The issue texts under "cn" (language exactly "cn") or "en", split at ";" with empty parts kept; an empty or
// missing text gives no items.
QStringList readFeedbackItems(const QJsonObject& reply, const QString& language);

// "isSuccess" read as an integer.
int readIsSuccess(const QJsonObject& reply);

// "wsUrl" when it is a non-empty JSON string; empty otherwise.
QString readWsUrl(const QJsonObject& reply);

// True only for "success" given as JSON true.
bool readSuccessFlag(const QJsonObject& reply);

// The reply document as compact JSON text, for the log.
QString replyText(const QJsonObject& reply);
