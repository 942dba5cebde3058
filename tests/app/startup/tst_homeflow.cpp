// The program's flow from its main window, in one process as main() assembles it: the home page signs a pupil in and
// enters a one-to-one class, which comes in through the real class-entry steps against the class service simulator,
// its message server and the simulated RTC engine; leaving it brings the main window back (home page loaded again)
// before the room is released and deleted, then the run's logs go up, then the main window is the current status.
// Every request of the lesson carries its period id, beyond 32 bits, in full. Then, with the application's own event
// loop: how each way of ending leaves the loop (the program's exit code).
#include "HomePageTestSupport.h"
#include "LogCapture.h"
#include "NormalRoomTestSupport.h"
#include "SecretScan.h"
#include "Simulator.h"
#include "TestFiles.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"
#include "app/tasks/QRunContextManager.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/OwedLogUpload.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/DeviceInfo.h"
#include "rooms/normal/NormalClassRoomRoute.h"
#include "rooms/normal/ZmClassRoomDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "web/ZmMainRoomDlg.h"
#include "web/ZmMainWebRoom.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace {

constexpr int kNoEnd = 99;
// A period id beyond 32 bits: six significant digits or a 32-bit field would change it.
constexpr char kPeriodId[] = "4294967301";

// A router with the rows main() registers, whose log upload is journalled around the real one.
class JournalRouter : public ZmRouteManager
{
public:
    QStringList journal;

protected:
    void afterClassRoomClosed() override
    {
        journal << QString("upload starts at status %1").arg(currentStatus());
        ZmRouteManager::afterClassRoomClosed();
        journal << "upload ended";
    }
};

// The simulator's lesson reply for the period kPeriodId.
QByteArray lessonReply(const ZmTest::Simulator& sim)
{
    QFile fixture(ZmTest::sourceDir() + "/tests/sim/fixtures/restful/lesson.json");
    if (!fixture.open(QIODevice::ReadOnly))
        return QByteArray();
    QString text = QString::fromUtf8(fixture.readAll());
    QString wsBase = sim.baseUrl();
    wsBase.replace(0, 4, "ws");
    text.replace("{{ws_base}}", wsBase).replace("{{base}}", sim.baseUrl());
    text.replace("\"periodId\": 20240611093", QString("\"periodId\": %1").arg(QLatin1String(kPeriodId)));
    return text.toUtf8();
}

// Every period id the simulator received: "<where> <value>" for each request parameter, form field or path part
// and each class message that names one.
QStringList periodIdsReceived(ZmTest::Simulator& sim)
{
    QStringList found;
    for (const QJsonValue& value : sim.requests()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value("path").toString();
        if (entry.contains("period_id"))
            found << path + " " + entry.value("period_id").toString();
        for (const char* field : {"params", "query_params", "form", "unsigned_params"}) {
            for (const auto& pair : ZmTest::Simulator::pairsOf(entry.value(QLatin1String(field)))) {
                if (pair.first.compare("periodId", Qt::CaseInsensitive) == 0)
                    found << path + " " + pair.second;
            }
        }
    }
    for (const QJsonValue& frame : sim.messageFrames("text")) {
        const QJsonObject message = frame.toObject().value("json").toObject();
        if (message.contains("periodId"))
            found << "message " + QString::number(message.value("periodId").toVariant().toLongLong());
    }
    return found;
}

// A router whose class room (2) and replay (5) rows are plain windows; the log upload and keep-awake are left out.
class PlainRowsRouter : public ZmRouteManager
{
public:
    PlainRowsRouter()
    {
        for (int status : {int(AppStartStatus_NormalClassRoom), int(AppStartStatus_NormalClassReplay)})
            setWindowRoute(status, HomePageTest::plainWindowRow(status));
    }

protected:
    void afterClassRoomClosed() override {}
    void setSleepBlocked(bool) override {}
};

// Runs the application's event loop as main() does until something ends it; kNoEnd when nothing did in as long as
// any wait of the tests.
int runEventLoop(const std::function<void()>& whenRunning)
{
    QTimer::singleShot(0, qApp, whenRunning);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kNoEnd); });
    guard.start(ZmTest::kWaitMs);
    return QApplication::exec();
}

