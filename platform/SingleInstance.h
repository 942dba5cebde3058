#pragma once

#include <QString>

namespace Platform {

// The folder for this user's sockets and locks: $XDG_RUNTIME_DIR when it is an absolute path to a folder of this
// user that no one else may write to; else the private folder "zmquillo-<user id>" in the temporary folder, made
// with mode 0700 when missing and refused unless it is a folder itself (not a link) of this user that no one else
// may write to, since another user could have made it to catch this user's links. Empty, with the reason in
// *error, when there is no such folder.
QString runtimeDir(QString* error = nullptr);

// key + suffix in runtimeDir(); empty, with the reason in *error, when there is no such folder.
QString runtimePath(const QString& key, const QString& suffix, QString* error = nullptr);

// One copy of the program per user: an exclusive lock on the file runtimePath(key, ".lock"). The kernel drops
// the lock when the process ends in any way, so a crash never locks the user out. A lock file of another user
// is never used, locked or not.
class SingleInstanceLock
{
public:
    explicit SingleInstanceLock(const QString& key);
    ~SingleInstanceLock(); // releases the lock when held

    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock without waiting. True when this object holds it (also when it held it already); false when
    // another process of this user (or another lock object) holds it, or there is no runtime folder, or the lock
    // file can't be opened or is not this user's (see errorString()).
    bool tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    void release();

    // True when tryAcquire() failed because someone else holds the lock.
    bool heldElsewhere() const { return m_heldElsewhere; }
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

private:
    QString m_path;
    QString m_folderError;
    int m_fd = -1;
    bool m_heldElsewhere = false;
    QString m_error;
};

} // namespace Platform
