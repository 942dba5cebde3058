// The RESTful calls of the class service: GET requests whose parameters travel as signed header lines.
#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "net/api/ApiCommonParams.h"
#include "net/api/JsonFields.h"
#include "net/api/LessonResponseParser.h"
#include "net/api/RestfulRequest.h"
#include "net/api/UnavailableDevices.h"
#include "net/http/SecretMask.h"

#include <QDebug>

namespace {

// The "a" of the common pairs: the lesson context's.
int currentParamA()
{
    return AppGlobalData::instance()->lessonContext().paramA();
}

constexpr char kExchangeTokenPath[] = "/account/exchange/token/?realPlatform=%1";
constexpr char kLessonPath[] = "/classroom/lesson/%1";
constexpr char kPublicResourcesPath[] = "/configs/public/resources?webVersion=%1";
constexpr char kCourseZipPath[] = "/material/lesson/course/zip?lessonId=%1";
constexpr char kDeviceListPath[] = "/configs/public/device/unSupport/list";

constexpr int kRefusedProblemType = 1;
constexpr int kRefusedErrorCode = -1;

// The path with its argument percent-encoded.
QString path(const char* pathTemplate, const QString& argument)
{
    return QString::fromLatin1(pathTemplate).arg(Restful::encoded(argument));
}

QString restfulBase()
{
    return ApiCommonParams::restfulBase(UrlConfig::instance()->restful);
}

ApiParamList systemVersionPair()
{
    return ApiParamList{{QStringLiteral("systemVersion"), getOsName()}};
}

QString describeCode(const QString& code)
{
    return QStringLiteral("ErrorCode =") + code;
}

// The version fields of one part of the public resources reply ("app" or "web"), keys behind prefix.
void insertVersionFields(PublicResourcesInfo& out, const QString& prefix, const QJsonObject& part)
{
    out.insert(prefix + QLatin1String("checkResult"),
               QString::number(jsonInt(part.value(QLatin1String("versionStatus")))));
    out.insert(prefix + QLatin1String("latestVersion"), stringAt(part, QStringLiteral("versionName")));
    out.insert(prefix + QLatin1String("latestVersionURL"), stringAt(part, QStringLiteral("versionUrl")));
    out.insert(prefix + QLatin1String("latestVersionDesc"), stringAt(part, QStringLiteral("versionDesc")));
    out.insert(prefix + QLatin1String("latestVersionURLEn"), stringAt(part, QStringLiteral("versionUrlEn")));
    out.insert(prefix + QLatin1String("latestVersionDescEn"), stringAt(part, QStringLiteral("versionDescEn")));
}

// What every direct call does once its address and header pairs are built: log the address, send, read and log
// the reply. 0, or -1 when the request failed (nothing is read or reported then).
int callRestful(const char* callName, const QString& url, const ApiParamList& headers, const QStringList& secretPaths,
                Restful::Reply& reply)
{
    qInfo().noquote() << QStringLiteral("Call RESTful : %1").arg(url);
    QByteArray body;
    if (Restful::sendGet(url, headers, ZmNetAPI::timeoutSeconds(), body) != 0)
        return -1;
    reply = Restful::readReply(body);
    qInfo().noquote() << QStringLiteral("ZmNetAPI::%1 reply:").arg(QLatin1String(callName))
                      << Restful::replyForLog(reply.root, secretPaths);
    return 0;
}

void reportRefusal(ZmNetAPI* api, const char* pathTemplate, const QString& description)
{
    api->reportDeviceProblem(kRefusedProblemType, kRefusedErrorCode,
                             Restful::remarkForPath(QLatin1String(pathTemplate)), description);
}

} // namespace

int ZmNetAPI::ExchangeToken_RESTful(int p, const QString& userId, const QString& token, int realPlatform,
                                    QString& exchangedToken)
{
    const QString url = restfulBase() + path(kExchangeTokenPath, QString::number(realPlatform));
    const ApiParamList own{{QStringLiteral("realPlatform"), QString::number(realPlatform)}};
    const ApiParamList headers = Restful::headerPairs(
        own, Restful::commonValuesNow(m_version, QString::number(p), currentParamA(), userId, token));
    Restful::Reply reply;
    // The reply's data is the exchanged token.
    if (callRestful("ExchangeToken_RESTful", url, headers, {QStringLiteral("data")}, reply) != 0)
        return -1;
    if (!reply.success) {
        const QString description = describeCode(reply.code);
        reportRefusal(this, kExchangeTokenPath, description);
        qWarning().noquote() << "Error in ExchangeToken_RESTful: code=" + description;
        return -2;
    }
    exchangedToken = reply.data.toString();
    return 0;
}

