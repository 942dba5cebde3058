#pragma once

#include <QString>

// The embedded browser's cache and storage folder: "<program data folder>/QtWebEngine/default". The web
// profile is pointed at it and the cache clearing at start-up deletes it: both take the path from here.
QString webCachePath();

// Empty when there is no program data folder; callers then leave the browser's defaults alone.

// The same for a given program data folder.
QString webCachePathIn(const QString& programDataDir);
