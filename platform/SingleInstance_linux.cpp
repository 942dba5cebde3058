#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why info, found at path, is no folder for this user's sockets and locks; empty when it is one.
QString unsafeFolderReason(const QString& path, const struct stat& info)
{
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (info.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (%2)").arg(path).arg(info.st_uid);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("%1 may be written by other users (mode %2)")
            .arg(path)
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return QString();
}

bool isUsableRuntimeDir(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    return ::stat(name.constData(), &info) == 0 && unsafeFolderReason(path, info).isEmpty() &&
           ::access(name.constData(), W_OK | X_OK) == 0;
}

// The private folder in the temporary folder: made when missing, checked without following a link.
QString privateTempFolder(QString* error)
{
    const QString path = QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/zmquillo-%1").arg(::geteuid());
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) == 0) {
        // Exactly 0700, whatever the umask left.
        ::chmod(name.constData(), 0700);
    } else if (errno != EEXIST) {
        if (error)
            *error = QStringLiteral("cannot make %1: %2").arg(path, systemError(errno));
        return QString();
    }
    struct stat info;
    if (::lstat(name.constData(), &info) != 0) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, systemError(errno));
        return QString();
    }
    const QString reason = unsafeFolderReason(path, info);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason + QStringLiteral("; not used for the single-instance lock and the link socket");
        return QString();
    }
    return path;
}

} // namespace

QString runtimeDir(QString* error)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isUsableRuntimeDir(runtime))
        return QDir::cleanPath(runtime);
    return privateTempFolder(error);
}

QString runtimePath(const QString& key, const QString& suffix, QString* error)
{
    const QString folder = runtimeDir(error);
    if (folder.isEmpty())
        return QString();
    return folder + '/' + key + suffix;
}

SingleInstanceLock::SingleInstanceLock(const QString& key)
{
    m_path = runtimePath(key, QStringLiteral(".lock"), &m_folderError);
}

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

bool SingleInstanceLock::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    m_heldElsewhere = false;
    m_error.clear();
    if (m_path.isEmpty()) {
        m_error = m_folderError;
        return false;
    }

    const QByteArray path = QFile::encodeName(m_path);
    // No O_TRUNC and no unlink on release: another process may hold the same file open.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("cannot open %1: %2").arg(m_path, systemError(errno));
        return false;
    }
    // Whoever made the lock file and holds it decides whether this start steps back: only this user may.
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        m_error = QStringLiteral("%1 is not a file of this user; another user's lock is never used").arg(m_path);
        return false;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            m_heldElsewhere = true;
            m_error = QStringLiteral("%1 is locked by another copy").arg(m_path);
        } else {
            m_error = QStringLiteral("cannot lock %1: %2").arg(m_path, systemError(error));
        }
        return false;
    }
    m_fd = fd;
    return true;
}

void SingleInstanceLock::release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace Platform
