#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct LaunchInfo;

// Every service address the program uses. The only source of them: built-in defaults, overridden by the group
// "URL" of the program-folder settings file, then by single values from the command line and the class
// service's replies. Fields are read and written directly (tests point them at loopback this way).
class UrlConfig
{
public:
    // The process-wide configuration. The first call reads getDesktopIniPath() and writes the web mode into
    // the application data's launch record. Never null.
    static UrlConfig* instance();

    // Built-in defaults; reads nothing.
    UrlConfig();

    // Sets every field to its default, then reads the group "URL" of the ini file (a missing file reads as
    // empty), and sets launch.webMode to "production" overridden by "URL/WebServerMode".
    void loadFrom(const QString& iniPath, LaunchInfo& launch);

    QString mainRoom;
    QString api;
    QStringList apiAlternates; // "URL/Api_1" ... "URL/Api_9", up to the first missing key
    QString restful;
    QStringList restfulAlternates; // "URL/RESTful_1" ... "URL/RESTful_9", likewise
    QString whiteboard;
    QString playbackWhiteboard;
    QString apmReport;
    QString webSocket;
    QString testDownload;
    QByteArray rtcAppId; // 32 lower-case hexadecimal characters

    static const char* const defaultMainRoom;
    static const char* const defaultApi;
    static const char* const defaultWhiteboard;
    static const char* const defaultPlaybackWhiteboard;
    static const char* const defaultApmReport;
    static const char* const defaultWebSocket;
    static const char* const defaultTestDownload;
    static const char* const builtInRtcAppId;

    static constexpr int maxAlternates = 9;
};
