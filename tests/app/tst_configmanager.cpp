#include "app/AppPaths.h"
#include "app/ConfigManager.h"
#include "app/DirUtil.h"
#include "app/ProgramFiles.h"
#include "app/VersionTriple.h"
#include "net/zip/ZipUtil.h"

#include "LogCapture.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <unistd.h>

using ZmTest::readFile;
using ZmTest::writeFile;

namespace {

// A web bundle like the shipped one, whose home page names its version, packed into archive.
bool makeBundle(const QString& archive, const QString& version)
{
    QTemporaryDir source;
    return writeFile(source.filePath("manifest.json"), QString(R"({"version": "%1"})").arg(version).toUtf8()) &&
           writeFile(source.filePath("web/index.html"), "home " + version.toUtf8()) &&
           writeFile(source.filePath("vroom/vroom.html"), "room " + version.toUtf8()) &&
           ZipUtil::compressDir(archive, source.path(), true);
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestConfigManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_serial = 0;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A fresh data folder per call unless dataDir is given.
    ConfigManager::Setup setup(const QString& archive, const QString& programVersion, QString dataDir = QString())
    {
        if (dataDir.isEmpty())
            dataDir = path(QString("data%1").arg(++m_serial));
        ConfigManager::Setup result;
        result.dataDirCandidates = QStringList{dataDir};
        result.offlineArchivePath = archive;
        result.desktopIniPath = path("desktop/ZmQuillo_Desktop.ini");
        result.programVersion = programVersion;
        return result;
    }

    QString installedHome(const ConfigManager& config) const
    {
        return QString::fromUtf8(readFile(config.getOfflineIndexPage()));
    }

private slots:
    void initTestCase() { ConfigManager::setArchiveExtractor(&ZipUtil::extractDir); }

    void processWideObjectIsCreatedOnceAndUsesTheUserSettingsFile()
    {
        QList<ConfigManager*> seen;
        QMutex seenMutex;
        QList<QThread*> threads;
        for (int i = 0; i < 8; ++i) {
            threads << QThread::create([&] {
                ConfigManager* config = ConfigManager::instance();
                QMutexLocker locker(&seenMutex);
                seen << config;
            });
        }
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
        ConfigManager* config = ConfigManager::instance();
        QCOMPARE(seen.count(config), 8);
        QCOMPARE(ConfigManager::existingInstance(), config);

        QCOMPARE(config->getAppDataDir(), AppPaths::programDataDir());
        QCOMPARE(config->getIniPath(), AppPaths::userSettingsFilePath());
        QCOMPARE(config->getIniPath(), getUserIniPath());
        config->ini_SetParam_Int("AppInfo/OpenGL_Mode", 16);
        int mode = 15;
        QVERIFY(readSettingWithDefault("AppInfo/OpenGL_Mode", mode));
        QCOMPARE(mode, 16);
    }

    void firstStartCreatesFoldersAndInstallsTheShippedResources()
    {
        const QString shipped = ZmTest::programDir() + "/offlineRes.zip";
        QVERIFY2(QFileInfo::exists(shipped), qPrintable(shipped));
        ConfigManager config(setup(shipped, "1.5.7"));
        const QString data = config.getAppDataDir();

        QVERIFY(QRegularExpression("^" + QRegularExpression::escape(data) + R"(/logs/\d{4}-\d\d-\d\d \d\d-\d\d-\d\d$)")
                    .match(config.getLogDir())
                    .hasMatch());
        QVERIFY(QFileInfo(config.getLogDir()).isDir());
        QCOMPARE(config.getImageDir(), data + "/images");
        QVERIFY(QFileInfo(data + "/images").isDir());
        QCOMPARE(config.getOfflineLessonDir(), data + "/offline/lesson");
        QVERIFY(QFileInfo(data + "/offline/lesson").isDir());
        QCOMPARE(entriesOf(data + "/offline"), (QStringList{"1.5.7", "lesson", "resource"}));
        QCOMPARE(config.getIniPath(), data + "/viDaviro.ini");
        QCOMPARE(QFileInfo(config.getIniPath()).size(), 0);
        QCOMPARE(config.getAgoraLogPath(), config.getLogDir() + "/agorasdk.log");

        QCOMPARE(config.getOfflineResourceDir(), data + "/offline/resource");
        QCOMPARE(config.getOfflineIndexPage(), data + "/offline/resource/web/index.html");
        QCOMPARE(config.getOfflineRoomPage(), data + "/offline/resource/vroom/vroom.html");
        QVERIFY(QFileInfo::exists(config.getOfflineIndexPage()));
        QVERIFY(QFileInfo::exists(config.getOfflineRoomPage()));
        const QString shippedVersion =
            ConfigManager::readJsonVersion(ZmTest::sourceDir() + "/web/offline/manifest.json");
        QVERIFY(!shippedVersion.isEmpty());
        QCOMPARE(ConfigManager::getOfflineResVersion(config.getOfflineResourceDir()), shippedVersion);
    }

    void sameVersionIsNeitherUnpackedNorCopiedAgain()
    {
        QVERIFY(makeBundle(path("same.zip"), "2.0.0"));
        const QString data = path("same");
        {
            ConfigManager first(setup(path("same.zip"), "2.0.0", data));
            QCOMPARE(installedHome(first), QString("home 2.0.0"));
        }
        QVERIFY(writeFile(data + "/offline/2.0.0/marker", "unpacked once"));
        QVERIFY(writeFile(data + "/offline/resource/web/index.html", "edited"));

        ConfigManager second(setup(path("same.zip"), "2.0.0", data));
        QVERIFY(second.installOfflineResources());
        QVERIFY(QFileInfo::exists(data + "/offline/2.0.0/marker"));
        QCOMPARE(installedHome(second), QString("edited"));
    }

    void resourcesAreReplacedOnlyByAStrictlyNewerPackage_data()
    {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("package");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("newer patch") << "1.5.7"
                                     << "1.5.8" << true;
        QTest::newRow("newer minor") << "1.5.7"
                                     << "1.6.0" << true;
        QTest::newRow("newer major") << "1.9.9"
                                     << "2.0.0" << true;
        QTest::newRow("numbers, not text") << "1.9.0"
                                           << "1.10.0" << true;
        QTest::newRow("equal") << "1.5.7"
                               << "1.5.7" << false;
        QTest::newRow("older patch") << "1.5.8"
                                     << "1.5.7" << false;
        QTest::newRow("older minor, higher patch") << "1.6.0"
                                                   << "1.5.9" << false;
        QTest::newRow("older major, higher minor") << "2.0.0"
                                                   << "1.9.0" << false;
    }

    void resourcesAreReplacedOnlyByAStrictlyNewerPackage()
    {
        QFETCH(QString, installed);
        QFETCH(QString, package);
        QFETCH(bool, replaced);
        const QString tag = QTest::currentDataTag();
        QVERIFY(makeBundle(path(tag + "-old.zip"), installed));
        QVERIFY(makeBundle(path(tag + "-new.zip"), package));
        const QString data = path("upgrade-" + tag);
        {
            ConfigManager first(setup(path(tag + "-old.zip"), "1.0.0", data));
            QCOMPARE(installedHome(first), "home " + installed);
        }
        ConfigManager second(setup(path(tag + "-new.zip"), "1.0.1", data));
        QCOMPARE(installedHome(second), "home " + (replaced ? package : installed));
        QCOMPARE(entriesOf(data + "/offline"), (QStringList{"1.0.0", "1.0.1", "lesson", "resource"}));
    }

    void brokenPackageLeavesTheInstalledResources_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("not a zip") << "text";
        QTest::newRow("zip slip") << "slip";
        QTest::newRow("no manifest") << "noManifest";
    }

