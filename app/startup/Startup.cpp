#include "app/startup/Startup.h"

#include "app/AppGlobalData.h"
#include "app/AppLinks.h"
#include "app/CommandLine.h"
#include "app/ConfigManager.h"
#include "app/CrashHandler.h"
#include "app/DirUtil.h"
#include "app/ExitStatus.h"
#include "app/LaunchOptions.h"
#include "app/LogHandler.h"
#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"
#include "app/WebCachePath.h"
#include "app/startup/ExitOnSignal.h"
#include "app/startup/InformationBox.h"
#include "app/startup/InstanceLockWait.h"
#include "app/startup/LinkServer.h"
#include "app/startup/ZmApplication.h"
#include "live/rtc/RtcEngineSetup.h"
#include "net/logs/CrashUpload.h"
#include "net/zip/ZipUtil.h"
#include "platform/FontFallback.h"
#include "platform/SingleInstance.h"
#include "platform/WindowSystem.h"
#include "ui/common/ProgramRestart.h"
#include "ui/common/SplashWindow.h"
#include "ui/common/Translation.h"
#include "ui/updates/OfflineLessonResDownloader.h"
#include "ui/updates/VersionChecker.h"
#include "web/VideoPluginSetup.h"
#include "web/WebProfileSetup.h"

#include <QDebug>
#include <QFont>
#include <QSurfaceFormat>

#include <exception>
#include <memory>

namespace {

// Names the single-instance lock and the socket on which later starts hand over their links.
constexpr char kInstanceKey[] = "ZmQuillo234534569";
constexpr int kLinkHandOverTimeoutMs = 5000;

// The toolkit attribute of "AppInfo/OpenGL_Mode": 15 desktop OpenGL (the default), 16 OpenGL ES, 17 software
// OpenGL. Desktop OpenGL also gets the browser's GPU switches.
void applyOpenGlMode(QStringList& arguments)
{
    int mode = Qt::AA_UseDesktopOpenGL;
    readSettingWithDefault(QStringLiteral("AppInfo/OpenGL_Mode"), mode);
    if (mode != Qt::AA_UseDesktopOpenGL && mode != Qt::AA_UseOpenGLES && mode != Qt::AA_UseSoftwareOpenGL) {
        qWarning() << "runApplication AppInfo/OpenGL_Mode" << mode << "names no OpenGL mode; using"
                   << int(Qt::AA_UseDesktopOpenGL);
        mode = Qt::AA_UseDesktopOpenGL;
    }
    QCoreApplication::setAttribute(Qt::ApplicationAttribute(mode), true);
    if (mode == Qt::AA_UseDesktopOpenGL)
        arguments << QStringLiteral("--disable_chromium_framebuffer_multisample")
                  << QStringLiteral("--ignore-gpu-blacklist");
}

void applyAlphaBufferSize()
{
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    int size = format.alphaBufferSize();
    if (!readSettingWithDefault(QStringLiteral("AppInfo/Surface_AlphaBufferSize"), size))
        return;
    format.setAlphaBufferSize(size);
    QSurfaceFormat::setDefaultFormat(format);
}

void installTranslation()
{
    if (!isChineseUiLanguage())
        return;
    AppGlobalData::instance()->launch.language = QStringLiteral("cn");
    Translation::installForLanguage(QStringLiteral("cn"));
}

void setApplicationFont()
{
    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei UI"));
    QApplication::setFont(font);
}

// "AppInfo/ClearCache" set: the browser's cache folder and the offline lessons go, and the setting goes back
// to 0 so the next start keeps them.
void clearCacheWhenAsked()
{
    ConfigManager* config = ConfigManager::instance();
    int clearCache = 0;
    if (!config->ini_GetParam_Int("AppInfo/ClearCache", clearCache) || clearCache == 0)
        return;
    const QString cache = webCachePath();
    const QString lessons = config->getOfflineLessonDir();
    qInfo().noquote() << "runApplication AppInfo/ClearCache: deleting" << cache << "and" << lessons;
    if (!cache.isEmpty())
        removeDirRecursively(cache);
    if (!lessons.isEmpty())
        removeDirRecursively(lessons);
    config->ini_SetParam_Int("AppInfo/ClearCache", 0);
}

// The start-up version check; false ends the start. Its first window replaces the splash.
bool checkVersion()
{
    VersionChecker checker;
    QObject::connect(
        &checker, &VersionChecker::sigUiShowed, &checker, [] { closeSplashWindow(); }, Qt::DirectConnection);
    const bool goOn = checker.checkVersion();
    if (!goOn)
        qInfo() << "runApplication the version check ends the start";
    return goOn;
}

// Options written "--name=value" that nothing in the program reads are likely mistyped: each is logged once.
void warnAboutUnreadOptions(int argc, char** argv)
{
    const QStringList unread = unreadOptionNames(argc, argv, LaunchOptions::readOptionNames() + rtcEngineOptionNames());
    for (const QString& name : unread)
        qWarning().noquote() << "runApplication the program reads no option" << name
                             << "(a switch of the embedded browser still reaches the browser)";
}

int runEventLoop(QApplication& app)
{
    // A fatal signal never comes back here: the crash handler ends the process.
    try {
        return app.exec();
    } catch (const std::exception& error) {
        qCritical() << "runEventLoop an exception ended the event loop:" << error.what();
    } catch (...) {
        qCritical() << "runEventLoop an exception ended the event loop";
    }
    return ExitStatus_EventLoopFailed;
}

// What start-up holds, released in the teardown order.
struct StartupState
{
    QStringList arguments;
    std::unique_ptr<ZmApplication> app;
    std::unique_ptr<Platform::SingleInstanceLock> instanceLock;
    std::unique_ptr<LinkServer> linkServer;

