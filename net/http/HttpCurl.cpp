#include "net/http/HttpCurl.h"

#include <QDeadlineTimer>
#include <QDebug>

#include <memory>

namespace HttpCurl {

namespace {

constexpr long kMaxRedirects = 10;

struct EasyDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

int effectiveSeconds(int seconds, const char* caller)
{
    if (seconds > 0)
        return seconds;
    qWarning() << caller << "no time limit given; using" << kDefaultSeconds << "seconds";
    return kDefaultSeconds;
}

// The options every request shares, in the order the transport sets them.
EasyHandle createHandle(const QByteArray& address, int seconds)
{
    EasyHandle handle(curl_easy_init());
    if (!handle) {
        qWarning() << "Init CURL failed...";
        return handle;
    }
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &HttpCurl::debugCallback);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(seconds));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(seconds));
    // Redirects are followed by perform(), which keeps them within the origin.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    // Certificates and host names of secure addresses are verified (libcurl's defaults stay in force).
    return handle;
}

// "Content-Type:..." first, then one line per pair. False when libcurl could not take a line.
bool buildHeaderLines(const char* contentType, const ApiParamList* headers, HeaderList& out)
{
    curl_slist* list = curl_slist_append(nullptr, contentType);
    if (!list)
        return false;
    out.reset(list);
    if (!headers)
        return true;
    for (const KeyValuePair& pair : *headers) {
        const QByteArray line = headerLine(pair.first, pair.second);
        if (line.isEmpty()) {
            qWarning() << "HttpCurl header pair without a usable key left out";
            continue;
        }
        curl_slist* grown = curl_slist_append(out.get(), line.constData());
        if (!grown)
            return false;
        out.release();
        out.reset(grown);
    }
    return true;
}

// The caller's write callback for the final reply only: the body of a redirect is not the caller's.
struct ReplySink
{
    WriteCallback write = nullptr;
    void* target = nullptr;
    long status = 0;          // of the reply whose header lines came last
    bool hasLocation = false; // that reply names a new address
};

bool isRedirectStatus(long status)
{
    return status >= 300 && status <= 399;
}

// The absolute address the last transfer's reply (of the given status) points to; empty when it is no redirect.
QByteArray redirectTarget(CURL* curl, long status)
{
    char* location = nullptr;
    if (!isRedirectStatus(status) || curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) != CURLE_OK || !location)
        return QByteArray();
    return QByteArray(location);
}

size_t readHeaderLine(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<ReplySink*>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray::fromRawData(data, int(qMin<size_t>(bytes, 8192)));
    if (line.startsWith("HTTP/")) { // a new reply: "HTTP/1.1 302 Found"
        const QList<QByteArray> parts = line.simplified().split(' ');
        sink->status = parts.size() > 1 ? parts.at(1).toLong() : 0;
        sink->hasLocation = false;
    } else if (line.size() > 9 && qstrnicmp(line.constData(), "Location:", 9) == 0 &&
               !line.mid(9).trimmed().isEmpty()) {
        sink->hasLocation = true;
    }
    return bytes;
}

size_t writeToSink(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<ReplySink*>(user);
    if (isRedirectStatus(sink->status) && sink->hasLocation)
        return size * count;
    return sink->write(data, size, count, sink->target);
}

void logFailure(const char* caller, const QString& reason, const QByteArray& address)
{
    qWarning().noquote() << caller << "failed:" << reason << "-" << addressForLog(address);
}

