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

QString firstUsableDir(const QStringList& candidates, QStringList* failed)
{
    for (const QString& candidate : candidates) {
        if (QDir(candidate).exists() || QDir().mkpath(candidate))
            return candidate;
        if (failed)
            failed->append(candidate);
    }
    return QString();
}

QString programDataDir()
{
    return firstUsableDir(programDataDirCandidates());
}

QString userSettingsFilePath()
{
    return programDataDir() + "/viDaviro.ini";
}

} // namespace AppPaths