    void brokenPackageLeavesTheInstalledResources()
    {
        QFETCH(QString, kind);
        const QString data = path("broken-" + kind);
        QVERIFY(makeBundle(path("broken-good.zip"), "1.0.0"));
        {
            ConfigManager first(setup(path("broken-good.zip"), "1.0.0", data));
            QCOMPARE(installedHome(first), QString("home 1.0.0"));
        }

        const QString archive = path("broken-" + kind + ".zip");
        if (kind == "text") {
            QVERIFY(writeFile(archive, "not a zip"));
        } else if (kind == "slip") {
            QTemporaryDir source;
            QVERIFY(writeFile(source.filePath("manifest.json"), R"({"version": "9.0.0"})"));
            QVERIFY(ZipUtil::compressDir(archive, source.path(), true));
            QuaZip zip(archive);
            QVERIFY(zip.open(QuaZip::mdAdd));
            QuaZipFile evil(&zip);
            QVERIFY(evil.open(QIODevice::WriteOnly, QuaZipNewInfo("../../evil.txt")));
            evil.write("evil");
            evil.close();
            zip.close();
        } else if (kind == "noManifest") {
            QTemporaryDir source;
            QVERIFY(writeFile(source.filePath("web/index.html"), "no manifest"));
            QVERIFY(ZipUtil::compressDir(archive, source.path(), true));
        }

        {
            ConfigManager second(setup(archive, "1.0.1", data));
            QCOMPARE(installedHome(second), QString("home 1.0.0"));
            QVERIFY(!QFileInfo::exists(path("evil.txt")));
            QVERIFY(!QFileInfo::exists(data + "/evil.txt"));
            QVERIFY(!QFileInfo::exists(data + "/offline/1.0.1.part"));
            QVERIFY(!QFileInfo::exists(data + "/offline/resource.part"));
        }

        // The next start tries again.
        QVERIFY(makeBundle(archive, "1.1.0"));
        ConfigManager third(setup(archive, "1.0.1", data));
        QCOMPARE(installedHome(third), QString("home 1.1.0"));
    }

