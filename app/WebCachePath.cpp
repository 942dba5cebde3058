#include "app/WebCachePath.h"

#include "app/ConfigManager.h"

QString webCachePath()
{
    return webCachePathIn(ConfigManager::instance()->getAppDataDir());
}

QString webCachePathIn(const QString& programDataDir)
{
    if (programDataDir.isEmpty())
        return QString();
    return QStringLiteral("%1/QtWebEngine/%2").arg(programDataDir, QStringLiteral("default"));
}
