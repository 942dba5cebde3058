#pragma once

#include "net/oss/OssTypes.h"

#include <QString>

namespace Oss {

// One signed PUT of an object: Date, Content-Type, Content-Length, the security token and the
// "Authorization" header over the canonical request. Success is a 2xx reply whose CRC-64 (when the service
// sends one) matches the data sent; a refusal carries the service's XML error. Redirects are not followed.
// Blocks the calling thread; safe to call from several threads at once.
Status putObject(const Credentials& credentials, const QByteArray& bucket, const QByteArray& key,
                 const QByteArray& contentType, const char* data, qint64 size, const TransferLimits& limits = {});

// The same with the body read from a file.
Status putObjectFromFile(const Credentials& credentials, const QByteArray& bucket, const QByteArray& key,
                         const QByteArray& contentType, const QString& path, const TransferLimits& limits = {});

} // namespace Oss
