#include "net/oss/OssAddress.h"

#include <QList>

namespace Oss {

namespace {

bool isDigits(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool isIpv4Address(const QByteArray& host)
{
    const QList<QByteArray> parts = host.split('.');
    if (parts.size() != 4)
        return false;
    for (const QByteArray& part : parts) {
        if (!isDigits(part) || part.size() > 3 || part.toInt() > 255)
            return false;
    }
    return true;
}

bool isHostNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isIpv6Char(char c)
{
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' || c == '.';
}

// host := the authority's host, port := its port (-1 when none). False when it is no host[:port].
bool splitAuthority(const QByteArray& authority, QByteArray& host, int& port, bool& isIp)
{
    QByteArray portText;
    if (authority.startsWith('[')) {
        const int close = authority.indexOf(']');
        if (close < 2)
            return false;
        host = authority.left(close + 1);
        for (const char c : host.mid(1, host.size() - 2)) {
            if (!isIpv6Char(c))
                return false;
        }
        const QByteArray rest = authority.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(':'))
                return false;
            portText = rest.mid(1);
        }
        isIp = true;
    } else {
        const int colon = authority.indexOf(':');
        host = colon < 0 ? authority : authority.left(colon);
        if (colon >= 0)
            portText = authority.mid(colon + 1);
        if (host.isEmpty() || host.startsWith('.') || host.startsWith('-'))
            return false;
        for (const char c : host) {
            if (!isHostNameChar(c))
                return false;
        }
        isIp = isIpv4Address(host);
    }
    port = -1;
    if (!portText.isNull()) {
        if (!isDigits(portText) || portText.size() > 5)
            return false;
        port = portText.toInt();
        if (port < 1 || port > 65535)
            return false;
    }
    return true;
}

} // namespace

Endpoint parseEndpoint(const QByteArray& text)
{
    Endpoint endpoint;
    QByteArray rest = text.trimmed();
    QByteArray scheme = "https";
    const int schemeEnd = rest.indexOf("://");
    if (schemeEnd >= 0) {
        scheme = rest.left(schemeEnd).toLower();
        if (scheme != "http" && scheme != "https")
            return {};
        rest = rest.mid(schemeEnd + 3);
    }
    const int pathStart = rest.indexOf('/');
    const QByteArray authority = pathStart < 0 ? rest : rest.left(pathStart);
    QByteArray host;
    int port = -1;
    bool isIp = false;
    if (!splitAuthority(authority, host, port, isIp))
        return {};
    endpoint.scheme = scheme;
    endpoint.host = host;
    endpoint.port = port;
    endpoint.isIpAddress = isIp;
    return endpoint;
}

bool isValidBucketName(const QByteArray& bucket)
{
    if (bucket.size() < 3 || bucket.size() > 63 || bucket.startsWith('-') || bucket.endsWith('-'))
        return false;
    for (const char c : bucket) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return false;
    }
    return true;
}

bool hasDotSegment(const QByteArray& key)
{
    int start = 0;
    while (start <= key.size()) {
        int end = start;
        while (end < key.size() && key.at(end) != '/' && key.at(end) != '\\')
            ++end;
        const int length = end - start;
        if ((length == 1 || length == 2) && key.mid(start, length) == QByteArray(length, '.'))
            return true;
        start = end + 1;
    }
    return false;
}

bool isValidObjectKey(const QByteArray& key)
{
    return !key.isEmpty() && key.size() <= 1023 && !key.startsWith('/') && !key.startsWith('\\') && !hasDotSegment(key);
}

QByteArray encodeObjectKey(const QByteArray& key)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(key.size() * 3);
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '_' || byte == '.' || byte == '~' || byte == '/') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

QByteArray objectUrl(const Endpoint& endpoint, const QByteArray& bucket, const QByteArray& key)
{
    QByteArray authority = endpoint.host;
    if (endpoint.port != -1)
        authority += ':' + QByteArray::number(endpoint.port);
    if (endpoint.isIpAddress)
        return endpoint.scheme + "://" + authority + '/' + bucket + '/' + encodeObjectKey(key);
    return endpoint.scheme + "://" + bucket + '.' + authority + '/' + encodeObjectKey(key);
}

} // namespace Oss
