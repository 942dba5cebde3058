#include "net/logs/LogFolders.h"

#include "app/ConfigManager.h"
#include "app/DirUtil.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

void removeExpiredLogFolders(int days)
{
    ConfigManager* config = ConfigManager::instance();
    if (config->getAppDataDir().isEmpty())
        return;
    removeExpiredLogFolders(config->getAppDataDir() + "/logs", days, QDateTime::currentDateTime(), config->getLogDir());
}

int removeExpiredLogFolders(const QString& logsFolder, int days, const QDateTime& now, const QString& keep)
{
    const QDateTime limit = now.addDays(-days);
    const QString kept = keep.isEmpty() ? QString() : QFileInfo(keep).absoluteFilePath();
    int removed = 0;
    const QFileInfoList entries = QDir(logsFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QDateTime started = QDateTime::fromString(entry.fileName(), "yyyy-MM-dd HH-mm-ss");
        if (!started.isValid() || started >= limit || entry.absoluteFilePath() == kept)
            continue;
        if (removeFolderTree(entry.absoluteFilePath()))
            ++removed;
        else
            qWarning().noquote() << "removeExpiredLogFolders cannot remove all of" << entry.absoluteFilePath();
    }
    return removed;
}

bool removeFolderTree(const QString& path)
{
    return removeDirRecursively(path);
}
