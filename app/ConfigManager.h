#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// The program's folders in the user's data area (program data folder, one log folder per start, images,
// offline lessons, offline web resources) and the user settings file "viDaviro.ini" with typed reads and
// writes by group and key ("Group/Key", UTF-8). Creating it installs the offline web resources shipped with
// the program.
class ConfigManager
{
public:
    // Where a configuration manager finds its folders and files.
    struct Setup
    {
        QStringList dataDirCandidates; // the program data folder's candidates, in order of preference
        QString offlineArchivePath;    // the offline web resources shipped with the program
        QString desktopIniPath;        // the settings file in the program folder
        QString programVersion;        // "major.minor.patch"
    };

    // The running program's setup: the program data folder of AppPaths, the files beside the program and
    // the program's version.
    static Setup standardSetup();

    // Extracts every entry of archive into folder: the paths written, empty on any failure; *error is 0 only
    // when every entry was written (ZipUtil::extractDir).
    using ArchiveExtractor = QStringList (*)(const QString& archive, const QString& folder, int* error);

    // The zip reader lives above the application core: start-up hands it over before the first use of the
    // process-wide object, and extractZipToFolder uses it from then on. Any thread.
    static void setArchiveExtractor(ArchiveExtractor extractor);

    // The process-wide object, created with standardSetup() on first use; lives until process exit.
    static ConfigManager* instance();

    // The process-wide object, or null while it doesn't exist; never creates it.
    static ConfigManager* existingInstance();

    explicit ConfigManager(const Setup& setup);
    ~ConfigManager();

    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    QString getAppDataDir() const { return m_appDataDir; }
    QString getLogDir() const { return m_logDir; }
    QString getImageDir() const { return m_imageDir; }
    QString getIniPath() const { return m_iniPath; }
    QString getOfflineResourceDir() const { return m_offlineResourceDir; }
    QString getOfflineIndexPage() const { return m_offlineIndexPage; }
    QString getOfflineRoomPage() const { return m_offlineRoomPage; }

    // Creates the offline lesson folder when missing and returns it.
    QString getOfflineLessonDir() const;

    // The RTC engine's log file in this start's log folder.
    QString getAgoraLogPath() const;

    // The day's log file: this start's log folder, the date of the first call "/yyyy_MM_dd", "_all.log"
    // (the same path all run long). The process-wide object's file is written by the run log (app/RunLog.h).
    QString getDailyLogFile();

    // For the process-wide object: writes out the run log's pending lines and closes the file (the next line
    // opens it again). Nothing for other objects.
    void closeDailyLogFile();

    // The RTC engine's video profile for "Agora/Video_Resolution" of the program-folder settings file:
    // 30 for "360", 40 for "480", else 20.
    int getVideoResolution() const;

    // The "version" of folder's manifest.json.
    static QString getOfflineResVersion(const QString& folder);

    // False when there is no settings file or the key is absent; else value := the setting (0 when it is no
    // number).
    bool ini_GetParam_Int(const QByteArray& key, int& value) const;

    // False when there is no settings file; else value := the setting's text (unchanged when absent).
    bool ini_GetParam_String(const QByteArray& key, QByteArray& value) const;

    // Writes go to the file at once; they do nothing when there is no settings file.
    void ini_SetParam_Int(const QByteArray& key, int value);
    void ini_SetParam_String(const QByteArray& key, const QByteArray& value);
    void ini_RemoveParam(const QByteArray& key);

    // True when the settings file could be opened.
    bool hasSettings() const { return m_settings != nullptr; }

    // Unpacks the shipped archive once per program version and installs it as the offline web resources
    // when it is newer than the installed ones. Called by the constructor.
    bool installOfflineResources();

    // The text of "version" in the JSON object in path; empty when the file can't be read.
    static QString readJsonVersion(const QString& path);

    // Empties folder and extracts every entry of zip into it; true when every entry was written. False, with a
    // warning, while no archive extractor was handed over.
    static bool extractZipToFolder(const QString& zip, const QString& folder);

private:
    void createFolders();
    void openSettings();
    void syncSettings(); // with m_settingsMutex held
    bool replaceOfflineResources(const QString& packageDir);

    Setup m_setup;
    QString m_offlineResourceDir;
    QString m_offlineIndexPage;
    QString m_offlineRoomPage;
    QString m_appDataDir;
    QString m_logDir;
    QString m_imageDir;
    QString m_iniPath;
    QString m_offlineLessonDir;
    std::unique_ptr<QSettings> m_settings;
    mutable QMutex m_settingsMutex;

    QMutex m_dailyLogMutex;
    QString m_dailyLogPath;
};
