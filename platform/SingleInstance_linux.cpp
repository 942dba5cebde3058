#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

namespace {

bool isUsableRuntimeDir(const QString& path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

} // namespace

QString runtimeDir()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isUsableRuntimeDir(runtime))
        return QDir::cleanPath(runtime);
    return QDir::cleanPath(QDir::tempPath());
}

QString runtimePath(const QString& key, const QString& suffix)
{
    const QString folder = runtimeDir();
    if (isUsableRuntimeDir(qEnvironmentVariable("XDG_RUNTIME_DIR")))
        return folder + '/' + key + suffix;
    return folder + '/' + key + QStringLiteral("-%1").arg(::getuid()) + suffix;
}

SingleInstanceLock::SingleInstanceLock(const QString& key)
    : m_path(runtimePath(key, QStringLiteral(".lock")))
{
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

    const QByteArray path = QFile::encodeName(m_path);
    // No O_TRUNC and no unlink on release: another process may hold the same file open.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("cannot open %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
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
            m_error = QStringLiteral("cannot lock %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(error)));
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
