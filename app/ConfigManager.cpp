#include "app/ConfigManager.h"

#include "app/AppPaths.h"
#include "app/DirUtil.h"
#include "app/LogLock.h"
#include "app/ProgramFiles.h"
#include "app/RunLog.h"
#include "app/VersionTriple.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <atomic>

namespace {

// A manifest is a few lines; anything larger is not one.
constexpr qint64 kManifestSizeLimit = 1024 * 1024;

std::atomic<ConfigManager*> s_instance{nullptr};
std::atomic<ConfigManager::ArchiveExtractor> s_archiveExtractor{nullptr};

// Owns the process-wide object. It is created by the first instance() call after the object itself, so it
// is destroyed before the library statics the object uses.
struct InstanceHolder
{
    explicit InstanceHolder(ConfigManager* manager)
        : owned(manager)
    {
        s_instance.store(manager);
    }

    ~InstanceHolder()
    {
        // What was logged so far goes to the file; later lines are only collected.
        RunLog::flush();
        s_instance.store(nullptr);
        // Lines being moved right now may still use the object: wait for them.
        {
            LogLock lock;
        }
        delete owned;
    }

    ConfigManager* owned;
};

// A settings value as text; an unquoted value with commas reads back as a list, joined again here.
QString settingText(const QVariant& value)
{
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(", ");
    return value.toString();
}

} // namespace

ConfigManager::Setup ConfigManager::standardSetup()
{
    Setup setup;
    setup.dataDirCandidates = AppPaths::programDataDirCandidates();
    setup.offlineArchivePath = getModulePathPart(0) + "offlineRes.zip";
    setup.desktopIniPath = getDesktopIniPath();
    setup.programVersion = getExeFileVersion(3);
    return setup;
}

void ConfigManager::setArchiveExtractor(ArchiveExtractor extractor)
{
    s_archiveExtractor.store(extractor);
}

ConfigManager* ConfigManager::instance()
{
    static InstanceHolder holder(new ConfigManager(standardSetup()));
    return holder.owned;
}

ConfigManager* ConfigManager::existingInstance()
{
    return s_instance.load();
}

ConfigManager::ConfigManager(const Setup& setup)
    : m_setup(setup)
{
    QStringList failed;
    m_appDataDir = AppPaths::firstUsableDir(m_setup.dataDirCandidates, &failed);
    for (const QString& path : failed)
        qWarning().noquote() << "ConfigManager mkpath failed: " + path;
    if (m_appDataDir.isEmpty()) {
        qWarning("ConfigManager::ConfigManager no usable program data folder: settings are not kept and logs "
                 "stay in memory");
        return;
    }
    createFolders();
    openSettings();
    if (m_settings)
        installOfflineResources();
}

ConfigManager::~ConfigManager() = default;

void ConfigManager::createFolders()
{
    m_logDir = m_appDataDir + "/logs" + QDateTime::currentDateTime().toString("/yyyy-MM-dd HH-mm-ss");
    if (!makePathIfMissing(m_logDir)) {
        qWarning().noquote() << "ConfigManager::ConfigManager cannot create the log folder" << m_logDir << "- using"
                             << m_appDataDir;
        m_logDir = m_appDataDir;
    }
    m_imageDir = m_appDataDir + "/images";
    if (!makePathIfMissing(m_imageDir)) {
        qWarning().noquote() << "ConfigManager::ConfigManager cannot create the image folder" << m_imageDir << "- using"
                             << m_appDataDir;
        m_imageDir = m_appDataDir;
    }
    m_offlineLessonDir = m_appDataDir + "/offline/lesson";
    if (!makePathIfMissing(m_offlineLessonDir))
        qWarning().noquote() << "ConfigManager::ConfigManager cannot create the offline lesson folder"
                             << m_offlineLessonDir;
}

