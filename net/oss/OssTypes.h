#pragma once

#include <QByteArray>

// The object-storage client: one signed PUT of an object with temporary credentials (the service's V1 header
// signature), over libcurl. Knows nothing of logs or of the class service.
namespace Oss {

// Temporary credentials of one upload. The endpoint is "host", "host:port" or "scheme://host[:port]".
struct Credentials
{
    QByteArray endpoint;
    QByteArray accessKeyId;
    QByteArray accessKeySecret;
    QByteArray securityToken; // sent as "x-oss-security-token" when not empty
};

// When a put gives up: no connection within connectTimeoutSeconds, or fewer than lowSpeedBytesPerSecond for
// lowSpeedSeconds in a row (a stalled service).
struct TransferLimits
{
    long connectTimeoutSeconds = 10;
    long lowSpeedBytesPerSecond = 1024;
    long lowSpeedSeconds = 15;
};

// Status codes below 0: the put did not get a whole reply from the service.
enum ErrorCode : int
{
    InternalError = -996,      // the HTTP library could not start or set up the request
    RequestTimeout = -995,     // connect time-out or stalled transfer
    InvalidArgument = -994,    // missing endpoint, bucket or key, or an endpoint that is no address
    ConnectionFailed = -992,   // the connection broke, or the reply was no HTTP
    ConnectFailed = -991,      // no connection could be made
    NameLookupFailed = -990,   // the host name does not resolve
    VerificationFailed = -989, // the service's CRC-64 of the object differs from what was sent
    ReadFileFailed = -987,     // the file changed or failed while it was sent
    OpenFileFailed = -985,     // the file can't be opened
};

// What a put came to: the HTTP status of the reply, or one of ErrorCode; for a refusal the service's error
// code and message from its XML reply; the request id the service gave.
struct Status
{
    int code = 0;
    QByteArray errorCode;
    QByteArray errorMessage;
    QByteArray requestId;

    // A reply with a 2xx status.
    bool isOk() const { return code > 0 && code / 100 == 2; }
};

} // namespace Oss
