// The numbered calls of the class service, each building its parameter list in the service's order.
#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/SystemInfo.h"
#include "net/api/ApiCommonParams.h"

#include <QDebug>

namespace {

KeyValuePair pair(const char* key, const QString& value)
{
    return {QLatin1String(key), value};
}

QString orDefault(const QString& given, const QString& fallback)
{
    return given.isEmpty() ? fallback : given;
}

// The lesson context of the records now: one snapshot per call.
LessonContext currentLesson()
{
    return AppGlobalData::instance()->lessonContext();
}

// The parameters of the two object-storage calls about one log archive (asking for the upload credentials and
// telling the service it was stored) for the user of lesson; empty lesson and period ids stand for lesson's.
ApiParamList logArchivePairs(const char* funcTag, const QString& fileName, const QString& lessonId,
                             const QString& periodId, const LessonContext& lesson)
{
    return ApiParamList{pair("FuncTag", QLatin1String(funcTag)),
                        pair("token", lesson.token()),
                        pair("userId", lesson.userId()),
                        pair("fileType", QStringLiteral("3")),
                        pair("fileName", fileName),
                        pair("lessonId", orDefault(lessonId, lesson.lessonId())),
                        pair("periodId", orDefault(periodId, lesson.periodId()))};
}

} // namespace

int ZmNetAPI::AddUserDevcieInfo(int deviceType, int deviceStatus, const QString& abnormalMessage)
{
    const LessonContext lesson = currentLesson();
    ApiParamList list{pair("FuncTag", QStringLiteral("10000204")),
                      pair("periodId", lesson.periodId()),
                      pair("userId", lesson.userId()),
                      pair("deviceType", QString::number(deviceType)),
                      pair("deviceStatus", QString::number(deviceStatus)),
                      pair("abnormalMessage", abnormalMessage)};
    ApiCommonParams::appendTailA(list, m_version);
    return callNumbered("AddUserDevcieInfo", list, TagCodeReading::AnyScalar, false, nullptr);
}

int ZmNetAPI::FeedbackErrorOfCheckUserDevcies(int userId, const QStringList& lines)
{
    QString message;
    for (const QString& line : lines)
        message += line + QLatin1Char(';');
    ApiParamList list{pair("FuncTag", QStringLiteral("10000204")), pair("userId", QString::number(userId)),
                      pair("deviceType", QStringLiteral("6")), pair("deviceStatus", QStringLiteral("1")),
                      pair("abnormalMessage", message)};
    ApiCommonParams::appendTailA(list, m_version);
    return callNumbered("FeedbackErrorOfCheckUserDevcies", list, TagCodeReading::AnyScalar, false, nullptr);
}

int ZmNetAPI::ExitClassRoom(const QString& teacherLeaveState)
{
    const LessonContext lesson = currentLesson();
    ApiParamList list{pair("sinceVersion", QStringLiteral("since_1_4_1")),
                      pair("webLocalVersion", ApiCommonParams::installedWebVersion())};
    if (!teacherLeaveState.isEmpty())
        list.append(pair("teacherLeaveState", teacherLeaveState));
    list.append(pair("FuncTag", QStringLiteral("50000102")));
    list.append(pair("token", lesson.token()));
    list.append(pair("userId", lesson.userId()));
    list.append(pair("roleType", ApiCommonParams::roleType(lesson.accountType())));
    list.append(pair("exitType", QStringLiteral("1")));
    list.append(pair("periodId", lesson.periodId()));
    list.append(pair("deviceUid", getDeviceUid()));
    ApiCommonParams::appendTailA(list, m_version);
    return callNumbered("ExitClassRoom", list, TagCodeReading::AnyScalar, false, nullptr);
}

ApiParamList ZmNetAPI::enterClassPairs(const LessonContext& lesson) const
{
    return ApiParamList{pair("sinceVersion", QStringLiteral("since_1_4_1")),
                        pair("webLocalVersion", ApiCommonParams::installedWebVersion()),
                        pair("FuncTag", QStringLiteral("50000101")),
                        pair("token", lesson.token()),
                        pair("userId", lesson.userId()),
                        pair("roleType", ApiCommonParams::roleType(lesson.accountType())),
                        pair("enterType", QStringLiteral("1")),
                        pair("periodId", lesson.periodId()),
                        pair("deviceUid", getDeviceUid())};
}

int ZmNetAPI::EnterClassRoom()
{
    ApiParamList list = enterClassPairs(currentLesson());
    ApiCommonParams::appendTailA(list, m_version);
    const int result = callNumbered("EnterClassRoom", list, TagCodeReading::AnyScalar, false, nullptr);
    if (result == 0)
        AppGlobalData::instance()->enteredClass.store(true);
    return result;
}

