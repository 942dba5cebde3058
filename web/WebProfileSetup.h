#pragma once

#include <QString>

class QWebEngineProfile;

// The embedded browser's process-wide set-up at start-up.

// The user agent every page of the program sends.
constexpr char kWebUserAgent[] = "vovozuzo-pc";

// Points the profile's cache and persistent storage at path and logs "QT Cache path = <path>". An empty path
// (no program data folder) leaves the profile's own folders.
void setWebCachePath(QWebEngineProfile* profile, const QString& path);

// The default profile at webCachePath(), the folder the cache clearing deletes. The main window's
// setWebCachePath is this call.
void setWebCachePath();

// The default profile's user agent kWebUserAgent; WebGL, then plug-ins switched on in the default settings.
void setupDefaultWebProfile();
