#pragma once

#include <QByteArray>

namespace Oss {

// The service's address as the credentials give it: "host", "host:port" or "scheme://host[:port]" (a path
// after the host is ignored). Without a scheme the service is reached over https.
struct Endpoint
{
    QByteArray scheme; // "http" or "https"
    QByteArray host;   // a name, a dotted IPv4 address or a bracketed IPv6 address
    int port = -1;     // -1: the scheme's port
    bool isIpAddress = false;

    bool isValid() const { return !host.isEmpty(); }
};

// An invalid (empty) endpoint when the text is no such address.
Endpoint parseEndpoint(const QByteArray& text);

// Bucket names as the service allows them: 3 to 63 of a-z, 0-9 and "-", not beginning or ending with "-".
bool isValidBucketName(const QByteArray& bucket);

// Object keys: 1 to 1023 bytes, not beginning with "/" or "\", without dot segments.
bool isValidObjectKey(const QByteArray& key);

// True when a segment of the key (between "/" or "\") is "." or "..": the HTTP library would collapse it and
// the put would reach another path, even another bucket.
bool hasDotSegment(const QByteArray& key);

// The key percent-encoded for the address: every byte but A-Z, a-z, 0-9, "-", "_", ".", "~" and "/" as %XX.
QByteArray encodeObjectKey(const QByteArray& key);

// The object's address: the bucket as a sub-domain of the endpoint ("scheme://bucket.host[:port]/key"), or
// after the host ("scheme://host[:port]/bucket/key") when the endpoint is an IP address.
QByteArray objectUrl(const Endpoint& endpoint, const QByteArray& bucket, const QByteArray& key);

} // namespace Oss
