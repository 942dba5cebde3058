#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <ctime>

namespace Oss {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// "Wed, 01 May 2024 10:30:00 GMT" for a time in seconds since 1970 (always English names, GMT).
QByteArray httpDate(std::time_t secondsSince1970);

// "/bucket/key" with the key as it is (not percent-encoded); "/bucket/" for an empty key.
QByteArray canonicalResource(const QByteArray& bucket, const QByteArray& key);

// The "x-oss-" headers of a request, names lower-cased and trimmed, sorted by name, each "name:value\n".
QByteArray canonicalOssHeaders(const HeaderList& headers);

// VERB "\n" Content-MD5 "\n" Content-Type "\n" Date "\n" canonical OSS headers, canonical resource.
QByteArray stringToSign(const QByteArray& verb, const QByteArray& contentMd5, const QByteArray& contentType,
                        const QByteArray& date, const HeaderList& headers, const QByteArray& resource);

// "OSS " accessKeyId ":" base64(HMAC-SHA1(secret, stringToSign)).
QByteArray authorization(const QByteArray& accessKeyId, const QByteArray& accessKeySecret,
                         const QByteArray& stringToSign);

} // namespace Oss
