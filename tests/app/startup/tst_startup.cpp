// The program's start-up end to end: the real ZmQuillo_Desktop started against the class service simulator, each
// run with a home of its own, watched through its log files and standard error.
#include "app/ExitStatus.h"

#include "ClosedPort.h"
#include "ProgramRun.h"
#include "SecretScan.h"
#include "Simulator.h"
#include "TestFiles.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include "shared/ShareNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <memory>

namespace {

using ZmTest::ProgramRun;

constexpr int kStartTimeoutMs = ProgramRun::kWaitMs;

QString tokenOf(const QJsonObject& entry)
{
    for (const auto& pair : ZmTest::Simulator::pairsOf(entry.value("params")))
        if (pair.first == QLatin1String("token"))
            return pair.second;
    return QString();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_simulator;
    std::unique_ptr<QTemporaryDir> m_runtime;

    // The simulator's addresses and a start with no lesson.
    QStringList serviceArguments() const { return ProgramRun::serviceArguments(m_simulator); }

    void programVerdicts(int appStatus, int webStatus)
    {
        QJsonObject verdicts{{"app_status", appStatus},
                             {"version", "9.0.0"},
                             {"app_url", "{{base}}/updates/get/missing.zip"},
                             {"web_status", webStatus},
                             {"web_version", "20240605"},
                             {"web_md5", "9e107d9d372bb6826bd81d3542a419d6"},
                             {"web_url", "{{base}}/updates/get/missing-web.zip"}};
        int status = 0;
        m_simulator.control("POST", "/_control/updates/public_resources",
                            QJsonDocument(verdicts).toJson(QJsonDocument::Compact), &status);
        QCOMPARE(status, 200);
    }

    // The main window has replaced the splash and shows the home page.
    static constexpr char kMainWindowShown[] = "ZmRouteManager::showByStatus 1 (main window) is current";

    static QString routerLine(int status, const char* window)
    {
        return QString("ZmRouteManager::showByStatus status %1: the %2 is not available").arg(status).arg(window);
    }

private slots:
    void initTestCase()
    {
        // The programs start with SIGINT as from a terminal: a test runner that starts tests in the background
        // leaves it ignored, and a program leaves ignored signals alone.
        std::signal(SIGINT, SIG_DFL);
        QVERIFY2(QFileInfo(ProgramRun::programPath()).isExecutable(), qPrintable(ProgramRun::programPath()));
        QVERIFY2(m_simulator.start(), qPrintable(m_simulator.errorString()));
    }

    void init()
    {
        QVERIFY(m_simulator.reset());
        programVerdicts(1, 1); // no update: the start goes on to the router
        m_runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A pupil's lesson start: the token is exchanged with the class service before any window, the browser's
    // cache path is set, the start status reaches the router, and the normal class room replaces the splash.
    void startsAgainstTheSimulator()
    {
        ProgramRun run(m_runtime->path());
        QVERIFY(run.start(serviceArguments() + QStringList{"--uid=100234", "--token=\"pupil-token=\"",
                                                           "--apptype=joinclass --accounttype=1 --teachtype=1",
                                                           "--lessonid=880213", "--periodid=20240611093",
                                                           "--lessonname=Unit%203/"}));
        QVERIFY(run.waitForLog("ZmRouteManager::showByStatus 2 (normal class room) is current"));

        const QJsonArray exchanges = m_simulator.requests("/account/exchange/token/");
        QCOMPARE(exchanges.size(), 1);
        const QJsonObject exchange = exchanges.at(0).toObject();
        QCOMPARE(tokenOf(exchange), QString("pupil-token="));
        QVERIFY(exchange.value("sign_ok").toBool());
        const auto pairs = ZmTest::Simulator::pairsOf(exchange.value("params"));
        QVERIFY(pairs.contains(qMakePair(QString("userId"), QString("100234"))));
        QVERIFY(pairs.contains(qMakePair(QString("realPlatform"), QString("6"))));
        QCOMPARE(m_simulator.requests("/configs/public/resources").size(), 1);

        const QString log = run.log();
        QVERIFY(log.contains("ExchangeToken_RESTful result 0"));
        QVERIFY(log.contains("createSplashWindow shown " + ZmTest::programDir() + "/images/splash_en.bmp"));
        QVERIFY(log.indexOf("createSplashWindow shown") < log.indexOf("closeSplashWindow closed"));
        QVERIFY(log.contains("QT Cache path = " + run.dataDir() + "/QtWebEngine/default"));
        QVERIFY(log.contains("ZmApplication::postStartStatus 2"));
        QVERIFY(log.contains("--lessonname=Unit 3"));
        QVERIFY2(!log.contains("pupil-token"), "the token must not reach the logs");
        // The browser switches follow the options, in their order.
        const int security = log.indexOf("--disable-web-security");
        const int multisample = log.indexOf("--disable_chromium_framebuffer_multisample");
        const int blacklist = log.indexOf("--ignore-gpu-blacklist");
        QVERIFY(security > 0 && security < multisample && multisample < blacklist);
        // Then the video plug-in's registration, its launcher prefix and the switch that lets it start.
        const int plugin = log.indexOf("--register-pepper-plugins=" + ZmTest::programDir() +
                                       "/libZmVideoPlugin.so;application/x-zm-video");
        const int launcher = log.indexOf("--ppapi-plugin-launcher=/usr/bin/env");
        const int seccomp = log.indexOf("--disable-seccomp-filter-sandbox");
        QVERIFY2(blacklist < plugin && plugin < launcher && launcher < seccomp, qPrintable(log.left(4000)));
        QCOMPARE(run.process().state(), QProcess::Running);
    }

    // Nothing a lesson leaves behind holds a secret, not even when it crashes: neither its standard error nor its
    // log folder (run log, log-information documents, dump) nor the crash archive it uploads holds the page signing
    // secret, the launch or exchanged token, the channel key or the object-storage credentials.
    void noSecretLeftBehind()
    {
        ProgramRun run(m_runtime->path());
        // The sanitizers' own handlers would take the crash from the program's.
        run.setEnv("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") +
                                       ":handle_segv=0:handle_sigbus=0:handle_sigill=0:handle_sigfpe=0"
                                       ":handle_abort=0:allow_user_segv_handler=1");
        QVERIFY(run.start(serviceArguments() + QStringList{"--uid=100234", "--token=pupil-launch-token-7f3e",
                                                           "--apptype=joinclass --accounttype=1 --teachtype=1",
                                                           "--lessonid=880213", "--periodid=20240611093"}));
        QVERIFY(run.waitForLog("runTasks_awaitEnd: result 0 left (1024)"));
        QVERIFY(run.waitForLog("join_channel name("));
        ::kill(pid_t(run.process().processId()), SIGSEGV);
        QCOMPARE(run.waitForExit(), -1001);
        QTRY_VERIFY_WITH_TIMEOUT(!m_simulator.ossObjects().isEmpty(), kStartTimeoutMs);

        const QStringList texts =
            QStringList{"standard error and run logs: " + run.log(), "standard output: " + run.standardOutput()} +
            ZmTest::filesUnder(run.dataDir() + "/logs") + ZmTest::uploadedArchiveFiles(m_simulator);
        QCOMPARE(texts.filter("ZmQuillo.dmp: ").size(), 2); // in the log folder and in the archive

        const auto fixture = [](const QString& name) {
            return QJsonDocument::fromJson(
                       ZmTest::readFile(ZmTest::sourceDir() + "/tests/sim/fixtures/restful/" + name))
                .object()
                .value("data");
        };
        const QString exchanged = fixture("exchange_token.json").toString();
        const QString channelKey = fixture("lesson.json").toObject().value("channelKey").toString();
        const QString found = ZmTest::firstSecretIn(
            texts, {ZmTest::kPageSigningSecret, "pupil-launch-token-7f3e", exchanged, channelKey,
                    ZmTest::Simulator::ossAccessKeySecret(), ZmTest::Simulator::ossSecurityToken()});
        QVERIFY2(found.isEmpty(), qPrintable(found));
    }

    // A start without a lesson: the main window replaces the splash and shows the home page of the installed offline
    // resources with the web mode, the language and the version; the page connects to the program.
    void homeStart()
    {
        ProgramRun run(m_runtime->path());
        QVERIFY(run.start(serviceArguments() + QStringList{"--web_mode=staging"}));
        QVERIFY(run.waitForLog(kMainWindowShown));
        QVERIFY(run.waitForLog("ZmMainWebRoom pageloaded {\"result\":\"true\"}"));
        QVERIFY(run.waitForLog("ZmMainWebRoom initfilepage {\"result\":\"true\"}"));
        const QString log = run.log();
        const QString home = QUrl::fromLocalFile(run.dataDir() + "/offline/resource/web/index.html").toString();
        QVERIFY2(log.contains("ZmMainRoomDlg::loadHomePage " + home + "?mode=staging&language=en&v=1.5.7"),
                 qPrintable(log.right(3000)));
        QVERIFY(log.indexOf("createSplashWindow shown") < log.indexOf("closeSplashWindow closed"));
        QCOMPARE(run.process().state(), QProcess::Running);
    }

    void errorParams_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("no account type") << QStringList{"--apptype=joinclass", "--teachtype=1"}
                                         << "showInformationBox \"Error Params\": --accounttype = ";
        QTest::newRow("no class kind") << QStringList{"--apptype=playback --accounttype=1 --teachtype=5"}
                                       << "showInformationBox \"Error Params\": --uitype = ";
    }

