#include "net/logs/ResumeLogUpload.h"

#include "app/AppGlobalData.h"
#include "app/LogInfo.h"
#include "net/api/ZmNetAPI.h"
#include "net/logs/ResumeLogInfo.h"
#include "net/oss/OssArchivePut.h"
#include "net/zip/ZipUtil.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>

namespace {

void logStep(int code)
{
    qDebug() << "resumeUploadLogFileWithJson:" << code;
}

LessonContext signedInNow()
{
    return AppGlobalData::instance()->lessonContext();
}

} // namespace

LessonContext owedLogOwner(const QJsonObject& entry, const LessonContext& signedIn)
{
    const QJsonObject value = ResumeLogInfo::valueOf(entry);
    LaunchInfo launch;
    launch.userId = value.value(ResumeLogInfo::kUserIdKey).toString();
    if (launch.userId.isEmpty() || launch.userId == signedIn.userId()) {
        launch.userId = signedIn.userId();
        launch.token = signedIn.token();
    } else {
        launch.token = value.value(ResumeLogInfo::kTokenKey).toString();
    }
    LessonInfo lesson;
    lesson.lessonId = value.value(ResumeLogInfo::kLessonIdKey).toString();
    lesson.periodId = ResumeLogInfo::periodIdOf(entry);
    return LessonContext(launch, lesson);
}

int resumeUploadLogFileWithJson(const QJsonObject& entry)
{
    return resumeUploadLogFileWithJson(entry, signedInNow());
}

int resumeUploadLogFileWithJson(const QJsonObject& entry, const LessonContext& signedIn)
{
    logStep(10);
    const QString periodId = ResumeLogInfo::periodIdOf(entry);
    if (periodId.isEmpty())
        return 10;
    const QJsonObject value = ResumeLogInfo::valueOf(entry);
    logStep(20);
    const QString lessonId = value.value(ResumeLogInfo::kLessonIdKey).toString();
    if (lessonId.isEmpty())
        return 20;
    logStep(30);
    const QString logFile = value.value(ResumeLogInfo::kLogFileKey).toString();
    if (logFile.isEmpty())
        return 30;
    logStep(40);
    const QDateTime time =
        QDateTime::fromString(value.value(ResumeLogInfo::kDateTimeKey).toString(), ResumeLogInfo::kDateTimeFormat);
    if (!time.isValid())
        return 40;
    logStep(50);
    const QFileInfo logInfo(logFile);
    if (!logInfo.isFile())
        return 50;

    logStep(51);
    const QString folder = logInfo.absolutePath();
    const LessonContext owner = owedLogOwner(entry, signedIn);
    const QString userId = QString::number(owner.userIdAsInt());
    const QString document = createLogPathWithExtension("resume.json", folder, userId, periodId, time);
    if (!writeLogInfoJsonFromText(logFile, document))
        return 51;

    logStep(52);
    const QString archive = createLogPathWithExtension("zip", folder, userId, periodId, time);
    QStringList files{document};
    const QString engineLog = folder + "/agorasdk.log";
    if (QFileInfo(engineLog).isFile())
        files << engineLog;
    if (!ZipUtil::compressFiles(archive, files))
        return 52;

    logStep(60);
    QMap<QString, QString> credentials;
    if (ZmNetAPI::instance()->GetAliyunOSSUploadInfo(owner, archive, credentials, lessonId, periodId) != 0)
        return 60;

    logStep(70);
    const OssPutOutcome outcome = putArchiveToOss(credentials, archive, OssPutBody::File);
    if (outcome == OssPutOutcome::InitFailed)
        return 70;
    logStep(71);
    if (outcome != OssPutOutcome::Stored)
        return 71;

    logStep(80);
    if (ZmNetAPI::instance()->uploadCallback(owner, storedObjectAddress(credentials), lessonId, periodId) != 0)
        return 80;
    qDebug() << "ResumeLogInfo::resumeUploadLogFile succeed !";
    return 0;
}

void ResumeLogInfo::resumeUploadLogFile()
{
    resumeUploadLogFile(signedInNow());
}

void ResumeLogInfo::resumeUploadLogFile(const LessonContext& signedIn)
{
    resumeUploadLogFile([&signedIn](const QJsonObject& entry) { return resumeUploadLogFileWithJson(entry, signedIn); });
}
