#pragma once

#include <QString>

namespace Platform {

// The folder for this user's sockets and locks: $XDG_RUNTIME_DIR when it is an absolute path to a folder, else
// the temporary folder.
QString runtimeDir();

// A path in runtimeDir() named from key: key + suffix in the runtime folder; in the shared temporary folder the
// user id is added, so users never meet each other's files.
QString runtimePath(const QString& key, const QString& suffix);

// One copy of the program per user: an exclusive lock on the file runtimePath(key, ".lock"). The kernel drops
// the lock when the process ends in any way, so a crash never locks the user out.
class SingleInstanceLock
{
public:
    explicit SingleInstanceLock(const QString& key);
    ~SingleInstanceLock(); // releases the lock when held

    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock without waiting. True when this object holds it (also when it held it already); false when
    // another process (or another lock object) holds it, or the lock file can't be opened (see errorString()).
    bool tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    void release();

    // True when tryAcquire() failed because someone else holds the lock.
    bool heldElsewhere() const { return m_heldElsewhere; }
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_heldElsewhere = false;
    QString m_error;
};

} // namespace Platform