    // A lesson start without its parameters shows "Error Params" and ends with its own status before any window.
    // A mistyped option is named in the log, the program's own browser switches are not.
    void errorParams()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        ProgramRun run(m_runtime->path());
        QVERIFY(run.start(serviceArguments() + arguments + QStringList{"--teach_type=1"}));
        QCOMPARE(run.waitForExit(), int(ExitStatus_BadParameters));
        const QString log = run.log();
        QVERIFY2(log.contains(text), qPrintable(log.right(3000)));
        QCOMPARE(log.count("runApplication the program reads no option"), 1);
        QVERIFY(log.contains("runApplication the program reads no option --teach_type"));
        QVERIFY(!log.contains("ZmApplication::postStartStatus"));
        QVERIFY(m_simulator.requests("/configs/public/resources").isEmpty());
    }

    void openGlMode_data()
    {
        QTest::addColumn<QVariant>("mode");
        QTest::addColumn<bool>("gpuSwitches");
        QTest::newRow("unset") << QVariant() << true;
        QTest::newRow("desktop OpenGL") << QVariant(15) << true;
        QTest::newRow("OpenGL ES") << QVariant(16) << false;
        QTest::newRow("not an OpenGL mode") << QVariant(3) << true;
    }

    // "AppInfo/OpenGL_Mode" comes from the user settings file that the configuration manager writes.
    void openGlMode()
    {
        QFETCH(QVariant, mode);
        QFETCH(bool, gpuSwitches);
        ProgramRun run(m_runtime->path());
        if (mode.isValid())
            run.writeUserSetting("AppInfo/OpenGL_Mode", mode);
        QVERIFY(run.start(serviceArguments() + QStringList{"--apptype=joinclass"}));
        QCOMPARE(run.waitForExit(), int(ExitStatus_BadParameters));
        const QString log = run.log();
        QVERIFY(log.contains("--disable-web-security"));
        QCOMPARE(log.contains("--disable_chromium_framebuffer_multisample"), gpuSwitches);
        QCOMPARE(log.contains("--ignore-gpu-blacklist"), gpuSwitches);
    }

    // A Chinese user interface gets the Chinese splash picture.
    void chineseSplash()
    {
        ProgramRun run(m_runtime->path());
        run.setEnv("LANG", "zh_CN.UTF-8");
        QVERIFY(run.start(serviceArguments() + QStringList{"--apptype=joinclass"}));
        QCOMPARE(run.waitForExit(), int(ExitStatus_BadParameters));
        QVERIFY(run.log().contains("createSplashWindow shown " + ZmTest::programDir() + "/images/splash_cn.bmp"));
    }

    // A second start is refused with "This program is running already.", ends with its own status and leaves the
    // first one alone.
    void secondInstanceRefused()
    {
        ProgramRun first(m_runtime->path());
        QVERIFY(first.start(serviceArguments()));
        QVERIFY(first.waitForLog(kMainWindowShown));

        ProgramRun second(m_runtime->path());
        QVERIFY(second.start(serviceArguments() + QStringList{"--uid=7", "--token=t"}));
        QCOMPARE(second.waitForExit(), int(ExitStatus_RunningAlready));
        QVERIFY(second.log().contains("showInformationBox \"Information\": This program is running already."));
        QVERIFY(!second.log().contains("ZmApplication::postStartStatus"));
        QCOMPARE(first.process().state(), QProcess::Running);
        QVERIFY(!first.log().contains("URLInComing"));
    }

    // A copy started by a restart waits for the copy that started it instead of refusing to run, and starts
    // once that one has ended.
    void restartedCopyWaitsForTheRunningOne()
    {
        ProgramRun first(m_runtime->path());
        QVERIFY(first.start(serviceArguments()));
        QVERIFY(first.waitForLog(kMainWindowShown));

        ProgramRun second(m_runtime->path());
        QVERIFY(second.start(serviceArguments() + QStringList{"--zm-restarted"}));
        QVERIFY(second.waitForLog("acquireInstanceLock waits up to 10000 ms for the running copy to end"));
        QCOMPARE(second.process().state(), QProcess::Running);
        first.kill();

        QVERIFY(second.waitForLog(kMainWindowShown));
        const QString log = second.log();
        QVERIFY(log.contains("acquireInstanceLock the running copy ended after"));
        QVERIFY(!log.contains("This program is running already."));
    }

    // A copy that was killed outright leaves no lock behind.
    void killedCopyDoesNotLockOut()
    {
        ProgramRun first(m_runtime->path());
        QVERIFY(first.start(serviceArguments()));
        QVERIFY(first.waitForLog(kMainWindowShown));
        first.kill();

        ProgramRun second(m_runtime->path());
        QVERIFY(second.start(serviceArguments()));
        QVERIFY(second.waitForLog(kMainWindowShown));
        QVERIFY(!second.log().contains("This program is running already."));
    }

    // A second start with a link hands it to the running copy, which routes it like a command line; the second
    // start ends quietly without spending the link's token.
    void linkForwardedToTheRunningCopy()
    {
        ProgramRun first(m_runtime->path());
        QVERIFY(first.start(serviceArguments()));
        QVERIFY(first.waitForLog(kMainWindowShown));
        QVERIFY(m_simulator.clearRequests());

        ProgramRun second(m_runtime->path());
        const QString restful = QString::fromLatin1(QUrl::toPercentEncoding(m_simulator.baseUrl()));
        QVERIFY(second.start({"zmquillo://join?--urlrestful%3D" + restful +
                              "%20--uid%3D100871%20--token%3Dlink-token%3D%20--apptype%3Djoinclass"
                              "%20--teachtype%3D3%20--accounttype%3D1%20--lessonname%3DUnit%25203/"}));
        QCOMPARE(second.waitForExit(), 0);
        QVERIFY(second.log().contains("the link went to the running copy"));
        QVERIFY(!second.log().contains("showInformationBox"));

        QVERIFY(first.waitForLog("ZmRouteManager::showByStatus 3 (public class room) is current"));
        const QString log = first.log();
        QVERIFY(log.contains("ZmApplication::URLInComing!"));
        QVERIFY(log.contains("--lessonname=Unit 3"));
        const QJsonArray exchanges = m_simulator.requests("/account/exchange/token/");
        QCOMPARE(exchanges.size(), 1); // by the running copy only
        QCOMPARE(tokenOf(exchanges.at(0).toObject()), QString("link-token="));
        QCOMPARE(first.process().state(), QProcess::Running);
    }

    // The link a start is given cannot move the service the command line configured: the token goes to the
    // simulator, the link's RESTful address of another port is left out with a warning.
    void linkAtStartCannotMoveTheService()
    {
        ProgramRun run(m_runtime->path());
        const QString elsewhere = QString("http://127.0.0.1:%1").arg(ZmTest::closedPort());
        QVERIFY(run.start(serviceArguments() + QStringList{"zmquillo://join?--urlrestful%3D" +
                                                           QString::fromLatin1(QUrl::toPercentEncoding(elsewhere)) +
                                                           "%20--uid%3D100871%20--token%3Dlink-token"}));
        QVERIFY(run.waitForLog(kMainWindowShown));
        const QJsonArray exchanges = m_simulator.requests("/account/exchange/token/");
        QCOMPARE(exchanges.size(), 1);
        QCOMPARE(tokenOf(exchanges.at(0).toObject()), QString("link-token"));
        QVERIFY(run.log().contains("ignores --urlrestful from a link: its origin " + elsewhere));
    }

    // A link's options are the program's alone: a browser-engine switch in a link would start a program of the
    // page's choosing with every page process. The same switch outside the link (a later one wins) shows which
    // of the two the engine took once the home page's process has started.
    void linkSwitchesNeverReachTheBrowserEngine()
    {
        QTemporaryDir scripts;
        QVERIFY(scripts.isValid());
        const auto writeLauncher = [&scripts](const QString& name) {
            const QString path = scripts.filePath(name + ".sh");
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return QString();
            file.write("#!/bin/sh\n: > \"$0.started\"\nexec \"$@\"\n");
            file.close();
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
            return path;
        };
        const QString trusted = writeLauncher("trusted");
        const QString fromLink = writeLauncher("link");
        QVERIFY(!trusted.isEmpty() && !fromLink.isEmpty());

        ProgramRun run(m_runtime->path());
        // The engine reads no switch of the program's arguments while this is set.
        run.unsetEnv("QTWEBENGINE_CHROMIUM_FLAGS");
        QVERIFY(
            run.start(serviceArguments() + QStringList{"--renderer-cmd-prefix=" + trusted,
                                                       "zmquillo://join?--renderer-cmd-prefix%3D" +
                                                           QString::fromLatin1(QUrl::toPercentEncoding(fromLink))}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(trusted + ".started") || QFile::exists(fromLink + ".started"),
                                 kStartTimeoutMs);
        QVERIFY(QFile::exists(trusted + ".started"));
        QVERIFY(!QFile::exists(fromLink + ".started"));
    }

    // "AppInfo/ClearCache" empties the browser's cache folder (the one the web profile uses) and the offline
    // lessons once, then goes back to 0.
    void clearCacheHonouredOnce()
    {
        ProgramRun run(m_runtime->path());
        const QString cacheMarker = run.dataDir() + "/QtWebEngine/default/Cache/marker";
        const QString lessonMarker = run.dataDir() + "/offline/lesson/880213/vroom.html";
        QVERIFY(ZmTest::writeFile(cacheMarker, "x"));
        QVERIFY(ZmTest::writeFile(lessonMarker, "x"));
        run.writeUserSetting("AppInfo/ClearCache", 1);
        QVERIFY(run.start(serviceArguments()));
        QVERIFY(run.waitForLog(kMainWindowShown));
        QVERIFY(!QFile::exists(cacheMarker));
        QVERIFY(!QFile::exists(lessonMarker));
        QCOMPARE(run.readUserSetting("AppInfo/ClearCache").toInt(), 0);
        QVERIFY(run.log().contains("AppInfo/ClearCache: deleting " + run.dataDir() + "/QtWebEngine/default"));
        run.kill();

        QVERIFY(ZmTest::writeFile(cacheMarker, "x"));
        QVERIFY(ZmTest::writeFile(lessonMarker, "x"));
        ProgramRun again(m_runtime->path(), run.home());
        QVERIFY(again.start(serviceArguments()));
        QVERIFY(again.waitForLog(kMainWindowShown, 2));
        QVERIFY(QFile::exists(cacheMarker));
        QVERIFY(QFile::exists(lessonMarker));
        QCOMPARE(again.log().count("AppInfo/ClearCache: deleting"), 1);
    }

    // The install rules put the program with its pictures and web resources in one folder, and a desktop entry
    // makes it the handler of the program's links; the installed program finds its files.
    void installRules()
    {
        QTemporaryDir prefix;
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start("cmake", {"--install", ZmTest::buildDir(), "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());

        const QString programDir = prefix.path() + "/lib/zmquillo";
        const QString program = programDir + "/ZmQuillo_Desktop";
        QVERIFY(QFileInfo(program).isExecutable());
        QVERIFY(QFile::exists(programDir + "/offlineRes.zip"));
        QVERIFY(QFile::exists(programDir + "/images/splash_en.bmp"));
        QVERIFY(QFile::exists(programDir + "/images/splash_cn.bmp"));

        QFile entry(prefix.path() + "/share/applications/zmquillo.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
        QCOMPARE(lines.value(0), QString("[Desktop Entry]"));
        QVERIFY(lines.contains("Type=Application"));
        QVERIFY(lines.contains("MimeType=x-scheme-handler/zmquillo;"));
        QVERIFY(lines.contains("Exec=\"" + program + "\" %u"));

        QProcess installed;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QTemporaryDir home;
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.insert("XDG_DATA_HOME", home.path() + "/.local/share");
        env.insert("XDG_RUNTIME_DIR", m_runtime->path());
        env.insert("ZM_MESSAGE_BOX_AUTOCLOSE_MS", "100");
        env.insert("LANG", "C.UTF-8");
        env.remove("LC_ALL");
        env.remove("LC_MESSAGES");
        if (env.value("DISPLAY").isEmpty())
            env.insert("QT_QPA_PLATFORM", "offscreen");
        installed.setProcessEnvironment(env);
        installed.start(program, serviceArguments() + QStringList{"--apptype=joinclass"});
        QVERIFY(installed.waitForFinished(kStartTimeoutMs));
        QCOMPARE(installed.exitCode(), int(ExitStatus_BadParameters));
        QVERIFY(QString::fromUtf8(installed.readAllStandardError())
                    .contains("createSplashWindow shown " + programDir + "/images/splash_en.bmp"));
    }

    void signalEndsTheClass_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    // A small class with videos in the page, ended by a signal: the room closes without the log upload, no
    // section is left, the log holds the end, and the program exits with 128 + the signal.
    void signalEndsTheClass()
    {
        QFETCH(int, signalNumber);
        const QByteArray package = ZmTest::zipBytes({{QStringLiteral("lesson.json"), QByteArray("{\"pages\":12}")}});
        QVERIFY(ZmTest::offerLessonPackage(m_simulator, QStringLiteral("880213"), package));

        const QString sections = QString::fromStdString(shareObjectPrefix()) + QStringLiteral("RiREZadUruvoDur_*");
        const auto sectionFiles = [&sections] {
            return QDir("/dev/shm").entryList({sections}, QDir::System | QDir::Files);
        };
        // None left by an earlier run that was killed.
        removeStaleShareObjects();
        QVERIFY2(sectionFiles().isEmpty(), qPrintable(sectionFiles().join(' ')));

        ProgramRun run(m_runtime->path());
        QVERIFY(run.start(
            serviceArguments() +
            QStringList{"--uid=100234", "--token=pupil-token", "--accounttype=1", "--apptype=joinclass",
                        "--teachtype=2", "--classtype=2", "--lessonid=880213", "--periodid=20240611093",
                        "--rtc_devices=simulated",
                        "--rtc_scenario=" + ZmTest::sourceDir() + "/tests/sim/scenarios/rtc/small_class.json"}));
        QVERIFY2(QTest::qWaitFor([&] { return sectionFiles().size() >= 2 || !run.isRunning(); }, kStartTimeoutMs),
                 qPrintable(run.log().right(4000)));
        QVERIFY2(run.isRunning(), qPrintable(run.log().right(4000)));

        ::kill(run.process().processId(), signalNumber);
        QCOMPARE(run.waitForExit(), 128 + signalNumber);
        QVERIFY2(sectionFiles().isEmpty(), qPrintable(sectionFiles().join(' ')));
        const QString log = run.fileLog();
        const int signalLine = log.indexOf(QStringLiteral("ExitOnSignal signal %1 ").arg(signalNumber));
        const int closed = log.indexOf("ZmRouteManager::closeForExit closes the small class room");
        const int last = log.indexOf(
            QStringLiteral("ExitOnSignal the windows are closed; the program exits with %1").arg(128 + signalNumber));
        QVERIFY2(signalLine > 0 && signalLine < closed && closed < last, qPrintable(log.right(4000)));
        QVERIFY(log.endsWith('\n'));
    }

    // The first real window replaces the splash: here the version check's updater window.
    void splashClosedOnTheFirstWindow()
    {
        QVERIFY(m_simulator.clearRoutes());
        programVerdicts(3, 1);
        ProgramRun run(m_runtime->path());
        QVERIFY(run.start(serviceArguments()));
        QVERIFY(run.waitForLog("closeSplashWindow closed"));
        const QString log = run.log();
        QVERIFY(log.indexOf("createSplashWindow shown") < log.indexOf("closeSplashWindow closed"));
        QVERIFY(log.contains("VersionChecker::checkVersion program verdict 3"));
        QVERIFY(!log.contains("ZmApplication::postStartStatus"));
    }
};

ZM_TEST_MAIN_CORE(TestStartup)
#include "tst_startup.moc"
