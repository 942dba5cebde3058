#include "net/http/HttpCurl.h"

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
EasyHandle createHandle(const QByteArray& address, WriteCallback write, void* target, int seconds)
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
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, target);
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

int perform(const char* caller, CURL* curl, const QByteArray& address)
{
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code == CURLE_OK && (status == 200 || status == 201))
        return 0;
    const QString reason =
        code == CURLE_OK ? QStringLiteral("HTTP status %1").arg(status) : QString::fromUtf8(curl_easy_strerror(code));
    qWarning().noquote() << caller << "failed:" << reason << "-" << addressForLog(address);
    return 1;
}

} // namespace

int get(const QByteArray& address, const ApiParamList* headers, WriteCallback write, void* target, int seconds)
{
    if (!write || !target)
        return -1;
    EasyHandle handle = createHandle(address, write, target, effectiveSeconds(seconds, "HttpCurl::get"));
    if (!handle)
        return -1;
    HeaderList lines;
    if (!buildHeaderLines("Content-Type:application/json", headers, lines)) {
        qWarning() << "HttpCurl::get cannot build the header lines";
        return -1;
    }
    curl_easy_setopt(handle.get(), CURLOPT_HTTPHEADER, lines.get());
    return perform("HttpCurl::get", handle.get(), address);
}

int postForm(const QByteArray& address, const ApiParamList* headers, const ApiParamList* form, WriteCallback write,
             void* target, int seconds)
{
    if (!write || !target)
        return -1;
    EasyHandle handle = createHandle(address, write, target, effectiveSeconds(seconds, "HttpCurl::postForm"));
    if (!handle)
        return -1;
    HeaderList lines;
    if (!buildHeaderLines("Content-Type:application/x-www-form-urlencoded", headers, lines)) {
        qWarning() << "HttpCurl::postForm cannot build the header lines";
        return -1;
    }
    curl_easy_setopt(handle.get(), CURLOPT_HTTPHEADER, lines.get());
    // Always a body of its own, empty without pairs: libcurl would otherwise read one from standard input.
    const QByteArray body = form ? formBody(*form) : QByteArray();
    curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(handle.get(), CURLOPT_POST, 1L);
    return perform("HttpCurl::postForm", handle.get(), address);
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
