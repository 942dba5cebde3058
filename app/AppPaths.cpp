#include "app/AppPaths.h"

#include <QDir>

namespace AppPaths {

namespace {

const char kOrganization[] = "Zmhub";
const char kApplication[] = "ZmQuillo_Desktop";

QString xdgFolder(const char* variable, const QString& fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + '/' + fallbackBelowHome);
}

QString below(const QString& base)
{
    return base + '/' + kOrganization + '/' + kApplication;
}

} // namespace

QStringList programDataDirCandidates()
{
    return {below(xdgFolder("XDG_CONFIG_HOME", ".config")), below(xdgFolder("XDG_DATA_HOME", ".local/share"))};
}

QString programDataDir()
{
    for (const QString& candidate : programDataDirCandidates()) {
        if (QDir(candidate).exists() || QDir().mkpath(candidate))
            return candidate;
    }
    return QString();
}

QString userSettingsFilePath()
{
    return programDataDir() + "/viDaviro.ini";
}

} // namespace AppPaths