void ConfigManager::openSettings()
{
    m_iniPath = m_appDataDir + "/viDaviro.ini";
    const QFileInfo existing(m_iniPath);
    if (existing.exists() && !existing.isFile()) {
        qWarning().noquote() << "ConfigManager::ConfigManager the settings file" << m_iniPath << "is not a file";
        return;
    }
    if (!existing.exists()) {
        QFile file(m_iniPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            qWarning().noquote() << "ConfigManager::ConfigManager cannot create the settings file" << m_iniPath << ":"
                                 << file.errorString();
            return;
        }
        file.close();
    }
    m_settings = std::make_unique<QSettings>(m_iniPath, QSettings::IniFormat);
    m_settings->setIniCodec("UTF-8");
    const QString problem = settingsReadProblem(*m_settings);
    if (!problem.isEmpty())
        qWarning().noquote() << "ConfigManager::ConfigManager the settings file" << m_iniPath
                             << "cannot be read in full:" << problem << "- the values it lacks keep their defaults";
}

QString ConfigManager::getOfflineLessonDir() const
{
    if (!m_offlineLessonDir.isEmpty())
        makePathIfMissing(m_offlineLessonDir);
    return m_offlineLessonDir;
}

QString ConfigManager::getAgoraLogPath() const
{
    return m_logDir + "/agorasdk.log";
}

QString ConfigManager::getDailyLogFile()
{
    QMutexLocker locker(&m_dailyLogMutex);
    if (m_dailyLogPath.isEmpty() && !m_logDir.isEmpty())
        m_dailyLogPath = m_logDir + QDate::currentDate().toString("/yyyy_MM_dd") + "_all.log";
    return m_dailyLogPath;
}

void ConfigManager::closeDailyLogFile()
{
    if (existingInstance() == this)
        RunLog::close();
}

int ConfigManager::getVideoResolution() const
{
    QString resolution;
    readIniString(m_setup.desktopIniPath, "Agora/Video_Resolution", resolution);
    if (resolution == "360")
        return 30;
    if (resolution == "480")
        return 40;
    return 20;
}

QString ConfigManager::getOfflineResVersion(const QString& folder)
{
    return readJsonVersion(folder + "/manifest.json");
}

bool ConfigManager::ini_GetParam_Int(const QByteArray& key, int& value) const
{
    QMutexLocker locker(&m_settingsMutex);
    const QString name = QString::fromUtf8(key);
    if (!m_settings || !m_settings->contains(name))
        return false;
    value = settingText(m_settings->value(name)).trimmed().toInt();
    return true;
}

bool ConfigManager::ini_GetParam_String(const QByteArray& key, QByteArray& value) const
{
    QMutexLocker locker(&m_settingsMutex);
    if (!m_settings)
        return false;
    const QString name = QString::fromUtf8(key);
    if (m_settings->contains(name))
        value = settingText(m_settings->value(name)).toUtf8();
    return true;
}

void ConfigManager::ini_SetParam_Int(const QByteArray& key, int value)
{
    QMutexLocker locker(&m_settingsMutex);
    if (!m_settings)
        return;
    m_settings->setValue(QString::fromUtf8(key), value);
    syncSettings();
}

void ConfigManager::ini_SetParam_String(const QByteArray& key, const QByteArray& value)
{
    {
        QMutexLocker locker(&m_settingsMutex);
        if (!m_settings)
            return;
        m_settings->setValue(QString::fromUtf8(key), QString::fromUtf8(value));
        syncSettings();
    }
    qDebug().noquote() << "ConfigManager::ini_SetParam_String " + QString::fromUtf8(key) + " = " +
                              QString::fromUtf8(value);
}

void ConfigManager::ini_RemoveParam(const QByteArray& key)
{
    QMutexLocker locker(&m_settingsMutex);
    if (!m_settings)
        return;
    m_settings->remove(QString::fromUtf8(key));
    syncSettings();
}

void ConfigManager::syncSettings()
{
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qWarning().noquote() << "ConfigManager::syncSettings cannot write" << m_iniPath;
}