int ZmNetAPI::GetAliyunOSSUploadInfo(const QString& fileName, QMap<QString, QString>& out, const QString& lessonId,
                                     const QString& periodId)
{
    return GetAliyunOSSUploadInfo(currentLesson(), fileName, out, lessonId, periodId);
}

int ZmNetAPI::GetAliyunOSSUploadInfo(const LessonContext& owner, const QString& fileName, QMap<QString, QString>& out,
                                     const QString& lessonId, const QString& periodId)
{
    ApiParamList list = logArchivePairs("30110102", fileName, lessonId, periodId, owner);
    ApiCommonParams::appendTailB(list, m_version);
    QJsonObject reply;
    const int result = callNumbered("GetAliyunOSSUploadInfo", list, TagCodeReading::StringOnly, false, &reply);
    if (result != 0)
        return result;
    const QMap<QString, QString> info = readOssUploadInfo(reply);
    for (auto it = info.cbegin(); it != info.cend(); ++it)
        out[it.key()] = it.value();
    qInfo().noquote() << "ZmNetAPI::GetAliyunOSSUploadInfo object address:" << ossObjectAddress(info);
    return 0;
}

int ZmNetAPI::uploadCallback(const QString& fileName, const QString& lessonId, const QString& periodId)
{
    return uploadCallback(currentLesson(), fileName, lessonId, periodId);
}

int ZmNetAPI::uploadCallback(const LessonContext& owner, const QString& fileName, const QString& lessonId,
                             const QString& periodId)
{
    ApiParamList list = logArchivePairs("30110101", fileName, lessonId, periodId, owner);
    ApiCommonParams::appendTailB(list, m_version);
    return callNumbered("uploadCallback", list, TagCodeReading::AnyScalar, false, nullptr);
}

int ZmNetAPI::getClassStudentsPoint()
{
    const LessonContext lesson = currentLesson();
    ApiParamList list{pair("FuncTag", QStringLiteral("80000006")), pair("token", lesson.token()),
                      pair("type", QStringLiteral("102")), pair("periodId", lesson.periodId())};
    ApiCommonParams::appendTailB(list, m_version);
    QJsonObject reply;
    const int result = callNumbered("getClassStudentsPoint", list, TagCodeReading::StringOnly, false, &reply);
    if (result != 0)
        return result;
    UserInfoMap* members = AppGlobalData::instance()->memberMap();
    for (const auto& entry : readStudentPoints(reply)) {
        const auto it = members->find(entry.first);
        if (it == members->end())
            continue;
        it->classPoint = entry.second;
        it->starPoint = entry.second;
    }
    return 0;
}

int ZmNetAPI::submitClassStudentPoint(int studentId, int point)
{
    const LessonContext lesson = currentLesson();
    const QString teacherId = AppGlobalData::instance()->teacherInfo()->userId;
    ApiParamList list{pair("FuncTag", QStringLiteral("80000005")),   pair("token", lesson.token()),
                      pair("periodId", lesson.periodId()),           pair("userId", teacherId),
                      pair("studentId", QString::number(studentId)), pair("lessonId", lesson.lessonId()),
                      pair("type", QStringLiteral("102")),           pair("point", QString::number(point))};
    ApiCommonParams::appendTailB(list, m_version);
    QJsonObject reply;
    const int result = callNumbered("submitClassStudentPoint", list, TagCodeReading::StringOnly, false, &reply);
    if (result != 0)
        return result;
    return readIsSuccess(reply) != 0 ? 0 : -2;
}

int ZmNetAPI::getFeedbackConfig(QStringList& out)
{
    const LessonContext lesson = currentLesson();
    const ApiParamList list{pair("FuncTag", QStringLiteral("10000300")),
                            pair("role", lesson.accountType() == 1 ? QStringLiteral("s") : QStringLiteral("t"))};
    QJsonObject reply;
    const int result = callNumbered("getFeedbackConfig", list, TagCodeReading::StringOnly, true, &reply);
    if (result != 0)
        return result;
    out = readFeedbackItems(reply, lesson.language());
    return 0;
}

int ZmNetAPI::submitFeedback(const QString& common, const QString& other)
{
    const LessonContext lesson = currentLesson();
    const ApiParamList list{pair("FuncTag", QStringLiteral("10000301")),
                            pair("periodId", lesson.periodId()),
                            pair("version", m_version),
                            pair("p", QStringLiteral("6")),
                            pair("systemVersion", getOsName()),
                            pair("os", getPlatformDescription()),
                            pair("userId", lesson.userId()),
                            pair("token", lesson.token()),
                            pair("common", common),
                            pair("other", other)};
    return callNumbered("submitFeedback", list, TagCodeReading::StringOnly, true, nullptr);
}
