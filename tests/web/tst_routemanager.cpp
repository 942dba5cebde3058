// The window router's intake: start statuses and window ends posted as application events.
#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "net/packages/OfflineLessonResManager.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/SplashWindow.h"
#include "ui/updates/OfflineLessonResDownloader.h"
#include "web/ZmRouteManager.h"

#include "Simulator.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include <QCryptographicHash>
#include <QPushButton>

#include <QDir>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <memory>

namespace {

// A router whose windows are plain widgets, with a journal of the operations it ran. Statuses listed in
// unavailable behave like windows that are not built. The main window is the router's own; the rooms and
// replays are rows of its table.
class FakeRouter : public ZmRouteManager
{
public:
    QStringList journal;
    QSet<int> unavailable;
    bool packageReady = true;
    bool realPackageCheck = false; // the router's own check, which downloads a missing package
    std::map<int, std::unique_ptr<QWidget>> windows;
    bool splashSeenWhenOpening = false;
    int logUploads = 0; // afterClassRoomClosed runs

    FakeRouter()
    {
        route(2, "ShowClassRoom", "closeNormalClassRoom");
        route(3, "showPublicClassRoom", "closePublicClassRoom");
        route(4, "showSmallClassRoom", "closeSmallClassRoom");
        route(5, "showNormalClassReplay", "closeNormalClassReplay");
        route(6, "showPublicClassReplay", "closePublicClassReplay");
        route(7, "showSmallClassReplay", "closeSmallClassReplay");
    }

    QWidget* window(int status) const
    {
        const auto found = windows.find(status);
        return found == windows.end() ? nullptr : found->second.get();
    }

protected:
    void route(int status, const char* openName, const char* closeName)
    {
        ZmWindowRoute row;
        row.open = [this, status, openName](ZmRouteManager&) {
            return open(status, openName, [status] { return notAvailable(status); });
        };
        row.close = [this, status, closeName](ZmRouteManager&) { return close(status, closeName); };
        QVERIFY(setWindowRoute(status, row));
    }

    template <typename Base> bool open(int status, const char* name, Base base)
    {
        if (unavailable.contains(status))
            return base();
        journal << name;
        splashSeenWhenOpening = splashWindow() != nullptr;
        auto& slot = windows[status];
        if (!slot)
            slot = std::make_unique<QWidget>();
        slot->setWindowTitle(name);
        slot->resize(200, 100);
        slot->show();
        return true;
    }

    bool close(int status, const char* name, bool hideOnly = false)
    {
        journal << name;
        auto found = windows.find(status);
        if (found == windows.end())
            return false;
        if (hideOnly)
            found->second->hide();
        else
            windows.erase(found);
        return true;
    }

    bool showMainRoom() override
    {
        return open(1, "showMainRoom", [this] { return ZmRouteManager::showMainRoom(); });
    }

    void hideMainRoom() override { close(1, "hideMainRoom", true); }
    void closeMainRoom() override { close(1, "closeMainRoom"); }

    void endProgram(int exitCode) override { journal << QString("endProgram %1").arg(exitCode); }
    void afterClassRoomClosed() override { ++logUploads; }