    void interruptedUnpackingIsDoneAgain()
    {
        QVERIFY(makeBundle(path("interrupted.zip"), "3.0.0"));
        const QString data = path("interrupted");
        QVERIFY(writeFile(data + "/offline/3.0.0.part/manifest.json", R"({"version": "3.0.0"})"));
        ConfigManager config(setup(path("interrupted.zip"), "3.0.0", data));
        QCOMPARE(installedHome(config), QString("home 3.0.0"));
        QVERIFY(!QFileInfo::exists(data + "/offline/3.0.0.part"));
    }

    void typedSettings()
    {
        ConfigManager config(setup(path("none.zip"), "1.0.0"));
        QVERIFY(config.hasSettings());

        int number = 7;
        QVERIFY(!config.ini_GetParam_Int("AppInfo/Absent", number));
        QCOMPARE(number, 7);
        QByteArray text = "kept";
        QVERIFY(config.ini_GetParam_String("AppInfo/Absent", text));
        QCOMPARE(text, QByteArray("kept"));

        config.ini_SetParam_String("AppInfo/Word", "abc");
        QVERIFY(config.ini_GetParam_Int("AppInfo/Word", number));
        QCOMPARE(number, 0);

        config.ini_SetParam_Int("AppInfo/ClearCache", 1);
        QVERIFY(config.ini_GetParam_Int("AppInfo/ClearCache", number));
        QCOMPARE(number, 1);

        const QByteArray utf8 = QString::fromUtf8("你好, Grüße = 1").toUtf8();
        config.ini_SetParam_String("User/Name", utf8);
        QVERIFY(config.ini_GetParam_String("User/Name", text));
        QCOMPARE(text, utf8);

        // Written through to the file.
        QSettings file(config.getIniPath(), QSettings::IniFormat);
        file.setIniCodec("UTF-8");
        QCOMPARE(file.value("AppInfo/ClearCache").toInt(), 1);

        config.ini_RemoveParam("AppInfo/ClearCache");
        QVERIFY(!config.ini_GetParam_Int("AppInfo/ClearCache", number));
    }

