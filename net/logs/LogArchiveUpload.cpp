#include "net/logs/LogArchiveUpload.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "net/api/ZmNetAPI.h"
#include "net/logs/ResumeLogInfo.h"
#include "net/oss/OssArchivePut.h"
#include "net/zip/ZipUtil.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

QString logArchivePath(const QDateTime& time)
{
    const QString folder = ConfigManager::instance()->getAppDataDir();
    if (folder.isEmpty())
        return QString();
    return folder + "/ZmQuillo_Logfile_" + time.toString("yyyy-MM-dd_HH-mm-ss") + ".zip";
}

void uploadLogArchive()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString archive = logArchivePath(now);
    if (archive.isEmpty()) {
        qWarning() << "uploadLogArchive: there is no program data folder";
        return;
    }

    QMap<QString, QString> credentials;
    const int refused = ZmNetAPI::instance()->GetAliyunOSSUploadInfo(archive, credentials, QString(), QString());
    if (refused != 0) {
        qWarning() << "uploadLogArchive: no upload credentials, result" << refused;
        return;
    }

    // The lines written out are released in the same step, so none logged meanwhile is lost from both.
    LogInfo lines;
    {
        LogLock lock;
        lines = *LogInfo::instance();
        LogInfo::release();
    }
    const QString document = defaultLogInfoFilePath(now);
    if (document.isEmpty() || !lines.writeLogInfoJson(document, true)) {
        qWarning().noquote() << "uploadLogArchive cannot write the log-information document" << document;
        return;
    }

    QStringList files{document};
    const QString engineLog = ConfigManager::instance()->getAgoraLogPath();
    if (QFileInfo(engineLog).isFile())
        files << engineLog;
    if (!ZipUtil::compressFiles(archive, files)) {
        qWarning().noquote() << "uploadLogArchive cannot zip" << files.join(", ") << "into" << archive;
        return;
    }

    const OssPutOutcome outcome = putArchiveToOss(credentials, archive, OssPutBody::File);
    QFile::remove(archive);
    if (outcome != OssPutOutcome::Stored)
        return;

    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    if (ZmNetAPI::instance()->uploadCallback(storedObjectAddress(credentials), QString(), QString()) != 0)
        qDebug() << "UploadCallback failed!";
    removeOwedEntriesOfRun(lesson, ConfigManager::instance()->getDailyLogFile());
}

void removeOwedEntriesOfRun(const LessonContext& lesson, const QString& runLogFile)
{
    ResumeLogInfo::instance().removeOwedEntriesOfRun(lesson.periodId(), lesson.userId(), runLogFile);
}

bool uploadFileToOss(const QString& path, const QMap<QString, QString>& credentials, int lockTimeoutMs)
{
    const OssPutOutcome outcome = putArchiveToOss(credentials, path, OssPutBody::Memory, lockTimeoutMs);
    if (outcome != OssPutOutcome::Stored)
        return false;
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    ZmNetAPI::instance()->uploadCallback(storedObjectAddress(credentials), lesson.lessonId(), lesson.periodId());
    return true;
}
