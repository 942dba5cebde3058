#include "net/oss/OssPutObject.h"

#include "net/oss/OssAddress.h"
#include "net/oss/OssCrc64.h"
#include "net/oss/OssErrorReply.h"
#include "net/oss/OssSigner.h"

#include <QFile>

#include <curl/curl.h>

#include <cstring>
#include <ctime>
#include <memory>

namespace Oss {

namespace {

constexpr int kMaxReplyBody = 1 << 20; // error replies are small; more is not kept
constexpr qint64 kReadBlock = 64 * 1024;

// Where the body comes from: memory, or a file already open (read once for the CRC, then again to send).
struct Body
{
    const char* data = nullptr;
    QFile* file = nullptr;
    qint64 size = 0;
    qint64 offset = 0;
    bool failed = false;
};

struct Reply
{
    QByteArray body;
    QByteArray requestId;
    QByteArray crc64;
};

size_t readBody(char* buffer, size_t size, size_t count, void* userData)
{
    auto* body = static_cast<Body*>(userData);
    const qint64 wanted = qMin<qint64>(qint64(size * count), body->size - body->offset);
    if (wanted <= 0)
        return 0;
    if (body->data) {
        std::memcpy(buffer, body->data + body->offset, size_t(wanted));
    } else if (body->file->read(buffer, wanted) != wanted) {
        body->failed = true;
        return CURL_READFUNC_ABORT;
    }
    body->offset += wanted;
    return size_t(wanted);
}

size_t writeReply(char* data, size_t size, size_t count, void* userData)
{
    auto* reply = static_cast<Reply*>(userData);
    const size_t bytes = size * count;
    const int room = kMaxReplyBody - reply->body.size();
    if (room > 0)
        reply->body.append(data, int(qMin<size_t>(bytes, size_t(room))));
    return bytes;
}

size_t readHeader(char* data, size_t size, size_t count, void* userData)
{
    auto* reply = static_cast<Reply*>(userData);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, int(bytes)).trimmed();
    if (line.startsWith("HTTP/")) { // a new reply (after "100 Continue"): forget the earlier one's headers
        reply->requestId.clear();
        reply->crc64.clear();
        return bytes;
    }
    const int colon = line.indexOf(':');
    if (colon <= 0)
        return bytes;
    const QByteArray name = line.left(colon).trimmed().toLower();
    if (name == "x-oss-request-id")
        reply->requestId = line.mid(colon + 1).trimmed();
    else if (name == "x-oss-hash-crc64ecma")
        reply->crc64 = line.mid(colon + 1).trimmed();
    return bytes;
}

int codeForCurlError(CURLcode result)
{
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return NameLookupFailed;
    case CURLE_COULDNT_CONNECT:
        return ConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
        return RequestTimeout;
    case CURLE_READ_ERROR:
    case CURLE_ABORTED_BY_CALLBACK:
        return ReadFileFailed;
    case CURLE_URL_MALFORMAT:
        return InvalidArgument;
    case CURLE_FAILED_INIT:
    case CURLE_OUT_OF_MEMORY:
        return InternalError;
    default:
        return ConnectionFailed;
    }
}

Status failure(int code, const QByteArray& message)
{
    Status status;
    status.code = code;
    status.errorMessage = message;
    return status;
}

struct CurlCleanup
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct HeaderListCleanup
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool appendHeader(std::unique_ptr<curl_slist, HeaderListCleanup>& list, const QByteArray& line)
{
    curl_slist* extended = curl_slist_append(list.get(), line.constData());
    if (!extended)
        return false;
    list.release();
    list.reset(extended);
    return true;
}