    void settingsFileWithInvalidUtf8()
    {
        const QString data = path("badutf8");
        QVERIFY(writeFile(data + "/viDaviro.ini", "[AppInfo]\nName=ab\xff\xfe\xc3(cd\nCount=5\n[Agora]\nKey=ok\n"));
        ConfigManager config(setup(path("none.zip"), "1.0.0", data));
        int count = 0;
        QVERIFY(config.ini_GetParam_Int("AppInfo/Count", count));
        QCOMPARE(count, 5);
        QByteArray name;
        QVERIFY(config.ini_GetParam_String("AppInfo/Name", name));
        QVERIFY(name.startsWith("ab"));
        QVERIFY(name.endsWith("cd"));

        config.ini_SetParam_Int("AppInfo/Other", 2);
        ConfigManager again(setup(path("none.zip"), "1.0.0", data));
        QVERIFY(again.ini_GetParam_Int("AppInfo/Count", count));
        QCOMPARE(count, 5);
        QByteArray key;
        QVERIFY(again.ini_GetParam_String("Agora/Key", key));
        QCOMPARE(key, QByteArray("ok"));
    }

    // A user settings file that cannot be read is warned about; the program goes on with what it could read.
    void unreadableSettingsFileIsWarnedAbout()
    {
        const QString data = path("unreadable");
        QVERIFY(writeFile(data + "/viDaviro.ini", QByteArray("\xff\xfe\0[AppInfo]\nCount=5\n", 21)));
        ZmTest::LogCapture log;
        ConfigManager config(setup(path("none.zip"), "1.0.0", data));
        QCOMPARE(log.linesContaining("ConfigManager::ConfigManager the settings file " + data +
                                     "/viDaviro.ini cannot be read in full: it is not a valid ini file")
                     .size(),
                 1);
        QVERIFY(config.hasSettings());
    }