void post(int status)
{
    ZmRouteManager::postAppStatusEvent(status);
    QCoreApplication::sendPostedEvents(ZmRouteManager::current());
}

} // namespace

class TestHomeFlow : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

private slots:
    void initTestCase()
    {
        UrlConfig::instance();
        QVERIFY(HomePageTest::installOfflineResources());
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        registerNormalClassRoomRoute();
        Whiteboard::setStopAllWaitForTesting(0);
        NormalRoomTest::useCalmProcessor();
    }

    void cleanupTestCase()
    {
        ClassMsgEngine::destroyInstance();
        QTRY_VERIFY(!QRunContextManager::instance()->findRunContext(kApiStepRunContext));
        QVERIFY(waitForOwedLogUploads(ZmTest::kWaitMs));
    }

    void fromTheMainWindowIntoAClassAndBack()
    {
        ZmTest::Simulator::Route lesson;
        lesson.method = "GET";
        lesson.path = "/classroom/lesson/";
        lesson.prefix = true;
        lesson.body = lessonReply(m_sim);
        QVERIFY(lesson.body.contains(kPeriodId));
        QVERIFY(m_sim.program(lesson) >= 0);
        ConfigManager* config = ConfigManager::instance();
        config->ini_SetParam_String(kSelectedCameraKey, "sim-camera-0");
        config->ini_SetParam_String(kSelectedMicrophoneKey, "sim-microphone-0");
        config->ini_SetParam_String(kSelectedSpeakerKey, "sim-speaker-0");
        AppGlobalData::instance()->launch = LaunchInfo();
        AppGlobalData::instance()->launch.webMode = m_sim.baseUrl();
        ZmTest::LogCapture log;

        // The main window with the home page; the pupil signs in and enters the one-to-one class.
        JournalRouter router;
        post(AppStartStatus_MainRoom);
        const QPointer<ZmMainRoomDlg> window = router.mainRoom();
        QVERIFY(window && window->isVisible());
        QVERIFY(HomePageTest::waitForPage(log));
        HomePageTest::run(window->webRoom(), "homeFixture.signIn('pupil')");
        QVERIFY(log.waitFor("ZmMainWebRoom loginsuccess"));
        HomePageTest::run(window->webRoom(), QString("homeFixture.enter('normal', {periodid: %1})").arg(kPeriodId));
        QVERIFY(ZmTest::waitUntil([&router] { return router.routedWindow(AppStartStatus_NormalClassRoom); }));
        const QPointer<ZmClassRoomDlg> room = qobject_cast<ZmClassRoomDlg*>(router.routedWindow(2));
        QVERIFY(room && room->isVisible());
        QVERIFY(!window->isVisible());
        QVERIFY(window->webRoom()->isHeartbeatRunning());
        QCOMPARE(router.currentStatus(), int(AppStartStatus_NormalClassRoom));
        QCOMPARE(AppGlobalData::instance()->launch.userId, QString("100234"));
        QCOMPARE(AppGlobalData::instance()->lesson.periodId, QString(kPeriodId));

        // The room comes in through every step against the simulator and the simulated engine.
        QVERIFY(log.waitFor("runTasks_awaitEnd: result 0 left (1024)"));
        QCOMPARE(m_sim.numberedRequests("50000101").size(), 1);
        QVERIFY(!m_sim.waitForMessageFrames(1, "text").isEmpty());

        // The pupil leaves: the main window comes back first, then the room goes, then the logs, then the status.
        QObject::connect(room, &QObject::destroyed, [&router, window] {
            router.journal << QString("room deleted, main window visible %1, status %2")
                                  .arg(window && window->isVisible())
                                  .arg(router.currentStatus());
        });
        room->onTitleBar_CloseBtn_Clicked();
        auto* question = qobject_cast<CancelOkWarningDlg*>(room->curModalDialog());
        QVERIFY(question);
        QVERIFY(NormalRoomTest::click(question, "okBtn"));
        QVERIFY(ZmTest::waitUntil([&router] { return router.currentStatus() == AppStartStatus_MainRoom; }));
        QCOMPARE(router.journal, (QStringList{"room deleted, main window visible 1, status 2",
                                              "upload starts at status 2", "upload ended"}));
        QVERIFY(room.isNull());
        QVERIFY(window->isVisible());
        QVERIFY(!window->webRoom()->isHeartbeatRunning());
        const QStringList homeLoads = log.linesContaining("ZmMainRoomDlg::loadHomePage");
        QCOMPARE(homeLoads.size(), 2);
        const QString text = log.text();
        QVERIFY(text.lastIndexOf("ZmMainRoomDlg::loadHomePage") <
                text.indexOf("Whiteboard::runScript stopRunningVideo()"));
        QCOMPARE(m_sim.numberedRequests("50000102").size(), 1);
        QVERIFY(!m_sim.ossObjects().isEmpty());

        // The home page loads again and, still signed in, shows the lessons.
        QVERIFY(HomePageTest::waitForPage(log, 2));
        QVERIFY(log.waitFor("ZmMainWebRoom loginsuccess", 2));

        // Nothing the run left behind holds a secret: not what it logged, its log folder, its owed uploads nor the
        // archive it uploaded; neither the page signing secret, the user's token, the class channel's key nor the
        // object-storage credentials.
        const QString dataDir = ConfigManager::instance()->getAppDataDir();
        const QStringList texts =
            QStringList{"log: " + log.text(),
                        "resumeLogInfo.json: " + QString::fromUtf8(ZmTest::readFile(dataDir + "/resumeLogInfo.json"))} +
            ZmTest::filesUnder(dataDir + "/logs") + ZmTest::uploadedArchiveFiles(m_sim);
        const QString found = ZmTest::firstSecretIn(
            texts, {ZmTest::kPageSigningSecret, AppGlobalData::instance()->launch.token,
                    AppGlobalData::instance()->lesson.channelKey, ZmTest::Simulator::ossAccessKeySecret(),
                    ZmTest::Simulator::ossSecurityToken()});
        QVERIFY2(found.isEmpty(), qPrintable(found));

        // Every request and message of the lesson named its period in full.
        const QStringList periods = periodIdsReceived(m_sim);
        QVERIFY(periods.size() >= 4);
        for (const QString& period : periods)
            QVERIFY2(period.endsWith(QString(" ") + kPeriodId), qPrintable(period));
        ClassMsgEngine::destroyInstance();
    }

    // How the program ends: the main window's close and a class room's end in a lesson start close the last window
    // (0); a replay's end in a replay start ends the program (0); a lesson package given up in a lesson start ends it
    // with -1.
    void exitCodes_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("status"); // the window shown before the end
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("main window closed") << int(AppType_None) << 1 << "code 2" << 0;
        QTest::newRow("class room ends a lesson start") << int(AppType_JoinClass) << 2 << "code 0" << 0;
        QTest::newRow("replay ends a replay start") << int(AppType_Playback) << 5 << "code 1" << 0;
        QTest::newRow("package given up in a lesson start") << int(AppType_JoinClass) << 2 << "package" << -1;
    }

    void exitCodes()
    {
        QFETCH(int, appType);
        QFETCH(int, status);
        QFETCH(QString, end);
        AppGlobalData::instance()->launch.appType = appType;
        ZmTest::LogCapture log;
        PlainRowsRouter router;
        post(status);
        QCOMPARE(router.currentStatus(), status);
        const int code = end.startsWith("code ") ? end.mid(5).toInt() : -1;
        const int result = runEventLoop([&router, code] {
            if (code >= 0)
                ZmRouteManager::postAppEvent(code);
            else
                router.slotOfflineResDownloadUserCallOff(nullptr);
        });
        QTEST(result, "exitCode");
        if (status == AppStartStatus_MainRoom)
            QVERIFY(router.mainRoom() && !router.mainRoom()->isVisible());
        AppGlobalData::instance()->launch.appType = AppType_None;
    }
};

ZM_TEST_MAIN(TestHomeFlow)
#include "tst_homeflow.moc"
