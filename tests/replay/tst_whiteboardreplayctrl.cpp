// The whiteboard replay controller with the real embedded browser and the simulator's fixture playback page: the
// signed address the page server receives, the states on load start, full buffering and time-out, and pause and
// seek reaching the page.
#include "replay/controllers/WhiteboardReplayCtrl.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "net/api/UrlSigner.h"
#include "web/whiteboard/Whiteboard.h"

#include "LogCapture.h"
#include "ReplayTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QUrlQuery>

using ZmTest::LogCapture;
using ZmTest::Simulator;

namespace {

// How the fixture page's reports of what it received appear in the program's log.
const QString kCallMarker = QStringLiteral("Whiteboard W2N_Msg_Log ( info ) : ");
constexpr int kShortTimeoutMs = 300;

const QString kLessonId = QStringLiteral("880213");
const QString kPeriodId = QStringLiteral("20240611093");

// A whiteboard on screen with its replay controller and the log captured.
struct BoardReplay
{
    LogCapture log;
    Whiteboard board;
    WhiteboardReplayCtrl ctrl;
    QSignalSpy states{&ctrl, &ReplayCtrl::stateChanged};

    BoardReplay()
    {
        board.resize(900, 640);
        board.show();
    }

    QStringList calls() const { return log.linesAfter(kCallMarker); }
    bool waitForCall(const QString& call, int count = 1) const { return log.waitFor(kCallMarker + call, count); }
};

// Makes a load timer that still runs fire now: it starts over with a 1 ms interval and the event loop turns once it
// is due. A stopped one stays stopped.
void fireLoadTimerIfRunning(WhiteboardReplayCtrl& ctrl)
{
    ctrl.setLoadTimeoutForTesting(1);
    ZmTest::letTimersFire(50);
}

} // namespace

class TestWhiteboardReplayCtrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        AppGlobalData::instance()->lesson.lessonId = kLessonId;
        AppGlobalData::instance()->lesson.periodId = kPeriodId;
        Whiteboard::setStopAllWaitForTesting(kShortTimeoutMs);
    }

    void init()
    {
        QVERIFY(m_sim.clearRequests());
        UrlConfig::instance()->playbackWhiteboard = m_sim.url(QStringLiteral("/pages/whiteboard/playback"));
    }

    void cleanup() { QVERIFY(m_sim.clearRoutes()); }

    // The page server receives the lesson's ids and part "1" as path segments, and autoplay "0" with the time
    // stamp, the program's version and the signature over exactly these four parameters.
    void loadsTheLessonsSignedPlaybackPage()
    {
        BoardReplay replay;
        const ReplayMediaInfo media{QStringLiteral("ignored"), 1500, 61000};
        QVERIFY(replay.ctrl.init(&replay.board, &media, nullptr));

        const QJsonArray received = m_sim.waitForRequests(1, QStringLiteral("/pages/whiteboard/playback"));
        QVERIFY(!received.isEmpty());
        const QJsonObject request = received.first().toObject();
        QCOMPARE(request.value("path").toString(),
                 QStringLiteral("/pages/whiteboard/playback/%1/%2/1").arg(kLessonId, kPeriodId));
        const QUrlQuery query(request.value("query").toString());
        QCOMPARE(query.queryItemValue("autoplay"), QStringLiteral("0"));
        const QString stamp = query.queryItemValue("t");
        const QString version = query.queryItemValue("appversion");
        QVERIFY(!stamp.isEmpty() && !version.isEmpty());
        const ApiParamList params{{"lessonId", kLessonId}, {"periodId", kPeriodId}, {"partId", "1"}, {"autoplay", "0"}};
        const QString tail = UrlSigner::signQuery(params, stamp, version);
        QCOMPARE(request.value("raw_path").toString(), QStringLiteral("/pages/whiteboard/playback") + tail);

        QCOMPARE(replay.ctrl.mediaInfo().url, m_sim.url(QStringLiteral("/pages/whiteboard/playback")) + tail);
        QCOMPARE(replay.ctrl.mediaInfo().start, 1500);
        QCOMPARE(replay.ctrl.mediaInfo().duration, 61000);
        QVERIFY(replay.log.lines().contains(QStringLiteral("Whiteboard url = ") + replay.ctrl.mediaInfo().url));
    }

    // Loading at every load start, ready at every full buffering; a reload goes through both again.
    void followsThePagesLoadsAndBuffering()
    {
        BoardReplay replay;
        QVERIFY(replay.ctrl.init(&replay.board, nullptr, nullptr));
        QTRY_COMPARE(replay.ctrl.state(), ReplayerState_Ready);
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 2}));

        replay.board.reloadPage();
        QTRY_COMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 2, 1, 2}));
    }

    // A page that never reports full buffering fails the load once the timer runs out; a later report still
    // makes it ready, and a reload after that is loading for good: the timer does not start again.
    void failsWhenThePageIsNotBufferedInTime()
    {
        Simulator::Route blank;
        blank.method = QStringLiteral("GET");
        blank.path = QStringLiteral("/pages/blank");
        blank.prefix = true;
        blank.headers = {{QStringLiteral("Content-Type"), QStringLiteral("text/html")}};
        blank.body = "<!DOCTYPE html><html><body>no board here</body></html>";
        QVERIFY(m_sim.program(blank) > 0);
        UrlConfig::instance()->playbackWhiteboard = m_sim.url(QStringLiteral("/pages/blank"));

        BoardReplay replay;
        QSignalSpy loaded(&replay.board, &Whiteboard::sigWebEngineLoadFinished);
        QVERIFY(replay.ctrl.init(&replay.board, nullptr, nullptr));
        // The short time-out runs only from the load start on, however long the page takes to begin.
        QTRY_COMPARE(ZmTest::statesOf(replay.states), QList<int>{1});
        replay.ctrl.setLoadTimeoutForTesting(kShortTimeoutMs);
        QTRY_COMPARE(replay.ctrl.state(), ReplayerState_LoadFailed);
        QTRY_COMPARE(loaded.size(), 1);
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 3}));

        replay.board.setboardloaded(50);
        QCOMPARE(replay.ctrl.state(), ReplayerState_LoadFailed);
        replay.board.setboardloaded(100);
        QCOMPARE(replay.ctrl.state(), ReplayerState_Ready);

        replay.board.reloadPage();
        QTRY_COMPARE(loaded.size(), 2);
        QTRY_COMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 3, 2, 1}));
        fireLoadTimerIfRunning(replay.ctrl);
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 3, 2, 1}));
    }

    // A buffered report that comes before any load start makes the controller ready at once and stops the timer.
    void bufferedBeforeLoadingIsReadyAndStopsTheTimer()
    {
        WhiteboardReplayCtrl ctrl;
        QSignalSpy states(&ctrl, &ReplayCtrl::stateChanged);
        QVERIFY(ctrl.init(nullptr, nullptr, nullptr));
        ctrl.onWhiteboardBufferFinished(false);
        QCOMPARE(ctrl.state(), ReplayerState_Initial);
        ctrl.onWhiteboardBufferFinished(true);
        fireLoadTimerIfRunning(ctrl);
        QCOMPARE(ZmTest::statesOf(states), (QList<int>{2}));
    }

    void withoutAPageOnlyTheTimerRuns()
    {
        WhiteboardReplayCtrl ctrl;
        ctrl.setLoadTimeoutForTesting(kShortTimeoutMs);
        QVERIFY(ctrl.init(nullptr, nullptr, nullptr));
        ctrl.play(true);
        ctrl.stop();
        QVERIFY(!ctrl.seek(1000, false));
        QVERIFY(!ctrl.seek(1000, true));
        QTRY_COMPARE(ctrl.state(), ReplayerState_LoadFailed);
    }

    // Pause, resume and jumps reach the playback page in order; the clock's regular ticks do not.
    void pauseAndJumpsReachThePage()
    {
        BoardReplay replay;
        QVERIFY(replay.ctrl.init(&replay.board, nullptr, nullptr));
        QTRY_COMPARE(replay.ctrl.state(), ReplayerState_Ready);
        QVERIFY(replay.waitForCall(QStringLiteral("connected playback")));

        replay.ctrl.play(true);
        QVERIFY(replay.ctrl.seek(777, false));
        replay.ctrl.play(false);
        QVERIFY(replay.ctrl.seek(4000000000u, true));
        replay.ctrl.stop();
        QVERIFY(replay.ctrl.seek(12345, true));
        QVERIFY(replay.waitForCall(QStringLiteral("signalBoardSeek 12345")));
        QCOMPARE(replay.calls().filter(QStringLiteral("signalBoard")),
                 (QStringList{"signalBoardPause false", "signalBoardPause true", "signalBoardSeek 4000000000",
                              "signalBoardPause true", "signalBoardSeek 12345"}));
    }

    // Closing stops the page (its running video first) and the load timer.
    void closeStopsThePageAndTheTimer()
    {
        BoardReplay replay;
        QVERIFY(replay.ctrl.init(&replay.board, nullptr, nullptr));
        QVERIFY(replay.waitForCall(QStringLiteral("connected playback")));
        replay.ctrl.close();
        QVERIFY(replay.waitForCall(QStringLiteral("stopRunningVideo")));

        WhiteboardReplayCtrl unbuffered;
        QSignalSpy states(&unbuffered, &ReplayCtrl::stateChanged);
        QVERIFY(unbuffered.init(nullptr, nullptr, nullptr));
        unbuffered.close();
        fireLoadTimerIfRunning(unbuffered);
        QCOMPARE(states.size(), 0);
    }

private:
    Simulator m_sim;
};

ZM_TEST_MAIN(TestWhiteboardReplayCtrl)
#include "tst_whiteboardreplayctrl.moc"
