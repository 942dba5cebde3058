#pragma once

#include <QMap>
#include <QString>

// One init-put-deinit sequence of the object-storage front with the credentials of GetAliyunOSSUploadInfo
// ("endpoint", "accessKeyId", "accessKeySecret", "securityToken", "bucketName", "savePath"), under the
// process-wide upload lock. No put is made when the init fails.

enum class OssPutOutcome
{
    Stored,
    InitFailed,
    PutFailed,
    LockTimedOut, // only with a lock time-out
    FileUnreadable,
};

enum class OssPutBody
{
    File,   // ossPutFile with the content type "application/zip"
    Memory, // the file read whole, then ossPutBuffer
};

// lockTimeoutMs < 0 waits for the lock as long as it takes.
OssPutOutcome putArchiveToOss(const QMap<QString, QString>& credentials, const QString& archivePath, OssPutBody body,
                              int lockTimeoutMs = -1);

// The stored object's address sent in the upload confirmation.
QString storedObjectAddress(const QMap<QString, QString>& credentials);