    bool lessonPackageReady(int status) override
    {
        journal << QString("package check %1").arg(status);
        return realPackageCheck ? ZmRouteManager::lessonPackageReady(status) : packageReady;
    }
};

void post(ZmRouteManager& router, QEvent* event)
{
    QCoreApplication::postEvent(&router, event);
    QCoreApplication::sendPostedEvents(&router);
}

void postStatus(ZmRouteManager& router, int status)
{
    post(router, new ZmAppStatusEvent(status));
}

void postCode(ZmRouteManager& router, int code)
{
    post(router, new ZmAppEvent(code));
}

// The end question a package download shows when it fails, once it is visible.
CancelOkWarningDlg* visibleEndQuestion()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<CancelOkWarningDlg*>(widget);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

class TestRouteManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_splashPicture;

private slots:
    void initTestCase()
    {
        QImage picture(60, 40, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        m_splashPicture = m_dir.filePath("splash.bmp");
        QVERIFY(picture.save(m_splashPicture, "BMP"));
        // The lesson's package is in place, so the small class and its replay go on to their windows.
        QVERIFY(QDir().mkpath(OfflineLessonResManager::offlineLessonDir() + "/880213"));
    }

    void init()
    {
        AppGlobalData::instance()->launch.appType = AppType_None;
        AppGlobalData::instance()->lesson.lessonId = "880213";
        QVERIFY(createSplashWindow(m_splashPicture));
    }

    void cleanup() { closeSplashWindow(); }

    void eventTypes()
    {
        QCOMPARE(int(ZmAppStatusEvent::kType), 2617);
        QCOMPARE(int(ZmAppEvent::kType), 2631);
        QCOMPARE(ZmAppStatusEvent(4).status(), 4);
        QCOMPARE(ZmAppEvent(2).code(), 2);
    }

    // Windows not built yet: every status is reported as not available and nothing changes.
    void windowsNotBuiltYet_data()
    {
        QTest::addColumn<int>("status");
        for (int status = 1; status <= 7; ++status)
            QTest::addRow("%s", qPrintable(ZmRouteManager::statusName(status))) << status;
    }

    void windowsNotBuiltYet()
    {
        QFETCH(int, status);
        ZmRouteManager router;
        router.init();
        QVERIFY(!router.isVisible());
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QString("ZmRouteManager::showByStatus status %1: the %2 is not available")
                                            .arg(status)
                                            .arg(ZmRouteManager::statusName(status))));
        postStatus(router, status);
        QCOMPARE(router.currentStatus(), 0);
        QVERIFY(splashWindow());
    }

    // The first real window removes the splash, after it is shown.
    void firstWindowClosesTheSplash()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        QCOMPARE(router.currentStatus(), 1);
        QVERIFY(router.splashSeenWhenOpening);
        QVERIFY(!splashWindow());
        QVERIFY(router.window(1)->isVisible());
        QCOMPARE(router.journal, QStringList{"showMainRoom"});
    }

    void unavailableWindowKeepsTheCurrentOne()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        router.unavailable << AppStartStatus_PublicClassRoom;
        router.journal.clear();
        QTest::ignoreMessage(QtWarningMsg,
                             "ZmRouteManager::showByStatus status 3: the public class room is not available");
        postStatus(router, AppStartStatus_PublicClassRoom);
        QCOMPARE(router.currentStatus(), 1);
        QVERIFY(router.journal.isEmpty());
        QVERIFY(router.window(1)->isVisible());
    }

    // The new window opens before the old one closes; the main window only hides.
    void switchOpensBeforeClosing()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        postStatus(router, AppStartStatus_NormalClassRoom);
        postStatus(router, AppStartStatus_PublicClassRoom);
        QCOMPARE(router.journal, (QStringList{"showMainRoom", "ShowClassRoom", "hideMainRoom", "showPublicClassRoom",
                                              "closeNormalClassRoom"}));
        QCOMPARE(router.currentStatus(), 3);
        QVERIFY(router.window(1) && !router.window(1)->isVisible());
        QVERIFY(!router.window(2));
    }

    void repeatedAndUnknownStatusesChangeNothing()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_SmallClassReplay);
        postStatus(router, AppStartStatus_SmallClassReplay);
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager::showByStatus unknown status 9 - the current window stays");
        postStatus(router, 9);
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager::showByStatus unknown status 0 - the current window stays");
        postStatus(router, 0);
        QCOMPARE(router.journal, (QStringList{"package check 7", "showSmallClassReplay"}));
        QCOMPARE(router.currentStatus(), 7);
    }

    void roomEnds_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("room");
        QTest::addColumn<QStringList>("journal");
        QTest::addColumn<int>("status");

        QTest::newRow("started for the lesson: the room closes")
            << int(AppType_JoinClass) << int(AppStartStatus_NormalClassRoom) << QStringList{"closeNormalClassRoom"}
            << 2;
        QTest::newRow("public room started for the lesson")
            << int(AppType_JoinClass) << int(AppStartStatus_PublicClassRoom) << QStringList{"closePublicClassRoom"}
            << 3;
        QTest::newRow("entered from the home page: back to the main window")
            << int(AppType_None) << int(AppStartStatus_NormalClassRoom)
            << QStringList{"showMainRoom", "closeNormalClassRoom"} << 1;
    }

    void roomEnds()
    {
        QFETCH(int, appType);
        QFETCH(int, room);
        FakeRouter router;
        postStatus(router, room);
        router.journal.clear();
        AppGlobalData::instance()->launch.appType = appType;
        postCode(router, AppEventCode_ClassRoomEnded);
        QTEST(router.journal, "journal");
        QTEST(router.currentStatus(), "status");
    }

    // A missing lesson package: its download starts, the splash and the current window stay, and the status the
    // downloader posts again once the package is in place opens the room.
    void missingPackageIsDownloadedFirst()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        router.packageReady = false;
        router.journal.clear();
        QVERIFY(createSplashWindow(m_splashPicture));
        postStatus(router, AppStartStatus_SmallClassRoom);
        QCOMPARE(router.journal, QStringList{"package check 4"});
        QCOMPARE(router.currentStatus(), 1);
        QVERIFY(splashWindow());

        router.packageReady = true;
        postStatus(router, AppStartStatus_SmallClassRoom);
        QCOMPARE(router.journal,
                 (QStringList{"package check 4", "package check 4", "showSmallClassRoom", "hideMainRoom"}));
        QCOMPARE(router.currentStatus(), 4);
        QVERIFY(!splashWindow());
    }

    // Start statuses for a lesson whose package is being downloaded start no second download; the running
    // one opens the room when it ends. Once it has ended, a new request downloads again.
    void onePackageDownloadPerLesson()
    {
        ZmTest::Simulator sim;
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        sim.pointUrlConfig();
        const QByteArray package = ZmTest::zipBytes({{"index.html", "<html>lesson</html>"}});
        QVERIFY(!sim.putFile("lessons/880299.zip", package).isEmpty());
        const QJsonObject reply{{"zip_url", sim.url("/updates/get/lessons/880299.zip")},
                                {"md5", QString(QCryptographicHash::hash(package, QCryptographicHash::Md5).toHex())},
                                {"size", QString::number(package.size())},
                                {"code", "0"},
                                {"delay_ms", 300}};
        int status = 0;
        sim.control("POST", "/_control/updates/course_zip", QJsonDocument(reply).toJson(), &status);
        QCOMPARE(status, 200);

        const QString folder = OfflineLessonResManager::offlineLessonDir() + "/880299";
        QDir(folder).removeRecursively();
        AppGlobalData::instance()->lesson.lessonId = "880299";
        FakeRouter router;
        router.realPackageCheck = true;
        OfflineLessonResDownloader::setStartStatusPoster(
            [&router](int posted) { QCoreApplication::postEvent(&router, new ZmAppStatusEvent(posted)); });

        const QString ignored = "ZmRouteManager::showByStatus status 4: the offline package of lesson 880299 is "
                                "being downloaded already; the request is ignored";
        for (int i = 0; i < 3; ++i)
            QTest::ignoreMessage(QtInfoMsg, qPrintable(ignored));
        for (int i = 0; i < 4; ++i)
            postStatus(router, AppStartStatus_SmallClassRoom);
        QTRY_COMPARE_WITH_TIMEOUT(router.currentStatus(), 4, 30000);
        QCOMPARE(router.journal.count("showSmallClassRoom"), 1);
        QCOMPARE(sim.requests("/material/lesson/course/zip").size(), 1);
        QCOMPARE(sim.requests("/updates/get/lessons/880299.zip").size(), 1);
        QVERIFY(QFileInfo(folder + "/index.html").isFile());

        // The download has ended: a lesson whose package went missing again downloads it anew.
        postStatus(router, AppStartStatus_MainRoom);
        QVERIFY(QDir(folder).removeRecursively());
        postStatus(router, AppStartStatus_SmallClassRoom);
        QTRY_COMPARE_WITH_TIMEOUT(router.currentStatus(), 4, 30000);
        QCOMPARE(sim.requests("/material/lesson/course/zip").size(), 2);
        OfflineLessonResDownloader::setStartStatusPoster(nullptr);
    }

    // A failed download waits for the user's answer: until then it still holds its lesson; once given up, a new
    // request starts a new download.
    void givenUpDownloadLetsTheLessonGo()
    {
        ZmTest::Simulator sim;
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        sim.pointUrlConfig();
        const QJsonObject reply{
            {"zip_url", sim.url("/updates/get/lessons/missing.zip")}, {"md5", "0"}, {"size", "10"}, {"code", "0"}};
        int status = 0;
        sim.control("POST", "/_control/updates/course_zip", QJsonDocument(reply).toJson(), &status);
        QCOMPARE(status, 200);

        QDir(OfflineLessonResManager::offlineLessonDir() + "/880300").removeRecursively();
        AppGlobalData::instance()->lesson.lessonId = "880300";
        FakeRouter router;
        router.realPackageCheck = true;
        postStatus(router, AppStartStatus_SmallClassReplay);
        QTRY_VERIFY_WITH_TIMEOUT(visibleEndQuestion(), 30000);
        QTest::ignoreMessage(QtInfoMsg, "ZmRouteManager::showByStatus status 7: the offline package of lesson 880300 "
                                        "is being downloaded already; the request is ignored");
        postStatus(router, AppStartStatus_SmallClassReplay);
        QCOMPARE(sim.requests("/material/lesson/course/zip").size(), 1);

        const QPointer<CancelOkWarningDlg> question = visibleEndQuestion();
        auto* cancel = question->findChild<QPushButton*>("cancelBtn");
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_VERIFY(question.isNull());
        postStatus(router, AppStartStatus_SmallClassReplay);
        QCOMPARE(sim.waitForRequests(2, "/material/lesson/course/zip").size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(visibleEndQuestion(), 30000);
        const QPointer<CancelOkWarningDlg> second = visibleEndQuestion();
        QVERIFY(second);
        cancel = second->findChild<QPushButton*>("cancelBtn");
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_VERIFY(second.isNull());
        QCOMPARE(router.currentStatus(), 0);
    }

    void downloadGivenUp_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<QStringList>("journal");
        QTest::newRow("started for the lesson: the program ends with -1")
            << int(AppType_JoinClass) << QStringList{"endProgram -1"};
        QTest::newRow("started for the replay") << int(AppType_Playback) << QStringList{"endProgram -1"};
        QTest::newRow("from the home page: nothing happens") << int(AppType_None) << QStringList{};
    }

    void downloadGivenUp()
    {
        QFETCH(int, appType);
        FakeRouter router;
        AppGlobalData::instance()->launch.appType = appType;
        router.slotOfflineResDownloadUserCallOff(nullptr);
        QTEST(router.journal, "journal");
    }

    void replayEndsFromTheHomePage()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_PublicClassReplay);
        router.journal.clear();
        postCode(router, AppEventCode_ReplayEnded);
        QCOMPARE(router.journal, (QStringList{"showMainRoom", "closePublicClassReplay"}));
        QCOMPARE(router.currentStatus(), 1);
    }

    // A replay started from the command line ends the program after closing the replay.
    void replayEndsAReplayStart()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_NormalClassReplay);
        router.journal.clear();
        AppGlobalData::instance()->launch.appType = AppType_Playback;
        postCode(router, AppEventCode_ReplayEnded);
        QCOMPARE(router.journal, (QStringList{"closeNormalClassReplay", "endProgram 0"}));
    }

    void mainWindowCloses()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        postCode(router, AppEventCode_MainRoomClosed);
        QCOMPARE(router.journal, (QStringList{"showMainRoom", "closeMainRoom"}));
        QVERIFY(!router.window(1));
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager::onAppEvent unknown event code 5");
        postCode(router, 5);
    }

    // The run's logs go up after a class room's window was closed, not after a replay's or a close without window.
    void logsGoUpAfterAClassRoomCloses()
    {
        FakeRouter router;
        AppGlobalData::instance()->launch.appType = AppType_JoinClass;
        postStatus(router, AppStartStatus_NormalClassRoom);
        postCode(router, AppEventCode_ClassRoomEnded);
        QCOMPARE(router.logUploads, 1);
        router.closeByStatus(AppStartStatus_NormalClassRoom); // already closed
        QCOMPARE(router.logUploads, 1);
        postStatus(router, AppStartStatus_PublicClassReplay);
        router.closeByStatus(AppStartStatus_PublicClassReplay);
        QCOMPARE(router.logUploads, 1);
        QCOMPARE(router.journal,
                 (QStringList{"ShowClassRoom", "closeNormalClassRoom", "closeNormalClassRoom", "showPublicClassReplay",
                              "closeNormalClassRoom", "closePublicClassReplay"}));
    }

    // Rows registered for the process reach every router created afterwards; a route without open removes its
    // row again. The main window and unknown statuses have no rows.
    void registeredRowsReachNewRouters()
    {
        QStringList calls;
        ZmWindowRoute replay;
        replay.open = [&calls](ZmRouteManager& router) {
            calls << QString("open at %1").arg(router.currentStatus());
            return true;
        };
        replay.close = [&calls](ZmRouteManager&) {
            calls << "close";
            return true;
        };
        QVERIFY(ZmRouteManager::registerWindowRoute(AppStartStatus_NormalClassReplay, replay));
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager: no window route for status 1");
        QVERIFY(!ZmRouteManager::registerWindowRoute(AppStartStatus_MainRoom, replay));
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager: no window route for status 8");
        QVERIFY(!ZmRouteManager::registerWindowRoute(8, replay));
        {
            ZmRouteManager router;
            QVERIFY(router.hasWindowRoute(AppStartStatus_NormalClassReplay));
            QVERIFY(!router.hasWindowRoute(AppStartStatus_MainRoom));
            postStatus(router, AppStartStatus_NormalClassReplay);
            QCOMPARE(router.currentStatus(), 5);
            QVERIFY(!splashWindow());
            router.closeByStatus(AppStartStatus_NormalClassReplay);
        }
        QCOMPARE(calls, (QStringList{"open at 0", "close"}));

        QVERIFY(ZmRouteManager::registerWindowRoute(AppStartStatus_NormalClassReplay, ZmWindowRoute()));
        ZmRouteManager later;
        QVERIFY(!later.hasWindowRoute(AppStartStatus_NormalClassReplay));
        QTest::ignoreMessage(QtWarningMsg, "ZmRouteManager::showByStatus status 5: the normal-class replay is not "
                                           "available");
        postStatus(later, AppStartStatus_NormalClassReplay);
        QCOMPARE(later.currentStatus(), 0);
    }

    // Ends reported while the router has no window of that kind change nothing.
    void endsWithoutWindowsAreHarmless()
    {
        ZmRouteManager router;
        AppGlobalData::instance()->launch.appType = AppType_JoinClass;
        postCode(router, AppEventCode_ClassRoomEnded);
        postCode(router, AppEventCode_MainRoomClosed);
        QCOMPARE(router.currentStatus(), 0);
        QVERIFY(splashWindow());
    }

    // Ending the program ends the running event loop with the code, so that start-up's teardown runs. Last: the
    // toolkit keeps every later event loop of this thread from running.
    void endProgramEndsTheEventLoop()
    {
        ZmRouteManager router;
        AppGlobalData::instance()->launch.appType = AppType_JoinClass;
        QEventLoop loop;
        QTimer::singleShot(0, &router, [&router] { router.slotOfflineResDownloadUserCallOff(nullptr); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
        QCOMPARE(loop.exec(), -1);
    }
};

ZM_TEST_MAIN(TestRouteManager)
#include "tst_routemanager.moc"
