#include "app/UrlConfig.h"

#include "app/AppGlobalData.h"
#include "app/ProgramFiles.h"

#include <QDebug>
#include <QSettings>

const char* const UrlConfig::defaultMainRoom = "http://www.zmquillo.example";
const char* const UrlConfig::defaultApi = "http://api.zmquillo.example";
const char* const UrlConfig::defaultWhiteboard = "http://wb.zmquillo.example";
const char* const UrlConfig::defaultPlaybackWhiteboard = "http://wb.zmquillo.example/playback";
const char* const UrlConfig::defaultApmReport = "http://apm.zmquillo.example/apm-store-web/messagePosted";
const char* const UrlConfig::defaultWebSocket = "ws://ws.zmquillo.example";
const char* const UrlConfig::defaultTestDownload = "http://img.zmquillo.example/logo_1MB.png";
const char* const UrlConfig::builtInRtcAppId = "9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b";

namespace {

// The key's text, or fallback when absent. An unquoted value with commas reads back as a list; join it again
// so an address with a comma in its query survives.
QString readText(const QSettings& settings, const QString& key, const QString& fallback)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return fallback;
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(',');
    return value.toString();
}

// keyPattern + "_1" ... "_9", stopping at the first missing key.
QStringList readAlternates(const QSettings& settings, const QString& keyPattern)
{
    QStringList alternates;
    for (int i = 1; i <= UrlConfig::maxAlternates; ++i) {
        const QString key = keyPattern.arg(i);
        if (!settings.contains(key))
            break;
        alternates.append(readText(settings, key, QString()));
    }
    return alternates;
}

} // namespace

UrlConfig* UrlConfig::instance()
{
    static UrlConfig* config = [] {
        auto* created = new UrlConfig;
        created->loadFrom(getDesktopIniPath(), AppGlobalData::instance()->launch);
        return created;
    }();
    return config;
}

UrlConfig::UrlConfig()
    : mainRoom(defaultMainRoom)
    , api(defaultApi)
    , restful(defaultApi)
    , whiteboard(defaultWhiteboard)
    , playbackWhiteboard(defaultPlaybackWhiteboard)
    , apmReport(defaultApmReport)
    , webSocket(defaultWebSocket)
    , testDownload(defaultTestDownload)
    , rtcAppId(builtInRtcAppId)
{
}

void UrlConfig::loadFrom(const QString& iniPath, LaunchInfo& launch)
{
    *this = UrlConfig();

    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QString problem = settingsReadProblem(settings);
    if (!problem.isEmpty())
        qWarning().noquote() << "UrlConfig::loadFrom cannot fully read" << iniPath << ":" << problem
                             << "- missing values keep their defaults";

    mainRoom = readText(settings, QStringLiteral("URL/MainRoom"), mainRoom);
    api = readText(settings, QStringLiteral("URL/Api"), api);
    apiAlternates = readAlternates(settings, QStringLiteral("URL/Api_%1"));
    restful = readText(settings, QStringLiteral("URL/RESTful"), restful);
    restfulAlternates = readAlternates(settings, QStringLiteral("URL/RESTful_%1"));
    whiteboard = readText(settings, QStringLiteral("URL/Whiteboard"), whiteboard);
    playbackWhiteboard = readText(settings, QStringLiteral("URL/PlaybackWhiteboard"), playbackWhiteboard);
    apmReport = readText(settings, QStringLiteral("URL/ApmReport"), apmReport);
    webSocket = readText(settings, QStringLiteral("URL/WebSocket"), webSocket);
    testDownload = readText(settings, QStringLiteral("URL/TestDownload"), testDownload);

    launch.webMode = QStringLiteral("production");
    launch.webMode = readText(settings, QStringLiteral("URL/WebServerMode"), launch.webMode);
}
