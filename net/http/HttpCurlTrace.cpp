#include "net/http/HttpCurl.h"

#include "app/LogLock.h"
#include "app/RunLog.h"
#include "net/http/SecretMask.h"

#include <QString>

#include <atomic>

namespace HttpCurl {

namespace {

// The kind of the previous traced call, shared by all requests: a run of received header lines carries its
// prefix once.
std::atomic<int> g_previousKind{-1};

const char* prefixFor(int kind, int previousKind)
{
    switch (kind) {
    case CURLINFO_TEXT:
        return "HttpCurl == Info:\n";
    case CURLINFO_HEADER_OUT:
        return "HttpCurl => Send header:\n";
    case CURLINFO_DATA_OUT:
        return "HttpCurl => Send data:\n";
    case CURLINFO_SSL_DATA_OUT:
        return "HttpCurl => Send SSL data:\n";
    case CURLINFO_HEADER_IN:
        return previousKind == CURLINFO_HEADER_IN ? "" : "HttpCurl <= Recv header:\n";
    default:
        return nullptr;
    }
}

} // namespace

QByteArray traceRecord(int kind, int previousKind, const char* data, size_t size)
{
    const char* prefix = prefixFor(kind, previousKind);
    if (!prefix)
        return QByteArray();
    QByteArray record(prefix);
    if (data && size > 0) {
        const QString text = QString::fromUtf8(data, int(qMin<size_t>(size, size_t(kMaxByteArrayBody))));
        record += SecretMask::maskSecrets(text).toUtf8();
    }
    record += '\n';
    return record;
}

int debugCallback(CURL* handle, curl_infotype kind, char* data, size_t size, void* user)
{
    Q_UNUSED(handle);
    Q_UNUSED(user);
    if (!prefixFor(kind, -1))
        return 0;
    // The previous kind is swapped under the log lock too, so that the prefixes follow the file's order; the run
    // log keeps trace records and log lines whole.
    LogLock lock;
    const int previous = g_previousKind.exchange(int(kind));
    const QByteArray record = traceRecord(kind, previous, data, size);
    RunLog::appendRecord(record.constData(), std::size_t(record.size()));
    return 0;
}

} // namespace HttpCurl
