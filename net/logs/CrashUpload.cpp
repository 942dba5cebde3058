#include "net/logs/CrashUpload.h"

#include "app/AppGlobalData.h"
#include "app/AppPaths.h"
#include "app/ConfigManager.h"
#include "app/DirUtil.h"
#include "app/LogInfo.h"
#include "net/api/ZmNetAPI.h"
#include "net/logs/LogArchiveUpload.h"
#include "net/zip/ZipUtil.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 kMaxHandOverBytes = 64 * 1024;

// The newest run log ("*_all.log") in the folder; empty when there is none.
QString runLogIn(const QString& folder)
{
    const QFileInfoList logs = QDir(folder).entryInfoList({"*_all.log"}, QDir::Files, QDir::Time);
    return logs.isEmpty() ? QString() : logs.first().absoluteFilePath();
}

QString logsFolder()
{
    const QString dataFolder = AppPaths::programDataDir();
    return dataFolder.isEmpty() ? QString() : dataFolder + "/logs";
}

QStringList logFolders()
{
    const QString logs = logsFolder();
    return logs.isEmpty() ? QStringList() : QDir(logs).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// A refused call files a problem report, which sets up the configuration manager and with it a log folder of
// this process (holding only its HTTP traces). Removed when this process made it.
void removeOwnLogFolder(const QStringList& foldersBefore)
{
    const ConfigManager* config = ConfigManager::existingInstance();
    if (!config || config->getLogDir().isEmpty())
        return;
    const QFileInfo own(config->getLogDir());
    if (own.absolutePath() != QFileInfo(logsFolder()).absoluteFilePath() || foldersBefore.contains(own.fileName()))
        return;
    ConfigManager::instance()->closeDailyLogFile();
    removeDirRecursively(own.absoluteFilePath());
}

} // namespace

CrashUploadResult crashUploadLogFolder(const QString& folder, const CrashHandOver& handOver)
{
    if (!QFileInfo(folder).isDir()) {
        qWarning().noquote() << "crashUploadLogFolder: no such folder" << folder;
        return CrashUpload_BadFolder;
    }
    const QDateTime crashTime = handOver.crashTime.isValid() ? handOver.crashTime : QDateTime::currentDateTime();
    const QString archive = QDir(folder).absolutePath() + crashTime.toString("/yyyy-MM-dd HH-mm-ss") + ".zip";

    QMap<QString, QString> credentials;
    const int refused =
        ZmNetAPI::instance()->GetAliyunOSSUploadInfo(QFileInfo(archive).fileName(), credentials, QString(), QString());
    if (refused != 0) {
        qWarning() << "crashUploadLogFolder: no upload credentials, result" << refused;
        return CrashUpload_NoCredentials;
    }

    LogInfo lines;
    const QString runLog = runLogIn(folder);
    if (!runLog.isEmpty() && !lines.loadLinesFromFile(runLog))
        qWarning().noquote() << "crashUploadLogFolder cannot read" << runLog;
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    const QString document = createLogFileName(folder, QString::number(lesson.userIdAsInt()), lesson.periodId(),
                                               QDateTime::currentDateTime());
    if (!lines.writeLogInfoJson(document, true))
        qWarning().noquote() << "crashUploadLogFolder cannot write" << document;

    QFile::remove(archive);
    if (!ZipUtil::compressDir(archive, folder, true)) {
        qWarning().noquote() << "crashUploadLogFolder cannot zip" << folder;
        return CrashUpload_ZipFailed;
    }
    return uploadFileToOss(archive, credentials) ? CrashUpload_Stored : CrashUpload_PutFailed;
}

bool runCrashUploadIfAsked(int argc, char** argv, int* exitCode)
{
    const QString folder = crashUploadFolderArgument(argc, argv);
    if (folder.isEmpty())
        return false;
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance())
        application = std::make_unique<QCoreApplication>(argc, argv);

    QFile input;
    QByteArray handOverText;
    if (input.open(stdin, QIODevice::ReadOnly))
        handOverText = input.read(kMaxHandOverBytes);
    const CrashHandOver handOver = CrashHandOver::parse(handOverText);
    const QStringList logFoldersBefore = logFolders();
    handOver.apply();
    qInfo().noquote() << "runCrashUploadIfAsked uploads the log folder" << folder << "of the run that crashed at"
                      << handOver.crashTime.toString(Qt::ISODate);
    const CrashUploadResult result = crashUploadLogFolder(folder, handOver);
    qInfo() << "runCrashUploadIfAsked ends with" << result;
    removeOwnLogFolder(logFoldersBefore);
    if (exitCode)
        *exitCode = result;
    return true;
}
