#include "net/oss/OssUpload.h"

#include "net/oss/OssAddress.h"
#include "net/oss/OssContentType.h"
#include "net/oss/OssPutObject.h"

#include <QDateTime>
#include <QDebug>
#include <QMutex>
#include <QRandomGenerator>

#include <curl/curl.h>

#include <cstdio>

namespace {

QMutex& uploadMutex()
{
    static QMutex mutex;
    return mutex;
}

thread_local bool t_holdsUploadLock = false;

// The credentials of the current upload (written by ossUploadInit, read by the puts), all under the lock.
Oss::Credentials s_credentials;
bool s_initialised = false;

// The service's words with any part of the credentials masked, for the log.
QByteArray withoutCredentials(QByteArray text)
{
    for (const QByteArray* secret :
         {&s_credentials.accessKeySecret, &s_credentials.securityToken, &s_credentials.accessKeyId}) {
        if (!secret->isEmpty())
            text.replace(*secret, "***");
    }
    return text;
}

bool readyToPut(const char* function, const char* bucketName, const char* objectKey)
{
    if (!t_holdsUploadLock) {
        qWarning() << function << "refused: the caller doesn't hold the upload lock";
        return false;
    }
    if (!s_initialised) {
        qWarning() << function << "refused: no successful ossUploadInit";
        return false;
    }
    if (!bucketName || !objectKey) {
        qWarning() << function << "refused: no bucket or object key";
        return false;
    }
    return true;
}

void logFailedPut(const char* function, const char* bucketName, const char* objectKey, const Oss::Status& status)
{
    qWarning().noquote() << QString("%1 %2/%3 failed: status %4 %5 \"%6\" request id %7")
                                .arg(QLatin1String(function), QString::fromUtf8(bucketName),
                                     QString::fromUtf8(objectKey))
                                .arg(status.code)
                                .arg(QString::fromUtf8(withoutCredentials(status.errorCode)),
                                     QString::fromUtf8(withoutCredentials(status.errorMessage)),
                                     QString::fromUtf8(status.requestId));
}

} // namespace

int ossUploadInit(const char* endpoint, const char* accessKeyId, const char* accessKeySecret, const char* securityToken)
{
    if (!t_holdsUploadLock) {
        qWarning() << "ossUploadInit refused: the caller doesn't hold the upload lock";
        return Oss::InternalError;
    }
    if (s_initialised) // a sequence that missed its deinit
        ossUploadDeinit();
    s_credentials.endpoint = endpoint ? QByteArray(endpoint) : QByteArray();
    s_credentials.accessKeyId = accessKeyId ? QByteArray(accessKeyId) : QByteArray();
    s_credentials.accessKeySecret = accessKeySecret ? QByteArray(accessKeySecret) : QByteArray();
    s_credentials.securityToken = securityToken ? QByteArray(securityToken) : QByteArray();
    if (!endpoint || !accessKeyId || !accessKeySecret || !securityToken || s_credentials.endpoint.isEmpty() ||
        s_credentials.accessKeyId.isEmpty() || s_credentials.accessKeySecret.isEmpty()) {
        qWarning() << "ossUploadInit: the credentials are incomplete";
        return Oss::InvalidArgument;
    }
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        qWarning() << "ossUploadInit: the HTTP library can't start";
        return Oss::InternalError;
    }
    s_initialised = true;
    return 0;
}

bool ossPutFile(const char* filePath, const char* contentType, const char* bucketName, const char* objectKey)
{
    if (!readyToPut("ossPutFile", bucketName, objectKey) || !filePath)
        return false;
    const Oss::Status status =
        Oss::putObjectFromFile(s_credentials, bucketName, objectKey, contentType ? QByteArray(contentType) : "",
                               QString::fromLocal8Bit(filePath));
    if (!status.isOk())
        logFailedPut("ossPutFile", bucketName, objectKey, status);
    return status.isOk();
}

bool ossPutBuffer(const char* data, std::size_t size, const char* bucketName, const char* objectKey)
{
    if (!readyToPut("ossPutBuffer", bucketName, objectKey))
        return false;
    const Oss::Status status =
        Oss::putObject(s_credentials, bucketName, objectKey, Oss::contentTypeForKey(objectKey), data, qint64(size));
    if (status.isOk()) {
        std::fputs("put object succeeded\n", stdout);
    } else {
        logFailedPut("ossPutBuffer", bucketName, objectKey, status);
        std::fputs("put object failed\n", stdout);
    }
    std::fflush(stdout);
    return status.isOk();
}

void ossUploadDeinit()
{
    if (!t_holdsUploadLock) {
        qWarning() << "ossUploadDeinit refused: the caller doesn't hold the upload lock";
        return;
    }
    if (!s_initialised)
        return;
    s_initialised = false;
    curl_global_cleanup();
}

std::string ossStoredObjectUrl(const char* endpoint, const char* bucketName, const char* objectKey)
{
    if (!endpoint || !bucketName || !objectKey)
        return std::string();
    const Oss::Endpoint parsed = Oss::parseEndpoint(endpoint);
    if (!parsed.isValid())
        return std::string();
    return Oss::objectUrl(parsed, bucketName, objectKey).toStdString();
}

void ossMakeImageObjectKey(std::string& out, int userId, const char* extension)
{
    const QDateTime now = QDateTime::currentDateTime();
    const quint32 random = QRandomGenerator::global()->bounded(1000000u);
    char key[256];
    std::snprintf(key, sizeof key, "image/%s/%02d/%d_%06u.%s", qPrintable(now.toString("yyyyMMdd")), now.time().hour(),
                  userId, random, extension ? extension : "");
    out = key;
}

OssUploadLock::OssUploadLock()
{
    uploadMutex().lock();
    m_locked = true;
    t_holdsUploadLock = true;
}

OssUploadLock::OssUploadLock(int timeoutMs)
{
    m_locked = uploadMutex().tryLock(timeoutMs);
    if (m_locked)
        t_holdsUploadLock = true;
}

OssUploadLock::~OssUploadLock()
{
    if (!m_locked)
        return;
    if (s_initialised)
        ossUploadDeinit();
    t_holdsUploadLock = false;
    uploadMutex().unlock();
}

bool OssUploadLock::isHeldByCurrentThread()
{
    return t_holdsUploadLock;
}
