// The window router's intake: start statuses and window ends posted as application events.
#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "net/packages/OfflineLessonResManager.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/SplashWindow.h"
#include "ui/updates/OfflineLessonResDownloader.h"
#include "web/ZmClassRoomRoute.h"
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

// What the fake router and its rooms did, in order.
QStringList g_journal;

// A class room of status Status: a plain widget with the room's operations, journalled.
template <int Status> class FakeRoom : public QWidget
{
public:
    static inline bool splashAtRelease = false;

    FakeRoom() { g_journal << QString("room %1 created").arg(Status); }
    ~FakeRoom() override { g_journal << QString("room %1 deleted").arg(Status); }

    void showRoom()
    {
        resize(200, 100);
        show();
        g_journal << QString("room %1 shown").arg(Status);
    }
    void releaseLiveResources()
    {
        splashAtRelease = splashWindow() != nullptr;
        g_journal << QString("room %1 released").arg(Status);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        g_journal << QString("room %1 closed").arg(Status);
        QWidget::closeEvent(event);
    }
};

// A router whose windows are plain widgets, with a journal of the operations it ran. Statuses listed in
// unavailable behave like windows that are not built. The main window is the router's own; the rooms are rows
// made with zmClassRoomRoute, the replays rows of their own.
class FakeRouter : public ZmRouteManager
{
public:
    QStringList& journal = g_journal;
    QSet<int> unavailable;
    bool packageReady = true;
    bool realPackageCheck = false; // the router's own check, which downloads a missing package
    std::map<int, std::unique_ptr<QWidget>> windows;
    bool splashSeenWhenOpening = false;
    int logUploads = 0;        // afterClassRoomClosed runs
    bool sleepBlocked = false; // the last setSleepBlocked

    FakeRouter()
    {
        journal.clear();
        room(2, zmClassRoomRoute<FakeRoom<2>>(2, "ShowClassRoom: m_pNormalClassRoom !=nullptr"));
        room(3, zmClassRoomRoute<FakeRoom<3>>(3));
        room(4, zmClassRoomRoute<FakeRoom<4>>(4));
        route(5, "showNormalClassReplay", "closeNormalClassReplay");
        route(6, "showPublicClassReplay", "closePublicClassReplay");
        route(7, "showSmallClassReplay", "closeSmallClassReplay");
    }

    QWidget* window(int status) const
    {
        if (auto* room = qobject_cast<QWidget*>(routedWindow(status)))
            return room;
        const auto found = windows.find(status);
        return found == windows.end() ? nullptr : found->second.get();
    }

protected:
    void room(int status, ZmWindowRoute row)
    {
        const auto open = row.open;
        row.open = [this, status, open](ZmRouteManager& router) {
            return unavailable.contains(status) ? notAvailable(status) : open(router);
        };
        QVERIFY(setWindowRoute(status, row));
    }

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
    void afterClassRoomClosed() override
    {
        ++logUploads;
        journal << QString("logs uploaded at status %1").arg(currentStatus());
    }
    void setSleepBlocked(bool blocked) override
    {
        sleepBlocked = blocked;
        journal << (blocked ? "keep awake" : "may sleep");
    }

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

    // Rooms and replays without rows: each status is reported as not available and nothing changes.
    void windowsNotBuiltYet_data()
    {
        QTest::addColumn<int>("status");
        for (int status = 2; status <= 7; ++status)
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
        QCOMPARE(router.journal, (QStringList{"keep awake", "may sleep"}));
        QVERIFY(router.window(1)->isVisible());
    }

    // The new window opens before the old one closes: the splash goes, the old room is released, closed and
    // deleted, the logs go up, and only then is the new status current. The main window only hides; from room to
    // room the system stays awake.
    void switchOpensBeforeClosing()
    {
        FakeRouter router;
        postStatus(router, AppStartStatus_MainRoom);
        postStatus(router, AppStartStatus_NormalClassRoom);
        QVERIFY(createSplashWindow(m_splashPicture));
        postStatus(router, AppStartStatus_PublicClassRoom);
        QCOMPARE(router.journal,
                 (QStringList{"showMainRoom", "keep awake", "room 2 created", "room 2 shown", "hideMainRoom",
                              "keep awake", "room 3 created", "room 3 shown", "room 2 released", "room 2 closed",
                              "room 2 deleted", "logs uploaded at status 2"}));
        QVERIFY(!FakeRoom<2>::splashAtRelease);
        QCOMPARE(router.currentStatus(), 3);
        QVERIFY(router.sleepBlocked);
        QVERIFY(router.window(1) && !router.window(1)->isVisible());
        QVERIFY(!router.window(2));
        QVERIFY(router.window(3)->isVisible());
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
        QCOMPARE(router.journal, (QStringList{"package check 7", "keep awake", "showSmallClassReplay"}));
        QCOMPARE(router.currentStatus(), 7);
    }

