#include "net/packages/OfflineLessonResManager.h"

#include "app/ConfigManager.h"
#include "app/DirUtil.h"
#include "net/packages/OfflineLessonResult.h"
#include "net/zip/ZipUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QtDebug>

#include <atomic>

namespace {

std::atomic<OfflineLessonResManager*> s_instance{nullptr};
QMutex s_instanceMutex;

} // namespace

OfflineLessonResManager* OfflineLessonResManager::instance()
{
    OfflineLessonResManager* manager = s_instance.load(std::memory_order_acquire);
    if (manager)
        return manager;
    QMutexLocker locker(&s_instanceMutex);
    manager = s_instance.load(std::memory_order_relaxed);
    if (!manager) {
        manager = new OfflineLessonResManager;
        s_instance.store(manager, std::memory_order_release);
    }
    return manager;
}

QString OfflineLessonResManager::offlineLessonDir()
{
    return ConfigManager::instance()->getOfflineLessonDir();
}

bool OfflineLessonResManager::isSafeFolderName(const QString& name)
{
    return isSafePathSegment(name);
}

bool OfflineLessonResManager::getLessonResourceDir(const QString& lessonId, QString* folder)
{
    if (!isSafeFolderName(lessonId))
        return false;
    const QString path = offlineLessonDir() + QLatin1Char('/') + lessonId;
    if (!dirExists(path))
        return false;
    if (folder)
        *folder = path;
    return true;
}

int OfflineLessonResManager::importCoursewareZip(const QString& archivePath, QString& folder)
{
    folder.clear();
    const QString baseName = QFileInfo(archivePath).baseName();
    if (!isSafeFolderName(baseName)) {
        qWarning().noquote() << "OfflineLessonResManager::importCoursewareZip refuses the archive name" << archivePath;
        return OfflineLesson_FolderFailed;
    }
    const QString lessonDir = offlineLessonDir();
    folder = lessonDir + QLatin1Char('/') + baseName;

    // Unpacked beside the folder first, so that a broken archive leaves courseware imported earlier in place.
    QTemporaryDir unpacking(lessonDir + QStringLiteral("/.import-XXXXXX"));
    unpacking.setAutoRemove(false);
    int result = OfflineLesson_Success;
    if (!unpacking.isValid()) {
        result = OfflineLesson_FolderFailed;
    } else {
        int error = 0;
        ZipUtil::extractDir(archivePath, unpacking.path(), &error);
        if (error != 0)
            result = OfflineLesson_UnpackFailed;
        else if (!replaceFolder(unpacking.path(), folder))
            result = OfflineLesson_FolderFailed;
    }
    if (unpacking.isValid())
        removeDirRecursively(unpacking.path());
    if (result != OfflineLesson_Success)
        qWarning().noquote() << "OfflineLessonResManager::importCoursewareZip" << archivePath << "result" << result;
    return result;
}

bool OfflineLessonResManager::replaceFolder(const QString& source, const QString& target)
{
    if (!removeDirRecursively(target) || dirExists(target)) {
        qWarning().noquote() << "OfflineLessonResManager::replaceFolder cannot remove" << target;
        return false;
    }
    if (!QDir().rename(source, target)) {
        qWarning().noquote() << "OfflineLessonResManager::replaceFolder cannot move" << source << "to" << target;
        return false;
    }
    return true;
}
