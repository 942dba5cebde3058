#include "net/api/ZmNetAPI.h"

#include "app/ProgramFiles.h"
#include "app/StringUtil.h"
#include "app/UrlConfig.h"
#include "net/api/ApiCommonParams.h"
#include "net/http/HttpCurl.h"
#include "net/http/SecretMask.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

constexpr char kEntrancePath[] = "/quillo/entrance";

std::atomic<ZmNetAPI*> g_instance{nullptr};
std::atomic<int> g_timeoutSeconds{ZmNetAPI::kTimeoutSeconds};

// Writes text as the inside of a JSON string.
void appendJsonString(QString& out, const QString& text)
{
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\b':
            out += QLatin1String("\\b");
            break;
        case '\f':
            out += QLatin1String("\\f");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

} // namespace

QString paramsToJsonText(const ApiParamList& list)
{
    ApiParamList sorted = list;
    std::stable_sort(sorted.begin(), sorted.end(), StringUtil::keyLessNoCase);
    QString text;
    for (const KeyValuePair& pair : sorted) {
        if (!text.isEmpty())
            text += QLatin1Char(',');
        appendJsonString(text, pair.first);
        text += QLatin1Char(':');
        appendJsonString(text, pair.second);
    }
    return text;
}

int ZmNetAPI::timeoutSeconds()
{
    return g_timeoutSeconds.load();
}

void ZmNetAPI::setTimeoutSecondsForTesting(int seconds)
{
    g_timeoutSeconds.store(seconds > 0 ? seconds : kTimeoutSeconds);
}

ZmNetAPI* ZmNetAPI::instance()
{
    ZmNetAPI* api = g_instance.load(std::memory_order_acquire);
    if (api)
        return api;
    static QMutex creationMutex;
    static std::unique_ptr<ZmNetAPI> holder;
    QMutexLocker locker(&creationMutex);
    api = g_instance.load(std::memory_order_relaxed);
    if (!api) {
        holder.reset(new ZmNetAPI);
        api = holder.get();
        g_instance.store(api, std::memory_order_release);
    }
    return api;
}

ZmNetAPI::ZmNetAPI()
    : m_version(getExeFileVersion(3))
{
    m_curlReady = curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
    if (!m_curlReady)
        qWarning() << "curl init failed";
}

ZmNetAPI::~ZmNetAPI()
{
    g_instance.store(nullptr);
    if (m_curlReady)
        curl_global_cleanup();
}

QString ZmNetAPI::GetUrl(const QString& base, const ApiParamList& list)
{
    const QString parameter = QLatin1Char('{') + paramsToJsonText(list) + QLatin1Char('}');
    qInfo().noquote() << "ZmNetAPI::GetUrl param- " + SecretMask::logExcerpt(parameter);
    const QString address = base + QLatin1String(kEntrancePath) + QLatin1String("?parameter=") +
                            QString::fromLatin1(QUrl::toPercentEncoding(parameter));
    qInfo().noquote() << "ZmNetAPI::GetUrl - " + SecretMask::logExcerpt(address);
    return address;
}

QUrl ZmNetAPI::makeApiUrl(const ApiParamList& list)
{
    return QUrl(GetUrl(UrlConfig::instance()->api, list), QUrl::TolerantMode);
}

int ZmNetAPI::callNumbered(const char* callName, ApiParamList list, TagCodeReading reading, bool takesWsUrl,
                           QJsonObject* reply)
{
    QString funcTag;
    for (const KeyValuePair& pair : list) {
        if (pair.first == QLatin1String("FuncTag"))
            funcTag = pair.second;
    }
    ApiCommonParams::appendSignature(list);

    QByteArray body;
    if (HttpCurl::getToByteArray(makeApiUrl(list), nullptr, &body, timeoutSeconds()) != 0)
        return -1;

    const QJsonObject object = parseReplyObject(body);
    if (takesWsUrl) {
        const QString wsUrl = readWsUrl(object);
        if (!wsUrl.isEmpty())
            UrlConfig::instance()->webSocket = wsUrl;
    }
    qInfo().noquote() << QStringLiteral("ZmNetAPI::%1 reply:").arg(QLatin1String(callName))
                      << SecretMask::logExcerpt(replyText(object));

    const TagCode tag = readTagCode(object, reading);
    if (tag.code != 0) {
        reportDeviceProblem(1, tag.code, QStringLiteral("FuncTag=") + funcTag, QStringLiteral("Call HttpApi Error!"));
        qWarning().noquote() << QStringLiteral("Error in %1: tagcode=").arg(QLatin1String(callName)) + tag.text;
        return tag.code;
    }
    if (reply)
        *reply = object;
    return 0;
}
