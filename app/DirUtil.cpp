#include "app/DirUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool dirExists(const QString& path)
{
    return QFileInfo(path).isDir();
}

QString makeDirIfMissing(const QString& path)
{
    makePathIfMissing(path);
    return path;
}

bool makePathIfMissing(const QString& path)
{
    if (dirExists(path))
        return true;
    return QDir().mkpath(path) && dirExists(path);
}

bool copyDirectory(const QString& source, const QString& target, bool overwrite)
{
    QDir targetDir(target);
    if (!targetDir.exists() && !QDir().mkdir(target))
        return false;

    const QDir sourceDir(source);
    const QFileInfoList entries =
        sourceDir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString destination = target + '/' + entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            if (!copyDirectory(entry.filePath(), destination, overwrite))
                return false;
            continue;
        }
        if (overwrite && QFileInfo::exists(destination))
            QFile::remove(destination);
        if (!QFile::copy(entry.filePath(), destination))
            return false;
    }
    return true;
}

bool removeDirRecursively(const QString& path)
{
    const QFileInfo root(path);
    if (root.isSymLink())
        return QFile::remove(path);
    if (!root.exists())
        return true;
    if (!root.isDir())
        return false;

    bool removedAll = true;
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const bool removed = (entry.isDir() && !entry.isSymLink()) ? removeDirRecursively(entry.filePath())
                                                                   : QFile::remove(entry.filePath());
        removedAll = removed && removedAll;
    }
    return QDir().rmdir(path) && removedAll;
}

bool isSafePathSegment(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > 200)
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}