// Performs the request and follows its redirects within the origin, at most kMaxRedirects of them, all within
// the request's time limit. A redirect to another origin (another scheme, host or port) ends the request: the
// header lines are never sent there.
int perform(const char* caller, CURL* curl, const QByteArray& address, WriteCallback write, void* target, int seconds,
            bool isPost)
{
    ReplySink sink;
    sink.write = write;
    sink.target = target;
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &readHeaderLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeToSink);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    const QDeadlineTimer deadline(qint64(seconds) * 1000);
    QByteArray current = address;
    for (int redirects = 0;; ++redirects) {
        sink.status = 0;
        sink.hasLocation = false;
        const CURLcode code = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        const QByteArray next = code == CURLE_OK ? redirectTarget(curl, status) : QByteArray();
        if (next.isEmpty()) {
            if (code == CURLE_OK && (status == 200 || status == 201))
                return 0;
            logFailure(caller,
                       code == CURLE_OK ? QStringLiteral("HTTP status %1").arg(status)
                                        : QString::fromUtf8(curl_easy_strerror(code)),
                       current);
            return 1;
        }
        if (redirects == kMaxRedirects) {
            logFailure(caller, QStringLiteral("more than %1 redirects").arg(kMaxRedirects), current);
            return 1;
        }
        if (!isSameOrigin(QUrl(QString::fromUtf8(current)), QUrl(QString::fromUtf8(next)))) {
            qWarning().noquote() << caller << "failed: a redirect to another origin is not followed -"
                                 << addressForLog(current) << "->" << addressForLog(next);
            return 1;
        }
        const qint64 remainingMs = deadline.remainingTime();
        if (remainingMs <= 0) {
            logFailure(caller, QStringLiteral("the time limit ran out among redirects"), current);
            return 1;
        }
        // As browsers do: 301, 302 and 303 turn a POST into a GET without body; 307 and 308 repeat it.
        if (isPost && (status == 301 || status == 302 || status == 303)) {
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
            isPost = false;
        }
        current = next;
        curl_easy_setopt(curl, CURLOPT_URL, current.constData());
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(remainingMs));
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(qMin<qint64>(remainingMs, qint64(seconds) * 1000)));
    }
}

// A request with "Content-Type:" + contentType and the header list's lines: a POST of body when there is one,
// else a GET.
int sendRequest(const char* caller, const QByteArray& address, const char* contentType, const ApiParamList* headers,
                const QByteArray* body, WriteCallback write, void* target, int seconds)
{
    if (!write || !target)
        return -1;
    const int limit = effectiveSeconds(seconds, caller);
    EasyHandle handle = createHandle(address, limit);
    if (!handle)
        return -1;
    HeaderList lines;
    if (!buildHeaderLines(contentType, headers, lines)) {
        qWarning() << caller << "cannot build the header lines";
        return -1;
    }
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, lines.get());
    if (body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(body->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->constData());
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
    }
    return perform(caller, curl, address, write, target, limit, body != nullptr);
}

} // namespace

int get(const QByteArray& address, const ApiParamList* headers, WriteCallback write, void* target, int seconds)
{
    return sendRequest("HttpCurl::get", address, "Content-Type:application/json", headers, nullptr, write, target,
                       seconds);
}

int postForm(const QByteArray& address, const ApiParamList* headers, const ApiParamList* form, WriteCallback write,
             void* target, int seconds)
{
    // Always a body of its own, empty without pairs: libcurl would otherwise read one from standard input.
    const QByteArray body = form ? formBody(*form) : QByteArray();
    return sendRequest("HttpCurl::postForm", address, "Content-Type:application/x-www-form-urlencoded", headers, &body,
                       write, target, seconds);
}

size_t writeToByteArray(char* data, size_t size, size_t count, void* target)
{
    auto* bytes = static_cast<QByteArray*>(target);
    const size_t total = size * count;
    if (!bytes || !data)
        return total + 1;
    if (total == 0)
        return 0;
    if (count != 0 && total / count != size)
        return 0;
    if (qint64(bytes->size()) + qint64(total) > kMaxByteArrayBody || total > size_t(kMaxByteArrayBody)) {
        qWarning() << "HttpCurl::writeToByteArray reply body beyond" << kMaxByteArrayBody << "bytes; transfer ended";
        return 0;
    }
    bytes->append(data, int(total));
    return total;
}

int getUrl(const QUrl& address, const ApiParamList* headers, WriteCallback write, void* target, int seconds)
{
    QString text = address.toString();
    text.replace(QLatin1Char(' '), QLatin1String("%20"));
    return get(text.toUtf8(), headers, write, target, seconds) == 0 ? 0 : -1;
}

int getToByteArray(const QUrl& address, const ApiParamList* headers, QByteArray* target, int seconds)
{
    return getUrl(address, headers, &writeToByteArray, target, seconds);
}

} // namespace HttpCurl
