#pragma once

#include "net/http/ApiParamList.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// What every RESTful call of the class service shares besides its base address (ApiCommonParams::restfulBase):
// the encoded path, the signed header pairs, the request and the reading of the reply
// {"success": bool, "code": ..., "TagCode": ..., "data": ...}.
namespace Restful {

// A path segment or query value percent-encoded as UTF-8 (everything but letters, digits, "-", ".", "_", "~"),
// so that ids and versions from outside cannot change the path or add parameters.
QString encoded(const QString& value);

// "RESTful=" + the fixed segments of a path joined by "_": no leading or trailing "/", no query, no segment
// holding a placeholder ("%1"). "/classroom/lesson/%1" gives "RESTful=classroom_lesson".
QString remarkForPath(const QString& pathTemplate);

// Values of the common pairs appended after a call's own pairs.
struct CommonValues
{
    QString version;                 // "v"
    QString p = QStringLiteral("6"); // "p"
    int paramA = 0;                  // "a"
    qint64 time = 0;                 // "t", seconds since 1970
    QString userId;
    QString token;
};

// Common values for now: the given version, "p", paramA (the lesson context's), user id and token, and the
// current time.
CommonValues commonValuesNow(const QString& version, const QString& p, int paramA, const QString& userId,
                             const QString& token);

// The header pairs of a call, in wire order: its own pairs; "c" "1", "v", "p", "a", "t", "userId", "token";
// "s", the signature of everything before it; then the unsigned pairs (not covered by "s").
ApiParamList headerPairs(const ApiParamList& own, const CommonValues& common, const ApiParamList& unsignedPairs = {});

// A reply body read as JSON; a body that is not a JSON object reads as an empty object.
struct Reply
{
    QByteArray body;
    QJsonObject root;
    bool success = false; // "success" is the JSON value true (the text "true" is not)
    QString code;         // "code": a string as it is, a whole number as its decimal text; else empty
    QString tagCode;      // "TagCode", read like "code"
    bool hasData = false;
    QJsonValue data;
};
Reply readReply(const QByteArray& body);

// GET of the address (parsed tolerantly, sent fully encoded) with the header pairs as header lines, the body
// collected into body. 0 when the transfer completed with status 200 or 201, else -1.
int sendGet(const QString& url, const ApiParamList& headers, int seconds, QByteArray& body);

// The reply document as compact JSON for the log, with the values at the given '/'-separated member paths and
// every token or key named by SecretMask masked.
QString replyForLog(const QJsonObject& root, const QStringList& secretPaths);

// The result of a call judged by a code text: 0 when it is the number 0; the number when it is another
// number; -2 when it is no base-10 number that fits an int.
int codeResult(const QString& codeText);

} // namespace Restful
