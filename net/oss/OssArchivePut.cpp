#include "net/oss/OssArchivePut.h"

#include "net/oss/OssUpload.h"

#include <QDebug>
#include <QFile>

#include <memory>

namespace {

QByteArray credential(const QMap<QString, QString>& credentials, const char* key)
{
    return credentials.value(QLatin1String(key)).toUtf8();
}

} // namespace

OssPutOutcome putArchiveToOss(const QMap<QString, QString>& credentials, const QString& archivePath, OssPutBody body,
                              int lockTimeoutMs)
{
    QByteArray bytes;
    if (body == OssPutBody::Memory) {
        QFile file(archivePath);
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning().noquote() << "putArchiveToOss cannot read" << archivePath;
            return OssPutOutcome::FileUnreadable;
        }
        bytes = file.readAll();
    }

    const std::unique_ptr<OssUploadLock> lock =
        lockTimeoutMs < 0 ? std::make_unique<OssUploadLock>() : std::make_unique<OssUploadLock>(lockTimeoutMs);
    if (!lock->isLocked()) {
        qWarning() << "putArchiveToOss: another upload holds the upload lock for more than" << lockTimeoutMs << "ms";
        return OssPutOutcome::LockTimedOut;
    }
    const int init =
        ossUploadInit(credential(credentials, "endpoint"), credential(credentials, "accessKeyId"),
                      credential(credentials, "accessKeySecret"), credential(credentials, "securityToken"));
    if (init < 0) {
        qWarning() << "putArchiveToOss: ossUploadInit failed with" << init;
        return OssPutOutcome::InitFailed;
    }
    const QByteArray bucket = credential(credentials, "bucketName");
    const QByteArray key = credential(credentials, "savePath");
    const bool stored = body == OssPutBody::File
                            ? ossPutFile(QFile::encodeName(archivePath), "application/zip", bucket, key)
                            : ossPutBuffer(bytes.constData(), std::size_t(bytes.size()), bucket, key);
    ossUploadDeinit();
    return stored ? OssPutOutcome::Stored : OssPutOutcome::PutFailed;
}

QString storedObjectAddress(const QMap<QString, QString>& credentials)
{
    return QString::fromStdString(ossStoredObjectUrl(credential(credentials, "endpoint"),
                                                     credential(credentials, "bucketName"),
                                                     credential(credentials, "savePath")));
}