bool ConfigManager::installOfflineResources()
{
    if (m_appDataDir.isEmpty() || m_setup.programVersion.isEmpty()) {
        qWarning("ConfigManager::installOfflineResources no program data folder or program version");
        return false;
    }
    // Set before unpacking, so that resources installed by an earlier start stay in use when this package
    // turns out broken.
    if (m_offlineResourceDir.isEmpty()) {
        m_offlineResourceDir = makeDirIfMissing(m_appDataDir + "/offline/resource");
        m_offlineIndexPage = m_offlineResourceDir + "/web/index.html";
        m_offlineRoomPage = m_offlineResourceDir + "/vroom/vroom.html";
    }

    // The package is unpacked beside its final place and renamed into it, so that a folder named for the
    // version always holds a whole package, even after an interrupted start.
    const QString packageDir = m_appDataDir + "/offline/" + m_setup.programVersion;
    if (!dirExists(packageDir)) {
        const QString unpacking = packageDir + ".part";
        if (!extractZipToFolder(m_setup.offlineArchivePath, unpacking) || !QDir().rename(unpacking, packageDir)) {
            qWarning().noquote() << "ConfigManager::installOfflineResources cannot unpack" << m_setup.offlineArchivePath
                                 << "into" << packageDir;
            removeDirRecursively(unpacking);
            return false;
        }
    }

    const QString newVersion = readJsonVersion(packageDir + "/manifest.json");
    if (newVersion.isEmpty()) {
        qWarning().noquote() << "ConfigManager::installOfflineResources no version in" << packageDir
                             << "/manifest.json";
        // Not a usable package: the next start unpacks it again.
        removeDirRecursively(packageDir);
        return false;
    }

    const QString oldVersion = getOfflineResVersion(m_offlineResourceDir);
    if (!oldVersion.isEmpty() && !isNewerVersion(newVersion, oldVersion))
        return true;
    return replaceOfflineResources(packageDir);
}

// Copies the package beside the installed resources and swaps the two, so that a failed copy leaves the
// installed resources as they were.
bool ConfigManager::replaceOfflineResources(const QString& packageDir)
{
    const QString copying = m_offlineResourceDir + ".part";
    const QString previous = m_offlineResourceDir + ".old";
    removeDirRecursively(copying);
    removeDirRecursively(previous);
    if (!copyDirectory(packageDir, copying, true)) {
        qWarning().noquote() << "ConfigManager::installOfflineResources cannot copy" << packageDir << "to" << copying;
        removeDirRecursively(copying);
        return false;
    }
    if (dirExists(m_offlineResourceDir) && !QDir().rename(m_offlineResourceDir, previous)) {
        qWarning().noquote() << "ConfigManager::installOfflineResources cannot move" << m_offlineResourceDir << "aside";
        removeDirRecursively(copying);
        return false;
    }
    if (!QDir().rename(copying, m_offlineResourceDir)) {
        qWarning().noquote() << "ConfigManager::installOfflineResources cannot move" << copying << "to"
                             << m_offlineResourceDir;
        QDir().rename(previous, m_offlineResourceDir);
        removeDirRecursively(copying);
        return false;
    }
    removeDirRecursively(previous);
    return true;
}

QString ConfigManager::readJsonVersion(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return versionFromJson(file.read(kManifestSizeLimit));
}

bool ConfigManager::extractZipToFolder(const QString& zip, const QString& folder)
{
    const ArchiveExtractor extract = s_archiveExtractor.load();
    if (!extract) {
        qWarning().noquote() << "ConfigManager::extractZipToFolder no archive extractor: cannot extract" << zip;
        return false;
    }
    removeDirRecursively(folder);
    if (!makePathIfMissing(folder)) {
        qWarning().noquote() << "ConfigManager::extractZipToFolder cannot create" << folder;
        return false;
    }
    int error = 0;
    const QStringList extracted = extract(zip, folder, &error);
    if (error != 0 || extracted.isEmpty()) {
        qWarning().noquote() << "ConfigManager::extractZipToFolder cannot extract" << zip << "into" << folder
                             << "- zip error" << error;
        return false;
    }
    return true;
}
