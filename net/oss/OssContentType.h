#pragma once

#include <QByteArray>

namespace Oss {

// The content type for an object stored without one, from its key's extension: "application/zip",
// "application/json", "text/plain" and a few more; "application/octet-stream" for anything else.
QByteArray contentTypeForKey(const QByteArray& key);

} // namespace Oss
