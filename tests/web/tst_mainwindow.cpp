// The main window with the real browser and the fixture home page from the installed offline resources: the home
// address, what the page's writes do (sign-in, sign-out, lessons and replays reaching the router, addresses opened
// outside), what the page can reach, the heartbeat, the title bar's menu and buttons, the one held dialog, cache
// clearing with its restart, courseware import, and the router showing, hiding and closing the window.
#include "ClosedPort.h"
#include "HomePageTestSupport.h"
#include "LogCapture.h"
#include "Screenshots.h"
#include "TestFiles.h"
#include "WaitUntil.h"
#include "WindowManagerClose.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"
#include "net/packages/OfflineLessonResManager.h"
#include "settings/CheckSystemDlg.h"
#include "settings/SystemSettingDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/ProgramRestart.h"
#include "ui/common/QRadiusMenu.h"
#include "web/HomePageBridge.h"
#include "web/ZmMainRoomDlg.h"
#include "web/ZmMainWebRoom.h"
#include "web/ZmRouteManager.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <memory>

using HomePageTest::evaluate;
using HomePageTest::run;
using HomePageTest::titleButton;
using HomePageTest::visibleWindowOf;
using ZmTest::LogCapture;
using ZmTest::waitUntil;

namespace {

// A router that only records what is posted to it.
class RouterProbe : public ZmRouteManager
{
public:
    QList<int> statuses;
    QList<int> codes;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == ZmAppStatusEvent::kType)
            statuses << static_cast<ZmAppStatusEvent*>(event)->status();
        else if (event->type() == ZmAppEvent::kType)
            codes << static_cast<ZmAppEvent*>(event)->code();
        else
            return QWidget::event(event);
        return true;
    }
};

// A router whose room and replay rows are plain windows, with the log upload and keep-awake only counted.
class QuietRouter : public ZmRouteManager
{
public:
    int logUploads = 0;

    QuietRouter()
    {
        for (int status : {int(AppStartStatus_NormalClassRoom), int(AppStartStatus_NormalClassReplay)})
            setWindowRoute(status, HomePageTest::plainWindowRow(status));
    }

protected:
    void afterClassRoomClosed() override { ++logUploads; }
    void setSleepBlocked(bool) override {}
};

// The main window with the file dialog of the courseware import replaced.
class TestMainRoom : public ZmMainRoomDlg
{
public:
    QString chosenArchive;
    int chooserCalls = 0;

protected:
    QString chooseCoursewareZip() override
    {
        ++chooserCalls;
        return chosenArchive;
    }
};

// Addresses the desktop was asked to open.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    OpenedUrls()
    {
        for (const char* scheme : {"http", "https", "file", "javascript", "data"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~OpenedUrls() override
    {
        for (const char* scheme : {"http", "https", "file", "javascript", "data"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    QStringList urls;

public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

// One main window on screen as the router shows it the first time, with its home page loaded and the log captured.
class HomeWindow
{
public:
    HomeWindow()
    {
        window.wireWebRoom();
        window.show();
        window.setShownByRouter(true);
        window.titleBar()->setMaximizedState();
        window.loadHomePage();
    }

    ~HomeWindow()
    {
        // The next window starts signed out.
        if (window.webRoom())
            evaluate(view(), QStringLiteral("window.homeFixture && homeFixture.reset()"));
    }

    ZmMainWebRoom* view() { return window.webRoom(); }

    bool waitForPage(int count = 1) { return HomePageTest::waitForPage(log, count); }

    // Runs a fixture call in the page and waits until the view has taken in the property it writes.
    bool pageWrites(const QString& script, const char* property)
    {
        const QString line = QStringLiteral("ZmMainWebRoom ") + QLatin1String(property);
        const int before = log.linesContaining(line).size();
        run(view(), script);
        return log.waitFor(line, before + 1);
    }

    bool signIn(const char* role = "pupil")
    {
        return pageWrites(QStringLiteral("homeFixture.signIn('%1')").arg(QLatin1String(role)), "loginsuccess") &&
               waitUntil([this] { return titleButton(&window, "ButtonHome")->isVisibleTo(&window); });
    }

    QStringList menuEntries()
    {
        QStringList texts;
        window.onButtonSettingClicked();
        if (QRadiusMenu* menu = window.settingsMenu()) {
            for (QAction* action : menu->actions())
                texts << action->text();
            menu->hide();
        }
        return texts;
    }

    // Pops the settings menu up and runs its entry of that text; false when there is none.
    bool runMenuEntry(const QString& text)
    {
        window.onButtonSettingClicked();
        QRadiusMenu* menu = window.settingsMenu();
        if (!menu)
            return false;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                menu->hide();
                action->trigger();
                return true;
            }
        }
        menu->hide();
        return false;
    }

    LogCapture log;
    RouterProbe router;
    TestMainRoom window;
};

void writeDeviceSettings(const QByteArray& camera, const QByteArray& microphone, const QByteArray& speaker)
{
    ConfigManager* config = ConfigManager::instance();
    config->ini_SetParam_String("SelectedDeviceID/Camera", camera);
    config->ini_SetParam_String("SelectedDeviceID/AudioIN", microphone);
    config->ini_SetParam_String("SelectedDeviceID/AudioOUT", speaker);
}

QByteArray deviceSetting(const char* key)
{
    QByteArray value("unset");
    ConfigManager::instance()->ini_GetParam_String(key, value);
    return value;
}

// What the page finds on the channel object, by name without signature (the channel script's own helpers aside).
const char kChannelMembersScript[] = R"((function () {
    var own = ["unwrapQObject", "unwrapProperties", "propertyUpdate", "signalEmitted", "undefined"];
    var names = [];
    Object.getOwnPropertyNames(homeFixture.home).forEach(function (member) {
        var name = member.split("(")[0];
        if (name.indexOf("__") !== 0 && own.indexOf(name) < 0 && names.indexOf(name) < 0)
            names.push(name);
    });
    return names.sort().join(",");
})())";

// The page tries to reach the view and its window through the channel object.
const char kReachForTheWindowScript[] = R"((function () {
    var o = homeFixture.home;
    ["close", "hide", "setVisible", "back", "stop", "deleteLater"].forEach(function (name) {
        try { o[name](false); } catch (e) {}
    });
})())";

