#pragma once

#include "net/http/ApiParamList.h"

#include <QByteArray>
#include <QUrl>

#include <curl/curl.h>

#include <cstddef>

// The program's own HTTP requests over the libcurl easy interface: one handle per request, synchronous on the
// caller's thread, with a trace of each exchange in the day's log file. Header lists become header lines
// "key:value" (UTF-8) in list order, after a first "Content-Type" line.
//
// Results of get and postForm: 0 the transfer completed with HTTP status 200 or 201; 1 it failed (no connection,
// time-out, write error, more than 10 redirects, a redirect to another origin) or ended with another status; -1
// nothing was sent (no write callback or target, or no handle). `seconds` limits both the connection and the
// whole transfer, redirects included.
//
// Redirects are followed within the origin (scheme, host and port) only, with the same header lines; the body of
// a redirect never reaches the write callback. 301, 302 and 303 turn a POST into a GET.
namespace HttpCurl {

using WriteCallback = size_t (*)(char* data, size_t size, size_t count, void* target);

// The limit used when a caller passes no positive one: every request has one.
constexpr int kDefaultSeconds = 10;

int get(const QByteArray& address, const ApiParamList* headers, WriteCallback write, void* target, int seconds);

// A form POST: "Content-Type:application/x-www-form-urlencoded", the header list's lines, and the form pairs
// as key=value joined by "&", keys and values percent-encoded as UTF-8. No pairs: an empty body.
int postForm(const QByteArray& address, const ApiParamList* headers, const ApiParamList* form, WriteCallback write,
             void* target, int seconds);

// Appends to the QByteArray target; a missing target or data, or a body beyond kMaxByteArrayBody, ends the
// transfer with a write error.
size_t writeToByteArray(char* data, size_t size, size_t count, void* target);
constexpr qint64 kMaxByteArrayBody = qint64(1) << 30;

// The trace: information texts, header lines and sent data go to the day's log file, secrets masked.
int debugCallback(CURL* handle, curl_infotype kind, char* data, size_t size, void* user);

// True for a valid http or https address with a host: the only addresses the program downloads from.
bool isHttpAddress(const QUrl& url);

// True when both addresses have one origin: scheme, host and port (the scheme's port when none is written),
// and the target names no user. The only redirects followed are those within the origin.
bool isSameOrigin(const QUrl& from, const QUrl& to);

// get() for a QUrl (its default text form, blanks written as "%20"): 0 on success, -1 on any failure.
int getUrl(const QUrl& address, const ApiParamList* headers, WriteCallback write, void* target, int seconds);

// getUrl() appending the reply body to target (which is not cleared first).
int getToByteArray(const QUrl& address, const ApiParamList* headers, QByteArray* target, int seconds);

// The pieces of a request, open for tests.

// "key:value" with every control character (CR, LF, ...) dropped from both; "key;" for an empty value, which
// libcurl sends as an empty header instead of dropping it. Empty when the key is empty after cleaning.
QByteArray headerLine(const QString& key, const QString& value);

// key=value&key=value in list order, percent-encoded.
QByteArray formBody(const ApiParamList& form);

// What the trace writes for one call of the debug function: the prefix (when the kind has one and, for
// received headers, the previous kind was another), the data read as UTF-8 with secrets masked, a line end.
// Null for the kinds that are not traced.
QByteArray traceRecord(int kind, int previousKind, const char* data, size_t size);

// The address without query, fragment and user information, for log lines.
QString addressForLog(const QByteArray& address);

} // namespace HttpCurl
