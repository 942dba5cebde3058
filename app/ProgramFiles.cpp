#include "app/ProgramFiles.h"

#include "app/AppPaths.h"
#include "platform/ProgramPath.h"

#include "BuildVersion.h"

#include <QDebug>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSettings>

#include <memory>

namespace {

// A warning for each file that cannot be read, once in a run.
void warnOnceIfUnreadable(const QSettings& settings, const QString& path)
{
    const QString problem = settingsReadProblem(settings);
    if (problem.isEmpty())
        return;
    static QMutex mutex;
    static QSet<QString> warned;
    {
        QMutexLocker locker(&mutex);
        if (warned.contains(path))
            return;
        warned.insert(path);
    }
    qWarning().noquote() << "readIni the settings file" << path << "cannot be read in full:" << problem
                         << "- the values it lacks keep their defaults";
}

QSettings* openIni(const QString& path)
{
    auto* settings = new QSettings(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    warnOnceIfUnreadable(*settings, path);
    return settings;
}

} // namespace

QString settingsReadProblem(const QSettings& settings)
{
    // Sections are decoded when first read: read them all, so that a broken one shows now.
    settings.allKeys();
    switch (settings.status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("it cannot be opened");
    case QSettings::FormatError:
        return QStringLiteral("it is not a valid ini file");
    }
    return QString();
}

QString getModulePathPart(int part)
{
    const QFileInfo info(Platform::programFilePath());
    if (part == 0)
        return info.absolutePath() + '/';
    if (part == 1)
        return info.completeBaseName();
    return QString();
}

QString getDesktopIniPath()
{
    return QString("%1ZmQuillo_Desktop.ini").arg(getModulePathPart(0));
}

QString getUserIniPath()
{
    return AppPaths::userSettingsFilePath();
}

bool readIniInt(const QString& path, const QString& key, int& value)
{
    std::unique_ptr<QSettings> settings(openIni(path));
    const QVariant stored = settings->value(key);
    if (!stored.isValid())
        return false;
    bool ok = false;
    const int number = stored.toString().trimmed().toInt(&ok);
    if (!ok)
        return false;
    value = number;
    return true;
}

bool readIniString(const QString& path, const QString& key, QString& value)
{
    std::unique_ptr<QSettings> settings(openIni(path));
    value = settings->value(key, value).toString();
    return true;
}

bool readSettingWithDefault(const QString& key, int& value)
{
    const bool inDesktop = readIniInt(getDesktopIniPath(), key, value);
    const bool inUser = readIniInt(getUserIniPath(), key, value);
    return inDesktop || inUser;
}

QString getFileVersion(const QString& path, int parts)
{
    // Linux files carry no version resource: only the running program knows its (compiled-in) version.
    if (QFileInfo(path).canonicalFilePath() != QFileInfo(Platform::programFilePath()).canonicalFilePath())
        return QString();
    if (parts == 4)
        return QString::asprintf("%d.%d.%d.%d", ZM_VERSION_MAJOR, ZM_VERSION_MINOR, ZM_VERSION_PATCH, ZM_VERSION_TWEAK);
    return QString::asprintf("%d.%d.%d", ZM_VERSION_MAJOR, ZM_VERSION_MINOR, ZM_VERSION_PATCH);
}

QString getExeFileVersion(int parts)
{
    return getFileVersion(Platform::programFilePath(), parts);
}