// The device-check wizard open over the window, waiting as long as any wait; null when none came.
CheckSystemDlg* waitForDeviceCheck(ZmMainRoomDlg* window)
{
    CheckSystemDlg* wizard = nullptr;
    waitUntil([window, &wizard] {
        wizard = window->findChild<CheckSystemDlg*>();
        return wizard && wizard->isVisible();
    });
    return wizard && wizard->isVisible() ? wizard : nullptr;
}

// The wizard's close buttons as shown ("1") or hidden ("0"), in the order of their names.
QString closeButtons(CheckSystemDlg* wizard)
{
    QString shown;
    for (const char* name : {"closeBtn", "closeBtn_2", "closeBtn_3"})
        shown += wizard->findChild<QWidget*>(QLatin1String(name))->isHidden() ? '0' : '1';
    return shown;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Made first, as at start-up: it sets the launch's web mode from its settings.
        UrlConfig::instance();
        QVERIFY(HomePageTest::installOfflineResources());
        QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
    }

    void init()
    {
        LaunchInfo& launch = AppGlobalData::instance()->launch;
        launch = LaunchInfo();
        writeDeviceSettings("cam-1", "mic-1", "spk-1");
    }

    void cleanup() { ProgramRestart::setLauncher({}); }

    void homeAddress_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("query");
        QTest::newRow("en") << "en"
                            << "production"
                            << "mode=production&language=en&v=1.5.7";
        QTest::newRow("cn") << "cn"
                            << "production"
                            << "mode=production&language=zh-CN&v=1.5.7";
        QTest::newRow("any other language") << "zh"
                                            << "test"
                                            << "mode=test&language=en&v=1.5.7";
        QTest::newRow("an address as the mode")
            << "en"
            << "http://127.0.0.1:8080/a?b&c%"
            << "mode=http%3A%2F%2F127.0.0.1%3A8080%2Fa%3Fb%26c%25&language=en&v=1.5.7";
    }

    void homeAddress()
    {
        QFETCH(QString, language);
        QFETCH(QString, mode);
        const QUrl address =
            ZmMainRoomDlg::homeAddressFor("/data/offline/resource/web/index.html", mode, language, "1.5.7");
        QVERIFY(address.isLocalFile());
        QCOMPARE(address.toLocalFile(), QString("/data/offline/resource/web/index.html"));
        QTEST(address.query(QUrl::FullyEncoded), "query");
        QCOMPARE(QUrlQuery(address).queryItemValue("mode", QUrl::FullyDecoded), mode);
    }

    // The window as the router shows it the first time: the form, the title bar, the page below it, the home page
    // from the installed resources with the launch's mode and language, nobody signed in.
    void firstShow()
    {
        AppGlobalData::instance()->launch.language = "cn";
        AppGlobalData::instance()->launch.webMode = "test";
        HomeWindow home;
        ZmMainRoomDlg& window = home.window;
        QVERIFY(home.waitForPage());

        QCOMPARE(window.objectName(), QString("ZmMainRoomDlg"));
        QCOMPARE(window.windowTitle(), QString("ZmQuillo - Main Room"));
        QCOMPARE(window.normalSize(), QSize(1100, 650));
        QCOMPARE(window.backgroundColor(), QColor(36, 49, 56));
        QCOMPARE(window.geometry(), ZmBaseDialog::maximizedGeometry(ZmBaseDialog::availableDesktopArea()));
        auto* outer = window.findChild<QGridLayout*>("gridLayout");
        QVERIFY(outer && window.findChild<QGridLayout*>("gridLayout_2"));
        QCOMPARE(home.view()->objectName(), QString("webmr"));
        QVERIFY(home.view()->geometry().top() >= window.titleBar()->height());
        QCOMPARE(home.view()->contextMenuPolicy(), Qt::NoContextMenu);

        for (const char* name : {"ButtonBackward", "ButtonForward", "ButtonHome", "ButtonImport", "ButtonFeedback",
                                 "ButtonNetwork", "ButtonMax", "PeriodID", "CpuUsage"})
            QVERIFY2(!titleButton(&window, name)->isVisible(), name);
        QVERIFY(titleButton(&window, "ButtonRestore")->isVisible());
        QVERIFY(titleButton(&window, "ButtonSetting")->isVisible());
        QVERIFY(titleButton(&window, "ButtonReload")->isVisible());

        const QString indexPage = ConfigManager::instance()->getOfflineIndexPage();
        QCOMPARE(window.homeAddress(), ZmMainRoomDlg::homeAddressFor(indexPage, "test", "cn", "1.5.7"));
        QCOMPARE(evaluate(home.view(), "location.search").toString(), QString("?mode=test&language=zh-CN&v=1.5.7"));
        QCOMPARE(evaluate(home.view(), "location.protocol").toString(), QString("file:"));
        QCOMPARE(home.view()->pageloaded(), QString(R"({"result":"true"})"));
        QCOMPARE(home.view()->initfilepage(), QString(R"({"result":"true"})"));
        QVERIFY(!home.view()->loadingIndicator()->isVisible());
        QVERIFY(!home.view()->isHeartbeatRunning());
        ZmTest::saveScreenshot(window, "ZmMainRoomDlg_home");
    }

    // The page reaches the six properties and nothing of the view or its window.
    void pageReachesOnlyTheSixProperties()
    {
        HomeWindow home;
        QVERIFY(home.waitForPage());
        const QString members = evaluate(home.view(), QString::fromLatin1(kChannelMembersScript)).toString();
        QCOMPARE(members, QString("deleteLater,destroyed,enterreplayer,enterroom,initfilepage,loginsuccess,objectName,"
                                  "objectNameChanged,openzoomurl,pageloaded"));

        run(home.view(), QString::fromLatin1(kReachForTheWindowScript));
        QVERIFY(home.signIn());
        QVERIFY(home.window.isVisible());
        QVERIFY(home.view()->findChild<HomePageBridge*>());
    }

    // Sign-in shows the signed-in buttons and, for a user without chosen devices, leads to the device check (which
    // cannot be closed) after half a second; sign-out hides the buttons again and forgets the user.
    void signInAndOut_data()
    {
        QTest::addColumn<QByteArray>("camera");
        QTest::addColumn<QByteArray>("speaker");
        QTest::addColumn<bool>("deviceCheck");
        QTest::newRow("devices chosen") << QByteArray("cam-1") << QByteArray("spk-1") << false;
        QTest::newRow("camera empty") << QByteArray("") << QByteArray("spk-1") << true;
        QTest::newRow("speaker missing") << QByteArray("cam-1") << QByteArray() << true;
    }

    void signInAndOut()
    {
        QFETCH(QByteArray, camera);
        QFETCH(QByteArray, speaker);
        QFETCH(bool, deviceCheck);
        writeDeviceSettings(camera, "mic-1", speaker);
        if (speaker.isNull())
            ConfigManager::instance()->ini_RemoveParam("SelectedDeviceID/AudioOUT");

        HomeWindow home;
        QVERIFY(home.waitForPage());
        QVERIFY(home.signIn("teacher"));
        for (const char* name : {"ButtonBackward", "ButtonForward", "ButtonHome", "ButtonImport"})
            QVERIFY2(titleButton(&home.window, name)->isVisible(), name);
        QCOMPARE(AppGlobalData::instance()->launch.userId, QString("300451"));
        QVERIFY(!AppGlobalData::instance()->launch.token.isEmpty());
        QVERIFY2(!home.log.text().contains(AppGlobalData::instance()->launch.token), "the token must not be logged");

        if (deviceCheck) {
            // All three are cleared at once; the wizard then chooses anew.
            for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
                QCOMPARE(deviceSetting(key), QByteArray(""));
            const QPointer<CheckSystemDlg> wizard = waitForDeviceCheck(&home.window);
            QVERIFY(wizard);
            QCOMPARE(wizard->parentWidget(), &home.window);
            QCOMPARE(closeButtons(wizard), QString("000"));
            QVERIFY(!titleButton(&home.window, "ButtonSetting")->isEnabled());
            wizard->done(1);
            QVERIFY(waitUntil([&wizard] { return wizard.isNull(); }));
        } else {
            // The sign-in has been handled: it decided against the device check.
            QVERIFY(home.log.linesContaining("the device check follows").isEmpty());
            QVERIFY(!home.window.findChild<CheckSystemDlg*>());
            QCOMPARE(deviceSetting("SelectedDeviceID/AudioIN"), QByteArray("mic-1"));
        }
        QVERIFY(titleButton(&home.window, "ButtonSetting")->isEnabled());

        QVERIFY(home.pageWrites("homeFixture.signOut()", "initfilepage"));
        QVERIFY(waitUntil([&home] { return !titleButton(&home.window, "ButtonHome")->isVisible(); }));
        for (const char* name : {"ButtonBackward", "ButtonForward", "ButtonImport"})
            QVERIFY2(!titleButton(&home.window, name)->isVisible(), name);
        QVERIFY(AppGlobalData::instance()->launch.userId.isEmpty());
    }

    // Entering a lesson or a replay on the page asks the router for its start status.
    void lessonsAndReplaysReachTheRouter_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QString>("state"); // ui type, account type, start app type, period id

        QTest::newRow("normal class") << "homeFixture.enter('normal')"
                                      << "enterroom" << QList<int>{2} << "1 1 1 20240611093";
        QTest::newRow("small class") << "homeFixture.enter('small')"
                                     << "enterroom" << QList<int>{4} << "2 1 1 20240611094";
        QTest::newRow("public class") << "homeFixture.enter('public')"
                                      << "enterroom" << QList<int>{3} << "3 1 1 20240611095";
        QTest::newRow("no account type enters as teacher")
            << "homeFixture.write('enterroom', {teachType: 1, classType: 1, lessonid: 5, periodid: 4294967301})"
            << "enterroom" << QList<int>{2} << "1 2 1 4294967301";
        QTest::newRow("not JSON enters the stored ui type") << "homeFixture.write('enterroom', 'x')"
                                                            << "enterroom" << QList<int>{3} << "3 0 1 20240611095";
        QTest::newRow("normal replay") << "homeFixture.replay('normal')"
                                       << "enterreplayer" << QList<int>{5} << "1 1 2 20240611093";
        QTest::newRow("small replay") << "homeFixture.replay('small')"
                                      << "enterreplayer" << QList<int>{7} << "2 1 2 20240611094";
        QTest::newRow("public replay") << "homeFixture.replay('public')"
                                       << "enterreplayer" << QList<int>{6} << "3 1 2 20240611095";
    }

    void lessonsAndReplaysReachTheRouter()
    {
        QFETCH(QString, script);
        QFETCH(QString, property);
        QFETCH(QList<int>, statuses);
        HomeWindow home;
        QVERIFY(home.waitForPage());
        QVERIFY(home.signIn());
        // A public class entered before, for the row whose write names none.
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.uiType = 3;
        data->lesson.periodId = "20240611095";
        QVERIFY(home.pageWrites(script, qPrintable(property)));
        QVERIFY(waitUntil([&home, &statuses] { return home.router.statuses.size() >= statuses.size(); }));
        QCOMPARE(home.router.statuses, statuses);
        QTEST(QString("%1 %2 %3 %4")
                  .arg(data->launch.uiType)
                  .arg(data->launch.accountType)
                  .arg(data->launch.startAppType)
                  .arg(data->lesson.periodId),
              "state");
        if (property == "enterreplayer") {
            QCOMPARE(data->launch.media1start, QString("0"));
            QCOMPARE(data->launch.media1dur, QString("60000"));
        }
    }

    // The page may have the desktop open web addresses only; the property never holds a text.
    void addressesOpenedOutside()
    {
        OpenedUrls opened;
        HomeWindow home;
        QVERIFY(home.waitForPage());
        for (const char* address : {"https://www.zmquillo.com/help?a=1", "file:///etc/passwd", "javascript:alert(1)",
                                    "data:text/html,<b>x</b>", "http://127.0.0.1:9/notes"})
            run(home.view(),
                QStringLiteral("homeFixture.write('openzoomurl', %1)")
                    .arg(QString::fromUtf8(
                             QJsonDocument(QJsonArray{QLatin1String(address)}).toJson(QJsonDocument::Compact))
                             .mid(1)
                             .chopped(1)));
        QVERIFY(home.log.waitFor("ZmMainWebRoom::setopenzoomurl http://127.0.0.1:9/notes"));
        QCOMPARE(opened.urls, (QStringList{"https://www.zmquillo.com/help?a=1", "http://127.0.0.1:9/notes"}));
        QCOMPARE(home.log.linesContaining("setopenzoomurl refused").size(), 3);
        QVERIFY(!home.log.linesContaining("refused: not an http or https address: javascript:alert(1)").isEmpty());
        QCOMPARE(home.view()->findChild<HomePageBridge*>()->property("openzoomurl").toString(), QString());
    }

    void heartbeatInterval_data()
    {
        QTest::addColumn<QString>("mainRoom");
        QTest::addColumn<int>("interval");
        QTest::newRow("service address") << "https://www.zmquillo.com/main" << 600000;
        QTest::newRow("internal test network") << "http://10.0.12.7/main" << 60000;
        QTest::newRow("10.0 only as part of a longer number") << "http://210.0.5.1/main" << 60000;
        QTest::newRow("no dots") << "http://10-0-1/main" << 600000;
    }

    void heartbeatInterval()
    {
        QFETCH(QString, mainRoom);
        const QString saved = UrlConfig::instance()->mainRoom;
        UrlConfig::instance()->mainRoom = mainRoom;
        LogCapture log;
        ZmMainWebRoom view;
        UrlConfig::instance()->mainRoom = saved;
        QTEST(view.heartbeatInterval(), "interval");
        QVERIFY(!view.isHeartbeatRunning());
        QVERIFY(!log.linesContaining(QString("ZmMainWebRoom HeartbeatInterval: %1").arg(view.heartbeatInterval()))
                     .isEmpty());
    }

    // Hidden after the router's first show, the window's page gets "window.userExpired()" at once and then on the
    // timer; shown again, the heartbeat stops. Before the first show by the router nothing starts it.
    void heartbeatWhileHidden()
    {
        HomeWindow home;
        QVERIFY(home.waitForPage());
        home.window.hide();
        QVERIFY(home.view()->isHeartbeatRunning());
        QVERIFY(waitUntil([&home] { return evaluate(home.view(), "homeFixture.expiredChecks").toInt() == 1; }));
        QVERIFY(!home.log.linesContaining("ZmMainWebRoom Heartbeat!").isEmpty());
        home.view()->onHeartbeat();
        QVERIFY(waitUntil([&home] { return evaluate(home.view(), "homeFixture.expiredChecks").toInt() == 2; }));

        // An expired sign-in: the page goes back to its start page and the window forgets the user.
        QVERIFY(home.signIn());
        run(home.view(), "homeFixture.expire(true)");
        home.view()->onHeartbeat();
        QVERIFY(waitUntil([] { return AppGlobalData::instance()->launch.userId.isEmpty(); }));
        QVERIFY(waitUntil([&home] { return !titleButton(&home.window, "ButtonHome")->isVisibleTo(&home.window); }));

        home.window.show();
        QVERIFY(!home.view()->isHeartbeatRunning());

        home.window.setShownByRouter(false);
        home.window.hide();
        QVERIFY(!home.view()->isHeartbeatRunning());
    }

    void settingsMenu()
    {
        HomeWindow home;
        QVERIFY(home.waitForPage());
        QCOMPARE(home.menuEntries(), QStringList{"System setting"});
        QVERIFY(home.signIn());
        QCOMPARE(home.menuEntries(),
                 (QStringList{"Instructional video", "Devices test", "Clear cache", "System setting"}));

        // The rendering settings open as the window's dialog.
        QVERIFY(home.runMenuEntry("System setting"));
        const QPointer<QDialog> settings = home.window.curModalDialog();
        QVERIFY(qobject_cast<SystemSettingDlg*>(settings));
        QVERIFY(settings->isVisible());
        QCOMPARE(settings->parentWidget(), &home.window);

        // The device check, with its close buttons; the Setting button is disabled while it is open, and a second
        // check is not opened over it.
        QVERIFY(home.runMenuEntry("Devices test"));
        const QPointer<CheckSystemDlg> wizard = waitForDeviceCheck(&home.window);
        QVERIFY(wizard);
        QCOMPARE(closeButtons(wizard), QString("111"));
        QVERIFY(!titleButton(&home.window, "ButtonSetting")->isEnabled());
        home.window.popupCheckSystemDlg(false);
        QCOMPARE(home.window.findChildren<CheckSystemDlg*>().size(), 1);
        QCOMPARE(closeButtons(wizard), QString("111"));
        wizard->done(0);
        QVERIFY(waitUntil([&wizard] { return wizard.isNull(); }));
        QVERIFY(titleButton(&home.window, "ButtonSetting")->isEnabled());
        QCOMPARE(home.window.curModalDialog(), settings.data());

        // The instructional video opens outside.
        OpenedUrls opened;
        QVERIFY(home.runMenuEntry("Instructional video"));
        QCOMPARE(opened.urls, QStringList{"https://www.zmquillo.com/help/video"});

        // Closing the settings dialog lets it go.
        settings->reject();
        QVERIFY(waitUntil([&settings] { return settings.isNull(); }));
        QVERIFY(!home.window.curModalDialog());
    }

    void helpVideoAddress_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("address");
        QTest::newRow("built in") << QVariant() << "https://www.zmquillo.com/help/video";
        QTest::newRow("stars read as equals")
            << QVariant("https://v.example.com/play?id*42&t*3") << "https://v.example.com/play?id=42&t=3";
        QTest::newRow("not a web address") << QVariant("file:///tmp/video.mp4") << "";
    }

    void helpVideoAddress()
    {
        QFETCH(QVariant, stored);
        QTemporaryDir folder;
        const QString ini = folder.filePath("ZmQuillo_Desktop.ini");
        if (stored.isValid()) {
            QSettings settings(ini, QSettings::IniFormat);
            settings.setValue("AppInfo/Video_URL_HelpVideo", stored);
        }
        QTEST(ZmMainRoomDlg::helpVideoAddress(ini).toString(), "address");
    }

    // One dialog stands over the window: a new one rejects and lets go the one before; the same one again changes
    // nothing.
    void oneHeldDialog()
    {
        LogCapture log;
        ZmMainRoomDlg window;
        auto* first = new CancelOkWarningDlg(&window);
        int firstResult = -1;
        first->setDoneCallback([&firstResult](QObject*, int result) { firstResult = result; }, first);
        first->show();
        const QPointer<QDialog> firstHeld(first);
        QVERIFY(window.setCurModalDialog(first));
        QVERIFY(window.setCurModalDialog(first));
        QCOMPARE(log.linesContaining("Error:setCurModalDialog ==m_pCurModalDialog2!").size(), 1);
        QVERIFY(first->isVisible());

        auto* second = new CancelOkWarningDlg(&window);
        QVERIFY(window.setCurModalDialog(second));
        QCOMPARE(window.curModalDialog(), second);
        QCOMPARE(firstResult, 0);
        QVERIFY(waitUntil([&firstHeld] { return firstHeld.isNull(); }));

        QVERIFY(window.setCurModalDialog(nullptr));
        QVERIFY(!window.curModalDialog());
    }

    // The close question: Cancel keeps the program; OK tells the router the user leaves from the main window.
    void closeQuestion()
    {
        HomeWindow home;
        QTest::mouseClick(titleButton(&home.window, "ButtonClose"), Qt::LeftButton);
        auto* question = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
        QVERIFY(question && question->isVisible());
        QCOMPARE(question->findChild<QLabel*>("title")->text(), QString("Are you sure you want to exit ZmQuillo?"));
        question->done(CancelOkWarningDlg::ResultCancel);
        QCoreApplication::sendPostedEvents();
        QVERIFY(home.router.codes.isEmpty());

        home.window.onButtonCloseClicked();
        question = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
        QVERIFY(question);
        question->done(CancelOkWarningDlg::ResultOk);
        QCoreApplication::sendPostedEvents(&home.router);
        QCOMPARE(home.router.codes, QList<int>{AppEventCode_MainRoomClosed});
        QVERIFY(home.window.isVisible());
    }

    // The window manager's close asks the same question and leaves the window; the router's close goes through.
    void windowManagerClose()
    {
        HomeWindow home;
        QVERIFY(QTest::qWaitForWindowExposed(&home.window, ZmTest::kWaitMs));
        QVERIFY(ZmTest::sendWindowManagerClose(&home.window));
        QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog()));
        auto* question = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
        QVERIFY(question->isVisible());
        QCOMPARE(question->findChild<QLabel*>("title")->text(), QString("Are you sure you want to exit ZmQuillo?"));
        QVERIFY(home.window.isVisible());
        question->done(CancelOkWarningDlg::ResultCancel);
        QCoreApplication::sendPostedEvents();
        QVERIFY(home.router.codes.isEmpty());
        QVERIFY(home.window.isVisible());

        home.window.setShownByRouter(false);
        QVERIFY(home.window.close());
        QVERIFY(!home.window.isVisible());
    }

    // Clearing the cache: the setting is written before the new copy starts, and this copy's windows close after it
    // started. A copy that does not start leaves the windows open with a notice.
    void clearCacheRestarts_data()
    {
        QTest::addColumn<bool>("started");
        QTest::newRow("new copy started") << true;
        QTest::newRow("new copy not started") << false;
    }

    void clearCacheRestarts()
    {
        QFETCH(bool, started);
        ConfigManager::instance()->ini_SetParam_Int("AppInfo/ClearCache", 0);
        HomeWindow home;
        QVERIFY(home.waitForPage());
        QVERIFY(home.signIn());
        QStringList launches;
        ProgramRestart::setLauncher([&](const QString& program, const QStringList& arguments) {
            int flag = -1;
            ConfigManager::instance()->ini_GetParam_Int("AppInfo/ClearCache", flag);
            launches << QString("%1 %2 flag %3 window %4")
                            .arg(QFileInfo(program).fileName(), arguments.join(' '))
                            .arg(flag)
                            .arg(home.window.isVisible());
            return started;
        });
        QVERIFY(home.runMenuEntry("Clear cache"));
        auto* question = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
        QVERIFY(question && question->isVisible());
        QCOMPARE(question->findChild<QPushButton*>("okBtn")->text(), QString("Yes"));
        question->done(CancelOkWarningDlg::ResultCancel);
        QVERIFY(launches.isEmpty());

        QVERIFY(home.runMenuEntry("Clear cache"));
        question = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
        question->done(CancelOkWarningDlg::ResultOk);
        QCOMPARE(launches.size(), 1);
        QVERIFY2(launches.first().endsWith("--zm-restarted flag 1 window 1"), qPrintable(launches.first()));
        QCOMPARE(home.window.isVisible(), !started);
        if (!started) {
            auto* notice = qobject_cast<CancelOkWarningDlg*>(home.window.curModalDialog());
            QVERIFY(notice && notice->isVisible());
        }
        ConfigManager::instance()->ini_SetParam_Int("AppInfo/ClearCache", 0);
    }

    void coursewareImport_data()
    {
        QTest::addColumn<QString>("archive"); // "good", "broken" or "" (nothing chosen)
        QTest::addColumn<QString>("toast");
        QTest::newRow("imported") << "good"
                                  << "Courseware imported.";
        QTest::newRow("not a zip") << "broken"
                                   << "Courseware import failed.";
        QTest::newRow("nothing chosen") << ""
                                        << "";
    }

    void coursewareImport()
    {
        QFETCH(QString, archive);
        QFETCH(QString, toast);
        QTemporaryDir folder;
        TestMainRoom window;
        if (archive == "good")
            QVERIFY(ZmTest::writeZip(folder.filePath("880777.zip"), {{"index.html", "<html>lesson</html>"}}));
        else if (archive == "broken")
            QVERIFY(ZmTest::writeFile(folder.filePath("880777.zip"), "not a zip"));
        window.chosenArchive = archive.isEmpty() ? QString() : folder.filePath("880777.zip");
        QDir(OfflineLessonResManager::offlineLessonDir() + "/880777").removeRecursively();

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        window.onButtonImportClicked();
        QCOMPARE(window.chooserCalls, 1);
        QCOMPARE(window.toast()->isVisible(), !toast.isEmpty());
        if (!toast.isEmpty())
            QCOMPARE(window.toast()->findChild<QLabel*>("label_text")->text(), toast);
        QCOMPARE(QFileInfo(OfflineLessonResManager::offlineLessonDir() + "/880777/index.html").isFile(),
                 archive == "good");
    }

    // Escape does not close the window; event 2632 puts its title bar into the maximised state.
    void escapeAndMaximizeEvent()
    {
        ZmMainRoomDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(window.result(), 0);
        QVERIFY(titleButton(&window, "ButtonMax")->isVisible());
        QCoreApplication::postEvent(&window, new QEvent(ZmMainRoomDlg::kMaximizeEventType));
        QCoreApplication::sendPostedEvents(&window);
        QVERIFY(!titleButton(&window, "ButtonMax")->isVisible());
        QVERIFY(titleButton(&window, "ButtonRestore")->isVisible());
    }

    // The browser buttons: Home loads the home address again, Reload the page shown, Back and Forward walk the
    // history; the loading indicator shows while a page loads.
    void browserButtons()
    {
        HomeWindow home;
        QVERIFY(home.waitForPage());
        QVERIFY(home.signIn());
        // The indicator as the view's own load slots leave it.
        QStringList indicator;
        QObject::connect(home.view(), &QWebEngineView::loadStarted, home.view(), [&home, &indicator] {
            indicator << QString("started %1").arg(home.view()->loadingIndicator()->isVisible());
        });
        QObject::connect(home.view(), &QWebEngineView::loadFinished, home.view(), [&home, &indicator] {
            indicator << QString("finished %1").arg(home.view()->loadingIndicator()->isVisible());
        });
        home.window.onButtonReloadClicked();
        QVERIFY(home.waitForPage(2));
        QVERIFY(waitUntil([&indicator] { return indicator.size() == 2; }));
        QCOMPARE(indicator, (QStringList{"started 1", "finished 0"}));
        QCOMPARE(home.view()->loadingIndicator()->textLabel()->text(), QString("Loading..."));
        QVERIFY(waitUntil([&home] { return !home.view()->loadingIndicator()->isVisible(); }));

        // Another page, then back, forward and home.
        QUrl other = QUrl::fromLocalFile(ConfigManager::instance()->getOfflineIndexPage());
        other.setQuery("mode=other");
        home.view()->load(other);
        QVERIFY(home.waitForPage(3));
        home.window.onButtonBackwardClicked();
        QVERIFY(home.waitForPage(4));
        QCOMPARE(evaluate(home.view(), "location.search").toString(), home.window.homeAddress().query().prepend('?'));
        home.window.onButtonForwardClicked();
        QVERIFY(home.waitForPage(5));
        QCOMPARE(evaluate(home.view(), "location.search").toString(), QString("?mode=other"));
        home.window.onButtonHomeClicked();
        QVERIFY(home.waitForPage(6));
        QCOMPARE(home.view()->currentAddress(), home.window.homeAddress().toString());
    }

    // The router creates the window on the first status 1, hides it behind a room or replay (the page's heartbeat
    // runs meanwhile), shows it again (the home page loads again after a class room, not after a replay) and
    // closes it for good on event code 2. The package downloader's dialogs stand over it.
    void routerShowsHidesAndClosesTheWindow()
    {
        LogCapture log;
        QuietRouter router;
        QCOMPARE(ZmRouteManager::current(), &router);
        ZmRouteManager::postAppStatusEvent(AppStartStatus_MainRoom);
        QCoreApplication::sendPostedEvents(&router);
        QPointer<ZmMainRoomDlg> window = router.mainRoom();
        QVERIFY(window && window->isVisible() && window->isShownByRouter());
        QVERIFY(titleButton(window, "ButtonRestore")->isVisible());
        QVERIFY(HomePageTest::waitForPage(log));
        QCOMPARE(router.currentStatus(), 1);

        ZmRouteManager::postAppStatusEvent(AppStartStatus_NormalClassRoom);
        QCoreApplication::sendPostedEvents(&router);
        QVERIFY(!window->isVisible());
        QVERIFY(window->webRoom()->isHeartbeatRunning());
        QVERIFY(waitUntil([&window] { return evaluate(window->webRoom(), "homeFixture.expiredChecks").toInt() == 1; }));

        ZmRouteManager::postAppEvent(AppEventCode_ClassRoomEnded);
        QCoreApplication::sendPostedEvents(&router);
        QCOMPARE(router.mainRoom(), window.data());
        QVERIFY(window->isVisible());
        QVERIFY(!window->webRoom()->isHeartbeatRunning());
        QVERIFY(!router.routedWindow(AppStartStatus_NormalClassRoom));
        QCOMPARE(router.logUploads, 1);
        QVERIFY(HomePageTest::waitForPage(log, 2));

        ZmRouteManager::postAppStatusEvent(AppStartStatus_NormalClassReplay);
        QCoreApplication::sendPostedEvents(&router);
        QVERIFY(!window->isVisible());
        ZmRouteManager::postAppEvent(AppEventCode_ReplayEnded);
        QCoreApplication::sendPostedEvents(&router);
        QVERIFY(window->isVisible());
        // The window is shown again without a new load of the page.
        QCOMPARE(log.linesContaining("ZmMainRoomDlg::loadHomePage").size(), 2);
        QCOMPARE(log.linesContaining("ZmMainWebRoom pageloaded").size(), 2);

        // A missing package whose download fails at once: the downloader's question stands over the main window.
        const quint16 port = ZmTest::closedPort();
        QVERIFY(port != 0);
        UrlConfig::instance()->restful = QString("http://127.0.0.1:%1").arg(port);
        UrlConfig::instance()->restfulAlternates.clear();
        AppGlobalData::instance()->lesson.lessonId = "880999";
        QDir(OfflineLessonResManager::offlineLessonDir() + "/880999").removeRecursively();
        ZmRouteManager::postAppStatusEvent(AppStartStatus_SmallClassRoom);
        QCoreApplication::sendPostedEvents(&router);
        QVERIFY(waitUntil([] { return visibleWindowOf("CancelOkWarningDlg"); }));
        QCOMPARE(visibleWindowOf("CancelOkWarningDlg")->parentWidget(), window.data());
        QCOMPARE(qobject_cast<QWidget*>(window->curModalDialog()), visibleWindowOf("CancelOkWarningDlg"));
        window->setCurModalDialog(nullptr);

        ZmRouteManager::postAppEvent(AppEventCode_MainRoomClosed);
        QCoreApplication::sendPostedEvents(&router);
        QVERIFY(window && !window->isVisible());
        QVERIFY(!window->isShownByRouter());
        QVERIFY(!window->webRoom()->isHeartbeatRunning());
    }
};

ZM_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