    // A room's end: back to the main window with the logs uploaded, or, in a program started for the lesson,
    // the room closes without an upload and without a main window; a given-up entry there ends the program
    // with its own status first, so that the room's close, the last window's, cannot end it with 0.
    void roomEnds_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("room");
        QTest::addColumn<QStringList>("journal");
        QTest::addColumn<int>("status");

        const QStringList closeNormal{"may sleep", "room 2 released", "room 2 closed", "room 2 deleted"};
        const QStringList closeSmall{"may sleep", "room 4 released", "room 4 closed", "room 4 deleted"};
        const int ended = AppEventCode_ClassRoomEnded;
        const int givenUp = AppEventCode_ClassEntryGivenUp;
        QTest::newRow("started for the lesson: the room closes")
            << ended << int(AppType_JoinClass) << 2 << closeNormal << 2;
        QTest::newRow("public room started for the lesson")
            << ended << int(AppType_JoinClass) << 3
            << QStringList{"may sleep", "room 3 released", "room 3 closed", "room 3 deleted"} << 3;
        QTest::newRow("entered from the home page: back to the main window")
            << ended << int(AppType_None) << 2
            << QStringList{"showMainRoom"} + closeNormal + QStringList{"logs uploaded at status 2"} << 1;
        QTest::newRow("small room entered from the home page")
            << ended << int(AppType_None) << 4
            << QStringList{"showMainRoom"} + closeSmall + QStringList{"logs uploaded at status 4"} << 1;
        QTest::newRow("entry given up, started for the lesson: the program ends with 5")
            << givenUp << int(AppType_JoinClass) << 2 << QStringList{"endProgram 5"} + closeNormal << 2;
        QTest::newRow("small room's entry given up, started for the lesson")
            << givenUp << int(AppType_JoinClass) << 4 << QStringList{"endProgram 5"} + closeSmall << 4;
        QTest::newRow("entry given up from the home page: back to the main window")
            << givenUp << int(AppType_None) << 2
            << QStringList{"showMainRoom"} + closeNormal + QStringList{"logs uploaded at status 2"} << 1;
    }

    void roomEnds()
    {
        QFETCH(int, code);
        QFETCH(int, appType);
        QFETCH(int, room);
        FakeRouter router;
        postStatus(router, room);
        router.journal.clear();
        AppGlobalData::instance()->launch.appType = appType;
        postCode(router, code);
        QTEST(router.journal, "journal");
        QTEST(router.currentStatus(), "status");
        QVERIFY(!router.window(room));
        QVERIFY(!router.sleepBlocked);
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
        QCOMPARE(router.journal, (QStringList{"package check 4", "package check 4", "keep awake", "room 4 created",
                                              "room 4 shown", "hideMainRoom"}));
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
        QTRY_COMPARE(router.currentStatus(), 4);
        QCOMPARE(router.journal.count("room 4 created"), 1);
        QCOMPARE(sim.requests("/material/lesson/course/zip").size(), 1);
        QCOMPARE(sim.requests("/updates/get/lessons/880299.zip").size(), 1);
        QVERIFY(QFileInfo(folder + "/index.html").isFile());

        // The download has ended: a lesson whose package went missing again downloads it anew.
        postStatus(router, AppStartStatus_MainRoom);
        QVERIFY(QDir(folder).removeRecursively());
        postStatus(router, AppStartStatus_SmallClassRoom);
        QTRY_COMPARE(router.currentStatus(), 4);
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
        QTRY_VERIFY(visibleEndQuestion());
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
        QTRY_VERIFY(visibleEndQuestion());
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
        QCOMPARE(router.journal, (QStringList{"showMainRoom", "may sleep", "closePublicClassReplay"}));
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
        QCOMPARE(router.journal, (QStringList{"may sleep", "closeNormalClassReplay", "endProgram 0"}));
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
        postStatus(router, AppStartStatus_NormalClassRoom);
        router.closeByStatus(AppStartStatus_NormalClassRoom);
        QCOMPARE(router.logUploads, 1);
        router.closeByStatus(AppStartStatus_NormalClassRoom); // already closed
        postStatus(router, AppStartStatus_PublicClassReplay);
        router.closeByStatus(AppStartStatus_PublicClassReplay);
        QCOMPARE(router.logUploads, 1);
        QCOMPARE(router.journal,
                 (QStringList{"keep awake", "room 2 created", "room 2 shown", "may sleep", "room 2 released",
                              "room 2 closed", "room 2 deleted", "logs uploaded at status 2", "may sleep", "keep awake",
                              "showPublicClassReplay", "may sleep", "closePublicClassReplay"}));
    }

    // The system stays awake exactly while a room or replay is open, across switches between them too.
    void keepsAwakeWhileARoomOrReplayIsOpen_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<QStringList>("steps"); // a status to post; "x<status>": one not available; "end<code>"
        QTest::addColumn<QList<bool>>("awake"); // after each step

        QTest::newRow("room to room and back home")
            << int(AppType_None) << QStringList{"1", "2", "3", "4", "1"} << QList<bool>{false, true, true, true, false};
        QTest::newRow("room to replay") << int(AppType_None) << QStringList{"2", "5", "1"}
                                        << QList<bool>{true, true, false};
        QTest::newRow("room ends at home")
            << int(AppType_None) << QStringList{"1", "3", "end0"} << QList<bool>{false, true, false};
        QTest::newRow("room ends a lesson start")
            << int(AppType_JoinClass) << QStringList{"2", "end0"} << QList<bool>{true, false};
        QTest::newRow("replay ends a replay start")
            << int(AppType_Playback) << QStringList{"6", "end1"} << QList<bool>{true, false};
        QTest::newRow("room not available at home")
            << int(AppType_None) << QStringList{"1", "x3"} << QList<bool>{false, false};
        QTest::newRow("room not available from a room")
            << int(AppType_None) << QStringList{"2", "x3"} << QList<bool>{true, true};
    }

    void keepsAwakeWhileARoomOrReplayIsOpen()
    {
        QFETCH(int, appType);
        QFETCH(QStringList, steps);
        QFETCH(QList<bool>, awake);
        AppGlobalData::instance()->launch.appType = appType;
        FakeRouter router;
        QList<bool> seen;
        for (const QString& step : steps) {
            if (step.startsWith("end")) {
                postCode(router, step.mid(3).toInt());
            } else if (step.startsWith("x")) {
                router.unavailable << step.mid(1).toInt();
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not available$"));
                postStatus(router, step.mid(1).toInt());
            } else {
                postStatus(router, step.toInt());
            }
            seen << router.sleepBlocked;
        }
        QCOMPARE(seen, awake);
    }

    // A room's row clears the member map before the room opens, and the teacher's muted-audio flag when the
    // teacher's room closes.
    void roomRowsClearTheLessonState_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("mutedAfterClose");
        QTest::newRow("teacher") << 2 << false;
        QTest::newRow("pupil") << 1 << true;
    }

    void roomRowsClearTheLessonState()
    {
        QFETCH(int, accountType);
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.accountType = accountType;
        UserInfo member;
        member.userId = "7001";
        data->addUser(member);
        FakeRouter router;
        postStatus(router, AppStartStatus_SmallClassRoom);
        QVERIFY(data->memberMap()->isEmpty());
        data->teacherAudioMuted = true;
        router.closeByStatus(AppStartStatus_SmallClassRoom);
        QTEST(data->teacherAudioMuted.load(), "mutedAfterClose");
        data->teacherAudioMuted = false;
        data->launch.accountType = 0;
    }

    // A room still kept when its status opens: the normal room logs and keeps it, the others replace it.
    void existingRoomIsKeptOrReplaced_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("journal");
        QTest::newRow("normal room") << 2 << QStringList{"room 2 created", "keep awake"};
        QTest::newRow("public room") << 3
                                     << QStringList{"room 3 created", "keep awake", "room 3 deleted", "room 3 created",
                                                    "room 3 shown"};
    }

    void existingRoomIsKeptOrReplaced()
    {
        QFETCH(int, status);
        FakeRouter router;
        const QPointer<QWidget> existing(status == 2 ? static_cast<QWidget*>(new FakeRoom<2>) : new FakeRoom<3>);
        router.setRoutedWindow(status, existing);
        if (status == 2)
            QTest::ignoreMessage(QtInfoMsg, "ShowClassRoom: m_pNormalClassRoom !=nullptr");
        postStatus(router, status);
        QTEST(router.journal, "journal");
        QCOMPARE(router.currentStatus(), status);
        QCOMPARE(existing.isNull(), status != 2);
        QVERIFY(router.window(status));
    }

    // The router deletes the rooms it still keeps when it goes; a room deleted elsewhere is forgotten.
    void routerDeletesTheRoomsItKeeps()
    {
        {
            FakeRouter router;
            postStatus(router, AppStartStatus_NormalClassRoom);
            router.setRoutedWindow(AppStartStatus_PublicClassRoom, new FakeRoom<3>);
            delete router.routedWindow(AppStartStatus_PublicClassRoom);
            QVERIFY(!router.routedWindow(AppStartStatus_PublicClassRoom));
            router.setRoutedWindow(AppStartStatus_MainRoom, router.routedWindow(AppStartStatus_NormalClassRoom));
            QVERIFY(!router.routedWindow(AppStartStatus_MainRoom));
            router.journal.clear();
        }
        QCOMPARE(g_journal, QStringList{"room 2 deleted"});
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