    int tearDown(int result)
    {
        closeSplashWindow();
        linkServer.reset();
        instanceLock.reset();
        app.reset();
        arguments.clear();
        return result;
    }
};

} // namespace

int runApplication(int argc, char** argv)
{
    // The configuration manager unpacks the shipped offline web resources when it is first used.
    ConfigManager::setArchiveExtractor(&ZipUtil::extractDir);

    // Started again by the crash handler of a crashed run: upload its logs and end.
    int crashUploadResult = 0;
    if (runCrashUploadIfAsked(argc, argv, &crashUploadResult))
        return crashUploadResult;

    StartupState state;
    state.arguments = buildArgumentList(argc, argv);
    installCrashHandler();
    state.arguments << QStringLiteral("--disable-web-security");
    applyOpenGlMode(state.arguments);
    addVideoPluginSwitches(state.arguments);
    applyAlphaBufferSize();
    Platform::chooseWindowSystem();
    const bool fontFallback = Platform::installUiFontFallback();

    // The toolkit and the browser engine read switches from these: a link's options stay out of them.
    const QVector<bool> fromLink = linkOptionMarks(argc, argv);
    state.app = std::make_unique<ZmApplication>(withoutLinkOptions(state.arguments, fromLink));
    // The toolkit shows no window before the application object exists: the splash comes right after it.
    createSplashWindow();
    installLogHandler();
    if (!fontFallback)
        qWarning() << "runApplication the font configuration refused the stand-ins of the forms' font";

    // The lock is taken before the command line is parsed, so that a later start hands its link to the
    // running copy without spending the link's one-time token on an exchange of its own.
    state.instanceLock = std::make_unique<Platform::SingleInstanceLock>(QString::fromLatin1(kInstanceKey));
    const QString linkSocket = Platform::runtimePath(QString::fromLatin1(kInstanceKey), QStringLiteral(".sock"));
    // A copy started by a restart waits for the copy that started it to end.
    const int lockWaitMs = ProgramRestart::isRestartedStart(argc, argv) ? ProgramRestart::kRestartWaitMs : 0;
    const bool runningElsewhere =
        !acquireInstanceLock(*state.instanceLock, lockWaitMs) && state.instanceLock->heldElsewhere();
    if (!state.instanceLock->isHeld() && !runningElsewhere)
        qWarning().noquote() << "runApplication no single-instance lock:" << state.instanceLock->errorString();
    if (state.instanceLock->isHeld()) {
        prepareSharedFrames();
        state.linkServer = std::make_unique<LinkServer>();
        state.linkServer->listen(linkSocket);
    }
    const QString link = appLinkArgument(argc, argv);
    if (runningElsewhere && !link.isEmpty()) {
        if (forwardLinkToRunningCopy(linkSocket, link, kLinkHandOverTimeoutMs)) {
            qInfo() << "runApplication the link went to the running copy; this start ends";
            return state.tearDown(ExitStatus_Normal);
        }
        ZmApplication::showInformation(QStringLiteral("This program is running already."));
        return state.tearDown(ExitStatus_RunningAlready);
    }

    state.app->parseCommandLine(state.arguments, fromLink);
    warnAboutUnreadOptions(argc, argv);
    configureRtcEngine(state.app->launchOptions().options());
    installTranslation();
    state.app->createRouteManager();
    OfflineLessonResDownloader::setStartStatusPoster(&ZmApplication::postAppStatusEvent);
    setApplicationFont();

    if (runningElsewhere) {
        ZmApplication::showInformation(QStringLiteral("This program is running already."));
        return state.tearDown(ExitStatus_RunningAlready);
    }

    if (!state.app->checkParams()) {
        showInformationBox(QStringLiteral("Error Params"), state.app->errors().join('\n'));
        return state.tearDown(ExitStatus_BadParameters);
    }

    if (!checkVersion())
        return state.tearDown(ExitStatus_Normal);

    clearCacheWhenAsked();
    // The main window's setWebCachePath: the folder the cache clearing above deletes.
    setWebCachePath();
    setupDefaultWebProfile();
    state.app->postStartStatus();

    ExitOnSignal exitOnSignal;
    const int result = exitOnSignal.exitCode(runEventLoop(*state.app));
    closeSplashWindow();
    ConfigManager::instance()->closeDailyLogFile();
    return state.tearDown(result);
}
