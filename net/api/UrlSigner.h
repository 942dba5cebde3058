#pragma once

#include "net/http/ApiParamList.h"

#include <QByteArray>
#include <QString>

// Address tails for the whiteboard pages: the parameter values as path segments and a query with a time
// stamp, the application version and an MD5 signature the page's server checks.
namespace UrlSigner {

// The tail for the current time and the running program's version (first three parts).
QString signQuery(const ApiParamList& params);

// The same for a given time stamp (milliseconds since 1970, decimal) and application version.
QString signQuery(const ApiParamList& params, const QString& timeStamp, const QString& appVersion);

// Whole seconds since 1970 (UTC) times 1000, in decimal.
QString currentTimeStamp();

// MD5 of the text narrowed to bytes (the low byte of each UTF-16 code unit). Logs the narrowed text, with "***"
// in place of the signing secret, and the digest.
QByteArray md5Digest(const QString& text);

} // namespace UrlSigner