int ZmNetAPI::GetSmallClassInfo(const QString& periodId, const QString& userId, const QString& token)
{
    const QString url = restfulBase() + path(kLessonPath, periodId);
    const ApiParamList headers = Restful::headerPairs(
        {}, Restful::commonValuesNow(m_version, QStringLiteral("6"), currentParamA(), userId, token));
    Restful::Reply reply;
    if (callRestful("GetSmallClassInfo", url, headers, {QStringLiteral("data/channelKey")}, reply) != 0)
        return -1;
    if (!reply.success) {
        reportRefusal(this, kLessonPath, describeCode(reply.code));
        qWarning().noquote() << "Error in GetSmallClassInfo: code=" + reply.code;
        return -2;
    }
    parseLessonResponse(reply.body);
    return 0;
}

int ZmNetAPI::getPublicResources(const QString& webVersion, PublicResourcesInfo& out)
{
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    const QString url = restfulBase() + path(kPublicResourcesPath, webVersion);
    const ApiParamList own{{QStringLiteral("webVersion"), webVersion}};
    const ApiParamList headers = Restful::headerPairs(
        own, Restful::commonValuesNow(m_version, QStringLiteral("6"), lesson.paramA(), lesson.userId(), lesson.token()),
        systemVersionPair());
    Restful::Reply reply;
    if (callRestful("getPublicResources", url, headers, {}, reply) != 0)
        return -1;
    if (!reply.success) {
        reportRefusal(this, kPublicResourcesPath, describeCode(reply.code));
        return -2;
    }

    const QJsonObject replyData = reply.data.toObject();
    const QJsonObject app = replyData.value(QLatin1String("app")).toObject();
    const QJsonObject web = replyData.value(QLatin1String("web")).toObject();
    insertVersionFields(out, QString(), app);
    insertVersionFields(out, QStringLiteral("web."), web);
    out.insert(QStringLiteral("web.MD5"), stringAt(web, QStringLiteral("checkSum")));
    AppGlobalData::instance()->launch.latestVersionName = out.value(QStringLiteral("latestVersion"));
    // The addresses may be signed: their signatures and tokens are masked.
    QString printed;
    QDebug(&printed) << out;
    qInfo().noquote() << "ZmNetAPI::getPublicResources" << SecretMask::maskSecrets(printed.trimmed());
    return 0;
}

int ZmNetAPI::getLessonCourseZip(const QString& lessonId, const QString& userId, const QString& token, QVariantMap& out)
{
    const QString url = restfulBase() + path(kCourseZipPath, lessonId);
    const ApiParamList own{{QStringLiteral("lessonId"), lessonId}};
    const ApiParamList headers = Restful::headerPairs(
        own, Restful::commonValuesNow(m_version, QStringLiteral("6"), currentParamA(), userId, token));
    Restful::Reply reply;
    if (callRestful("getLessonCourseZip", url, headers, {}, reply) != 0)
        return -1;
    const int result = Restful::codeResult(reply.code);
    if (result != 0) {
        reportRefusal(this, kCourseZipPath, reply.code);
        return result;
    }
    const QJsonObject replyData = reply.data.toObject();
    out.insert(QStringLiteral("zipUrl"), jsonCodeText(replyData.value(QLatin1String("zipUrl"))));
    out.insert(QStringLiteral("md5"), jsonCodeText(replyData.value(QLatin1String("md5"))));
    out.insert(QStringLiteral("zipSize"), jsonCodeText(replyData.value(QLatin1String("fileSize"))));
    return 0;
}

int ZmNetAPI::getUnavailableDevices(const QString& userId, const QString& token, QStringList& cameras,
                                    QStringList& microphones, QStringList& speakers)
{
    const QString url = restfulBase() + QLatin1String(kDeviceListPath);
    const ApiParamList headers = Restful::headerPairs(
        {}, Restful::commonValuesNow(m_version, QStringLiteral("6"), currentParamA(), userId, token),
        systemVersionPair());
    Restful::Reply reply;
    if (callRestful("getUnavailableDevices", url, headers, {}, reply) != 0)
        return -1;
    const int result = Restful::codeResult(reply.tagCode);
    if (result != 0) {
        reportRefusal(this, kDeviceListPath, reply.tagCode);
        qWarning().noquote() << "Error in getUnavailableDevices: tagcode=" + reply.tagCode;
        return result;
    }
    if (reply.hasData)
        appendUnavailableDevices(reply.data, cameras, microphones, speakers);
    return 0;
}
