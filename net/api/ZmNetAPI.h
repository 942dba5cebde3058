#pragma once

#include "net/api/ApiReply.h"
#include "net/http/ApiParamList.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

class LessonContext;
class QTaskItem;

// What getPublicResources reads about the newest program and web resources, by key ("checkResult",
// "latestVersion", ..., "web.MD5", ...).
using PublicResourcesInfo = QMap<QString, QString>;

// The client of the class service's HTTP API: numbered calls (one entrance path, the parameters as a
// percent-encoded JSON text with a numeric "FuncTag"), RESTful calls and problem reports. Every call is synchronous on
// the caller's thread, blocks it for at most timeoutSeconds(), and keeps no state of its own.
//
// Results of the numbered calls: 0 success; -1 the request failed (no connection, time-out, HTTP status other
// than 200/201); the service's non-zero "TagCode" (reported as a problem and logged); -2 only from
// submitClassStudentPoint ("isSuccess" 0). Out values are written on success only.
class ZmNetAPI
{
public:
    // The one object, created on first use; callers never free it.
    static ZmNetAPI* instance();

    ~ZmNetAPI();
    ZmNetAPI(const ZmNetAPI&) = delete;
    ZmNetAPI& operator=(const ZmNetAPI&) = delete;

    // The program's version, first three parts: the parameter "v".
    QString version() const { return m_version; }

    int AddUserDevcieInfo(int deviceType, int deviceStatus, const QString& abnormalMessage);
    int FeedbackErrorOfCheckUserDevcies(int userId, const QStringList& lines);
    int ExitClassRoom(const QString& teacherLeaveState);
    // 0 on success, which also sets the application data's enteredClass.
    int EnterClassRoom();
    // The class-entry form: sends to apiBase, with the parameters also as header lines, and ends task as
    // succeeded (the application data's enteredClass set) or failed. Files no problem report. Sends for the
    // task's lesson context (taskLessonContext).
    void EnterClassRoom(QTaskItem* task, const QString& apiBase, const QString& clientRequestHex,
                        const QString& clientTimeStamp);
    // out receives bucketName, endpoint, accessKeyId, accessKeySecret, securityToken and savePath. Empty
    // lessonId / periodId mean the lesson record's.
    int GetAliyunOSSUploadInfo(const QString& fileName, QMap<QString, QString>& out, const QString& lessonId,
                               const QString& periodId);
    int uploadCallback(const QString& fileName, const QString& lessonId, const QString& periodId);
    // The same two for the user (id and token) and lesson of owner, an earlier run's upload; empty lessonId /
    // periodId mean owner's.
    int GetAliyunOSSUploadInfo(const LessonContext& owner, const QString& fileName, QMap<QString, QString>& out,
                               const QString& lessonId, const QString& periodId);
    int uploadCallback(const LessonContext& owner, const QString& fileName, const QString& lessonId,
                       const QString& periodId);
    int getClassStudentsPoint();
    int submitClassStudentPoint(int studentId, int point);
    int getFeedbackConfig(QStringList& out);
    int submitFeedback(const QString& common, const QString& other);

    // RESTful calls: GET on scheme://host[:port] of the configured RESTful address, the parameters as signed
    // header lines. 0 success; -1 the request failed; -2 the service refused (a problem report is filed);
    // getLessonCourseZip and getUnavailableDevices return a refusal's code instead when it is a number.
    // Out values are written on success only.

    // Exchanges the login token; exchangedToken := the reply's "data" text.
    int ExchangeToken_RESTful(int p, const QString& userId, const QString& token, int realPlatform,
                              QString& exchangedToken);
    // Loads the lesson's information into the application data (parseLessonResponse).
    int GetSmallClassInfo(const QString& periodId, const QString& userId, const QString& token);
    // Newest program and web-resource versions; also sets the launch record's latestVersionName.
    int getPublicResources(const QString& webVersion, PublicResourcesInfo& out);
    // The lesson's courseware package: out "zipUrl", "md5" and "zipSize" (texts).
    int getLessonCourseZip(const QString& lessonId, const QString& userId, const QString& token, QVariantMap& out);
    // Appends the unsupported devices' names (upper case) to the lists of their types.
    int getUnavailableDevices(const QString& userId, const QString& token, QStringList& cameras,
                              QStringList& microphones, QStringList& speakers);

    // Files a fault of the running lesson with the class service (a signed form POST on the RESTful host).
    // 0 when the service accepted it, or when it is not to be sent (no lesson; an auditor's report of any type
    // but 5); -1 when sending failed or the service refused it.
    int reportDeviceProblem(int problemType, int errorCode, const QString& remark, const QString& errorDescription);
    // The same for a lesson snapshot taken earlier (reports sent from another thread).
    int reportDeviceProblem(const LessonContext& lesson, int problemType, int errorCode, const QString& remark,
                            const QString& errorDescription);

    // The numbered-call address for the URL configuration's API base.
    static QUrl makeApiUrl(const ApiParamList& list);
    // base + "/quillo/entrance?parameter=" + the percent-encoded JSON parameter text.
    static QString GetUrl(const QString& base, const ApiParamList& list);

    static constexpr int kTimeoutSeconds = 10;
    // The time limit of every call: kTimeoutSeconds unless a test set another.
    static int timeoutSeconds();
    // For tests that wait the limit out: seconds > 0 replaces it, 0 restores kTimeoutSeconds.
    static void setTimeoutSecondsForTesting(int seconds);

    // The task form's request: 0 accepted, -1 request failed, else the refusal code. Sets enteredClass on 0.
    // Without a context: the application data's lesson context now.
    int enterClassRoomAt(const QString& apiBase, const QString& clientRequestHex, const QString& clientTimeStamp);
    int enterClassRoomAt(const LessonContext& lesson, const QString& apiBase, const QString& clientRequestHex,
                         const QString& clientTimeStamp);

private:
    ZmNetAPI();

    // Steps of every numbered call after its list is built: sign, send, read, judge. On 0, *reply holds the
    // reply object.
    int callNumbered(const char* callName, ApiParamList list, TagCodeReading reading, bool takesWsUrl,
                     QJsonObject* reply);

    // The pairs of the enter-class call before its tail.
    ApiParamList enterClassPairs(const LessonContext& lesson) const;

    QString m_version;
    bool m_curlReady = false;
};

// The JSON object members of the parameter text, without braces: pairs sorted by key as the signature sorts
// them, keys and values written as JSON strings.
QString paramsToJsonText(const ApiParamList& list);

// The device id sent with class entry and exit: the hardware address of the first network interface that is up,
// running, not loop-back and has one, with "-" between the pairs; empty when there is none (then searched
// again next time). Found once per process; safe from any thread.
QString getDeviceUid();

// The problem-report form fields in their order.
ApiParamList problemReportForm(int accountType, const QString& periodId, const QString& systemVersion,
                               const QString& webLocalVersion, int problemType, int errorCode, const QString& remark,
                               const QString& errorDescription);