Status send(const Credentials& credentials, const QByteArray& bucket, const QByteArray& key,
            const QByteArray& contentType, Body& body, std::uint64_t crc, const TransferLimits& limits)
{
    const Endpoint endpoint = parseEndpoint(credentials.endpoint);
    if (!endpoint.isValid())
        return failure(InvalidArgument, "the endpoint is no address");
    if (!isValidBucketName(bucket))
        return failure(InvalidArgument, "invalid bucket name");
    if (hasDotSegment(key))
        return failure(InvalidArgument, "the object key holds a dot segment (\".\" or \"..\"); refused");
    if (!isValidObjectKey(key))
        return failure(InvalidArgument, "invalid object key");

    const QByteArray date = httpDate(std::time(nullptr));
    HeaderList ossHeaders;
    if (!credentials.securityToken.isEmpty())
        ossHeaders.append({"x-oss-security-token", credentials.securityToken});
    const QByteArray signedText =
        stringToSign("PUT", QByteArray(), contentType, date, ossHeaders, canonicalResource(bucket, key));

    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl)
        return failure(InternalError, "the HTTP library can't make a request");
    std::unique_ptr<curl_slist, HeaderListCleanup> headers;
    bool headersMade = appendHeader(headers, "Content-Type: " + contentType) &&
                       appendHeader(headers, "Date: " + date) && appendHeader(headers, "Expect:");
    for (const auto& header : ossHeaders)
        headersMade = headersMade && appendHeader(headers, header.first + ": " + header.second);
    headersMade = headersMade &&
                  appendHeader(headers, "Authorization: " + authorization(credentials.accessKeyId,
                                                                          credentials.accessKeySecret, signedText));
    if (!headersMade)
        return failure(InternalError, "out of memory");

    const QByteArray url = objectUrl(endpoint, bucket, key);
    Reply reply;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(body.size));
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, readBody);
    curl_easy_setopt(handle, CURLOPT_READDATA, &body);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeReply);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &reply);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "ZmQuillo-oss/1.0");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
    curl_easy_setopt(handle, CURLOPT_DNS_CACHE_TIMEOUT, 60L);

    const CURLcode result = curl_easy_perform(handle);
    if (result != CURLE_OK) {
        if (body.failed)
            return failure(ReadFileFailed, "the file could not be read while it was sent");
        return failure(codeForCurlError(result), QByteArray(errorText[0] ? errorText : curl_easy_strerror(result)));
    }

    long httpCode = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &httpCode);
    Status status;
    status.code = int(httpCode);
    status.requestId = reply.requestId;
    if (!status.isOk()) {
        ErrorReply error;
        if (parseErrorReply(reply.body, error)) {
            status.errorCode = error.code;
            status.errorMessage = error.message;
            if (status.requestId.isEmpty())
                status.requestId = error.requestId;
        } else {
            status.errorMessage = "HTTP status " + QByteArray::number(status.code);
        }
        return status;
    }
    if (!reply.crc64.isEmpty()) {
        bool parsed = false;
        const qulonglong serviceCrc = reply.crc64.toULongLong(&parsed);
        if (!parsed || serviceCrc != crc) {
            status.code = VerificationFailed;
            status.errorMessage = "the service's CRC-64 of the object differs from the data sent";
        }
    }
    return status;
}

} // namespace

Status putObject(const Credentials& credentials, const QByteArray& bucket, const QByteArray& key,
                 const QByteArray& contentType, const char* data, qint64 size, const TransferLimits& limits)
{
    if (size < 0 || (size > 0 && !data))
        return failure(InvalidArgument, "no data");
    Body body;
    body.data = data;
    body.size = size;
    return send(credentials, bucket, key, contentType, body, crc64(0, data, size_t(size)), limits);
}

Status putObjectFromFile(const Credentials& credentials, const QByteArray& bucket, const QByteArray& key,
                         const QByteArray& contentType, const QString& path, const TransferLimits& limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(OpenFileFailed, "the file can't be opened");
    std::uint64_t crc = 0;
    QByteArray block;
    while (!(block = file.read(kReadBlock)).isEmpty())
        crc = crc64(crc, block.constData(), size_t(block.size()));
    Body body;
    body.file = &file;
    body.size = file.pos();
    if (!file.seek(0))
        return failure(ReadFileFailed, "the file could not be read");
    return send(credentials, bucket, key, contentType, body, crc, limits);
}

} // namespace Oss