    void videoResolution_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("profile");
        QTest::newRow("360") << QByteArray("[Agora]\nVideo_Resolution=360\n") << 30;
        QTest::newRow("480") << QByteArray("[Agora]\nVideo_Resolution=480\n") << 40;
        QTest::newRow("720") << QByteArray("[Agora]\nVideo_Resolution=720\n") << 20;
        QTest::newRow("absent") << QByteArray("[Agora]\n") << 20;
    }

    void videoResolution()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, profile);
        // A file of its own per row: QSettings caches a file by path, size and modification time, and two rows
        // written within one second with the same size would read the first row's values.
        ConfigManager::Setup rowSetup = setup(path("none.zip"), "1.0.0");
        rowSetup.desktopIniPath = path(QString("desktop-%1/ZmQuillo_Desktop.ini").arg(QTest::currentDataTag()));
        ConfigManager config(rowSetup);
        QVERIFY(writeFile(rowSetup.desktopIniPath, file));
        QCOMPARE(config.getVideoResolution(), profile);
    }

    void noUsableDataFolder()
    {
        // A plain file where the folders should be: nothing can be created below it.
        QVERIFY(writeFile(path("blocker"), "x"));
        ConfigManager::Setup blocked = setup(path("none.zip"), "1.0.0", path("blocker/first"));
        blocked.dataDirCandidates << path("blocker/second");
        ConfigManager config(blocked);
        QCOMPARE(config.getAppDataDir(), QString());
        QCOMPARE(config.getLogDir(), QString());
        QVERIFY(!config.hasSettings());
        int value = 3;
        QVERIFY(!config.ini_GetParam_Int("AppInfo/X", value));
        QByteArray text;
        QVERIFY(!config.ini_GetParam_String("AppInfo/X", text));
        config.ini_SetParam_Int("AppInfo/X", 1);
        QVERIFY(!config.installOfflineResources());
        QCOMPARE(config.getDailyLogFile(), QString());
        QCOMPARE(config.getOfflineLessonDir(), QString());

        // The next candidate is taken when the first can't be used.
        blocked.dataDirCandidates << path("fallback");
        ConfigManager fallback(blocked);
        QCOMPARE(fallback.getAppDataDir(), path("fallback"));
        QVERIFY(fallback.hasSettings());
    }

    void unwritableFoldersInsideTheDataFolder()
    {
        const QString data = path("unwritable");
        QVERIFY(writeFile(data + "/logs", "a file where the log folders go"));
        QVERIFY(writeFile(data + "/images", "a file where the images go"));
        QVERIFY(QDir().mkpath(data + "/viDaviro.ini"));
        QVERIFY(makeBundle(path("unwritable.zip"), "1.0.0"));
        ConfigManager config(setup(path("unwritable.zip"), "1.0.0", data));
        QCOMPARE(config.getLogDir(), data);
        QCOMPARE(config.getImageDir(), data);
        QVERIFY(!config.hasSettings());
        int value = 0;
        QVERIFY(!config.ini_GetParam_Int("AppInfo/X", value));
        QVERIFY(!QFileInfo::exists(data + "/offline/1.0.0"));
    }

    void readOnlyDataFolder()
    {
        if (geteuid() == 0)
            QSKIP("permissions don't bind root");
        const QString data = path("readonly");
        QVERIFY(QDir().mkpath(data));
        QVERIFY(QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner));
        ConfigManager config(setup(path("none.zip"), "1.0.0", data));
        QCOMPARE(config.getLogDir(), data);
        QVERIFY(config.getDailyLogFile().startsWith(data + '/'));
        QVERIFY(!config.hasSettings());
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void dailyLogFileKeepsItsPath()
    {
        ConfigManager config(setup(path("none.zip"), "1.0.0"));
        const QString expected = config.getLogDir() + QDate::currentDate().toString("/yyyy_MM_dd") + "_all.log";
        QCOMPARE(config.getDailyLogFile(), expected);
        QVERIFY(removeDirRecursively(config.getLogDir()));
        QCOMPARE(config.getDailyLogFile(), expected);
    }

    void extractZipToFolderEmptiesTheFolderFirst()
    {
        QVERIFY(makeBundle(path("fresh.zip"), "1.2.3"));
        QVERIFY(writeFile(path("fresh/stale.txt"), "old"));
        QVERIFY(ConfigManager::extractZipToFolder(path("fresh.zip"), path("fresh")));
        QCOMPARE(entriesOf(path("fresh")), (QStringList{"manifest.json", "vroom", "web"}));
        QVERIFY(!ConfigManager::extractZipToFolder(path("missing.zip"), path("fresh")));
    }

    void versionTriples_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("plain") << "1.5.7" << QList<int>{1, 5, 7};
        QTest::newRow("four parts") << "10.20.30.40" << QList<int>{10, 20, 30};
        QTest::newRow("two parts") << "1.5" << QList<int>{0, 0, 0};
        QTest::newRow("empty") << "" << QList<int>{0, 0, 0};
        QTest::newRow("stops at a word") << "2.x.7" << QList<int>{2, 0, 0};
        QTest::newRow("word first") << "v1.2.3" << QList<int>{0, 0, 0};
        QTest::newRow("overflow") << "1.99999999999.3" << QList<int>{1, 0, 0};
    }

    void versionTriples()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, numbers);
        const VersionTriple version = parseVersionTriple(text);
        QCOMPARE((QList<int>{version.majorVersion, version.minorVersion, version.patchVersion}), numbers);
    }

    void manifestVersions_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("version");
        QTest::newRow("text") << QByteArray(R"({"version": "1.2.3"})") << "1.2.3";
        QTest::newRow("number") << QByteArray(R"({"version": 1.2})") << "";
        QTest::newRow("absent") << QByteArray(R"({"name": "x"})") << "";
        QTest::newRow("array") << QByteArray(R"(["1.2.3"])") << "";
        QTest::newRow("broken") << QByteArray(R"({"version": "1.2.3")") << "";
    }

    void manifestVersions()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, version);
        QVERIFY(writeFile(path("manifest.json"), json));
        QCOMPARE(ConfigManager::readJsonVersion(path("manifest.json")), version);
        QCOMPARE(ConfigManager::readJsonVersion(path("absent/manifest.json")), QString());
    }
};

ZM_TEST_MAIN_CORE(TestConfigManager)
#include "tst_configmanager.moc"
