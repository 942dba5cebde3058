#pragma once

#include <cstddef>
#include <string>

// The front of the object-storage client that the log uploads use: ossUploadInit stores the temporary
// credentials of one upload, one ossPutFile or ossPutBuffer puts the object, ossUploadDeinit ends it.
//
// The credentials and the client's I/O layer belong to the whole process, so a caller holds OssUploadLock from
// ossUploadInit to ossUploadDeinit; the functions refuse to work for a thread that doesn't hold it. A put is
// only made after a successful ossUploadInit. Credentials are never logged.

// 0 when the I/O layer started; a negative code otherwise (the credentials are stored either way):
// Oss::InvalidArgument when a text is missing or the endpoint, access key id or secret is empty,
// Oss::InternalError when the HTTP library can't start or the caller doesn't hold OssUploadLock.
int ossUploadInit(const char* endpoint, const char* accessKeyId, const char* accessKeySecret,
                  const char* securityToken);

// Puts the file under bucketName/objectKey with the given content type; true when the service stored it.
bool ossPutFile(const char* filePath, const char* contentType, const char* bucketName, const char* objectKey);

// Puts size bytes (the content type follows the key's extension); true when the service stored them. Writes
// "put object succeeded" or "put object failed" to standard output.
bool ossPutBuffer(const char* data, std::size_t size, const char* bucketName, const char* objectKey);

// Ends the upload started by a successful ossUploadInit; the stored credentials stay until the next init.
void ossUploadDeinit();

// The address of an object stored with these credentials, as the put reaches it (the bucket as a sub-domain of
// the endpoint, or after it for an IP endpoint); empty when the endpoint is no address.
std::string ossStoredObjectUrl(const char* endpoint, const char* bucketName, const char* objectKey);

// "image/yyyyMMdd/HH/<userId>_<6 random digits>.<extension>" with the local time.
void ossMakeImageObjectKey(std::string& out, int userId, const char* extension);

// The process-wide lock of the upload sequence (init, put, deinit) and its credentials. Not recursive.
class OssUploadLock
{
public:
    OssUploadLock(); // waits for the lock
    // Tries for at most timeoutMs; see isLocked().
    explicit OssUploadLock(int timeoutMs);
    ~OssUploadLock();

    OssUploadLock(const OssUploadLock&) = delete;
    OssUploadLock& operator=(const OssUploadLock&) = delete;

    bool isLocked() const { return m_locked; }

    static bool isHeldByCurrentThread();

private:
    bool m_locked = false;
};
