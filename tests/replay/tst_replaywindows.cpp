// The normal-class and public-class replay windows over a recording controller: the clock and its ticks, the play
// bar, the reactions to the controller's states, the failure and exit dialogs, the end with its overlay, and the
// layout of each window.
#include "app/AppGlobalData.h"
#include "replay/widgets/ReplayerOverlapWidget.h"
#include "replay/windows/NormalClassReplayDlg.h"
#include "replay/windows/PublicClassReplayDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "web/whiteboard/Whiteboard.h"

#include "ReplayWindowSupport.h"
#include "Simulator.h"
#include "WindowManagerClose.h"
#include "ZmTestMain.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTextEdit>

#include <memory>

using ZmTest::RecordingReplayCtrl;
using ZmTest::RecordingRouter;

namespace {

enum Kind
{
    Normal,
    Public,
};

// One replay window of either kind on a recording controller, its clock read from `now`.
struct WindowUnderTest
{
    std::unique_ptr<ClassReplayDlg> window;
    RecordingReplayCtrl ctrl;
    qint64 now = 1000000;

    explicit WindowUnderTest(Kind kind, int durationMs = 60000)
    {
        if (kind == Normal)
            window = std::make_unique<NormalClassReplayDlg>();
        else
            window = std::make_unique<PublicClassReplayDlg>();
        window->setClockSourceForTesting([this] { return now; });
        ctrl.mediaInfo().duration = durationMs;
        window->setReplayCtrl(&ctrl);
        window->show();
    }

    // The controller reports ready: the window plays from its clock.
    void ready()
    {
        ctrl.setState(ReplayerState_Ready);
        ctrl.take();
    }

    void advance(qint64 ms)
    {
        now += ms;
        window->onTimerForChangeUiPostion();
    }

    QString playTime() const { return window->playTimeLabel()->text(); }
    QString remainTime() const { return window->remainTimeLabel()->text(); }
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestReplayWindows : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    RecordingRouter* m_router = nullptr;

private slots:
    void initTestCase()
    {
        // The public window asks the class service for the lesson record when it is made.
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        AppGlobalData* data = AppGlobalData::instance();
        data->lesson.periodId = QStringLiteral("20240611093");
        data->launch.userId = QStringLiteral("100234");
        data->launch.token = QStringLiteral("token-1");
        m_router = new RecordingRouter;
    }

    void cleanupTestCase() { delete m_router; }

    void init() { m_router->codes.clear(); }

    void timeTexts_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");

        QTest::newRow("nothing") << qint64(0) << "00:00";
        QTest::newRow("seconds") << qint64(7) << "00:07";
        QTest::newRow("last second below an hour") << qint64(3599) << "59:59";
        QTest::newRow("one hour") << qint64(3600) << "01:00:00";
        QTest::newRow("hours, minutes, seconds") << qint64(3 * 3600 + 25 * 60 + 9) << "03:25:09";
        QTest::newRow("a hundred hours") << qint64(100 * 3600 + 61) << "100:01:01";
    }

    void timeTexts()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(ClassReplayDlg::timeText(seconds), text);
    }

    // The clock counts while it runs, from where it stood; a start on a running clock only moves its mark.
    void clockAccumulatesWhileRunning()
    {
        qint64 now = 5000;
        ReplayClock clock([&now] { return now; });
        QCOMPARE(clock.position(), qint64(0));
        clock.start();
        now += 1200;
        QCOMPARE(clock.position(), qint64(1200));
        clock.stop();
        now += 5000;
        QCOMPARE(clock.position(), qint64(1200));
        clock.stop();
        QCOMPARE(clock.position(), qint64(1200));
        clock.start();
        now += 300;
        clock.start(); // the 300 ms are not added
        now += 100;
        QCOMPARE(clock.position(), qint64(1300));
        clock.stop();
        clock.setPosition(20000);
        now += 50;
        QCOMPARE(clock.position(), qint64(20000));
        clock.start();
        now += 50;
        QCOMPARE(clock.position(), qint64(20050));
    }

    // The window's clock reads the monotonic clock: a change of the time of day (a jump at midnight, the clock being
    // set) does not reach the replay position. The test cannot set the machine's clock, so it compares the clock
    // with the time of day around a real interval and checks where the time comes from.
    void clockFollowsTheMonotonicClock()
    {
        QCOMPARE(QElapsedTimer::clockType(), QElapsedTimer::MonotonicClock);
        ReplayClock clock;
        QElapsedTimer reference;
        reference.start();
        clock.start();
        QTest::qWait(30);
        clock.stop();
        const qint64 measured = clock.position();
        QVERIFY2(measured >= 30 && measured <= reference.elapsed(), qPrintable(QString::number(measured)));
    }

    void normalLayout_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("board");
        QTest::addColumn<QSize>("videoPanel");

        QTest::newRow("smallest window") << QSize(1366, 768) << QSize(951, 587) << QSize(385, 587);
        QTest::newRow("full HD desktop") << QSize(1920, 1079) << QSize(1344, 829) << QSize(546, 829);
        QTest::newRow("tall: the width decides") << QSize(1366, 1400) << QSize(951, 587) << QSize(385, 587);
        QTest::newRow("wide: the height decides") << QSize(2560, 800) << QSize(1045, 645) << QSize(422, 645);
    }

    void normalLayout()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, board);
        QFETCH(QSize, videoPanel);

        const NormalClassReplayDlg::Layout layout = NormalClassReplayDlg::layoutFor(window, 64, 26);
        QCOMPARE(layout.whiteboard, board);
        QCOMPARE(layout.videoPanel, videoPanel);
    }

    void publicLayout_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("board");

        QTest::newRow("smallest window: the free width decides") << QSize(1366, 768) << QSize(956, 654);
        QTest::newRow("full HD desktop") << QSize(1920, 1079) << QSize(1462, 966);
        QTest::newRow("low: the height decides") << QSize(2560, 800) << QSize(1010, 687);
        QTest::newRow("too small for a page") << QSize(300, 200) << QSize(0, 64);
    }

    void publicLayout()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, board);

        const PublicClassReplayDlg::Layout layout = PublicClassReplayDlg::layoutFor(window, 26, 320);
        QCOMPARE(layout.whiteboard, board);
        QCOMPARE(layout.rightPanelHeight, board.height());
    }

    // The windows lay themselves out at every resize: the page and the video column get the computed sizes, the
    // overlay covers the window, and the normal window keeps its waiting dialog centred over itself.
    void windowsLayOutWhenResized()
    {
        WindowUnderTest normal(Normal);
        auto* normalWindow = static_cast<NormalClassReplayDlg*>(normal.window.get());
        normalWindow->resize(1600, 900);
        QTRY_COMPARE(normalWindow->size(), QSize(1600, 900));
        QCOMPARE(normalWindow->whiteboard()->minimumSize(), QSize(1117, 689));
        QCOMPARE(normalWindow->videoPanel()->maximumSize(), QSize(453, 689));
        QCOMPARE(normalWindow->overlap()->geometry(), QRect(0, 0, 1600, 900));
        QVERIFY(normalWindow->waitingDialog()->isVisible());
        const QRect waiting = normalWindow->waitingDialog()->geometry();
        QCOMPARE(waiting.topLeft(),
                 normalWindow->mapToGlobal(QPoint((1600 - waiting.width()) / 2, (900 - waiting.height()) / 2)));

        WindowUnderTest publicReplay(Public);
        auto* publicWindow = static_cast<PublicClassReplayDlg*>(publicReplay.window.get());
        publicWindow->resize(1600, 900);
        QTRY_COMPARE(publicWindow->size(), QSize(1600, 900));
        QCOMPARE(publicWindow->whiteboard()->minimumSize(), QSize(1172, 787));
        QCOMPARE(publicWindow->rightPanel()->height(), 787);
        QCOMPARE(publicWindow->overlap()->geometry(), QRect(0, 0, 1600, 900));
    }

    // Ready: the play bar is armed and the replay plays from the clock; every tick tells the controller the
    // position and moves the slider and the labels.
    void readyPlaysAndTicksFollowTheClock_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("normal") << Normal;
        QTest::newRow("public") << Public;
    }

    void readyPlaysAndTicksFollowTheClock()
    {
        QFETCH(Kind, kind);
        WindowUnderTest replay(kind, 3725000);
        ClassReplayDlg* window = replay.window.get();
        QVERIFY(window->playButton()->isHidden());
        QVERIFY(!window->slider()->isEnabled());

        replay.ctrl.setState(ReplayerState_Ready);
        QCOMPARE(replay.ctrl.take(), QStringList{"play 1"});
        QVERIFY(window->isPlaying());
        QVERIFY(window->isClockRunning());
        QVERIFY(!window->playButton()->isHidden());
        QVERIFY(window->slider()->isEnabled());
        QCOMPARE(window->slider()->maximum(), 3725000);
        QCOMPARE(replay.remainTime(), QStringLiteral("01:02:05"));
        QVERIFY(!window->waitingDialog()->isVisible());

        replay.advance(1999);
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 1999 tick"});
        QCOMPARE(window->slider()->value(), 1999);
        QCOMPARE(replay.playTime(), QStringLiteral("00:01"));
        QCOMPARE(replay.remainTime(), QStringLiteral("01:02:03"));

        // Pause and play again: the clock stops and goes on from where it stood.
        window->onPlayBtnClicked();
        QCOMPARE(replay.ctrl.take(), QStringList{"play 0"});
        QVERIFY(!window->isClockRunning());
        replay.now += 50000;
        window->onPlayBtnClicked();
        QCOMPARE(replay.ctrl.take(), QStringList{"play 1"});
        replay.advance(1);
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 2000 tick"});
    }

    // While a button is held on the slider the ticks go on but leave the slider where the user drags it; the release
    // jumps the clock to the slider and seeks with force. A disabled slider (still loading) moves nothing.
    void sliderHeldAndReleased()
    {
        WindowUnderTest replay(Normal, 60000);
        ClassReplayDlg* window = replay.window.get();
        window->resize(1600, 900);
        QSlider* slider = window->slider();

        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(10, slider->height() / 2));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(10, slider->height() / 2));
        QCOMPARE(replay.ctrl.take(), QStringList{});

        replay.ready();
        replay.advance(3000);
        replay.ctrl.take();
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(10, slider->height() / 2));
        slider->setValue(42000);
        replay.advance(1000);
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 4000 tick"});
        QCOMPARE(slider->value(), 42000);
        QCOMPARE(replay.playTime(), QStringLiteral("00:04"));

        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(10, slider->height() / 2));
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 42000 force"});
        QCOMPARE(window->currentPosition(), 42000);
        QCOMPARE(replay.playTime(), QStringLiteral("00:42"));
        QCOMPARE(replay.remainTime(), QStringLiteral("00:18"));
        QVERIFY(window->isClockRunning());
        replay.advance(500);
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 42500 tick"});
        QCOMPARE(slider->value(), 42500);
    }

    // The position equal to the length still plays; the first tick past it ends the replay under the overlay.
    // The overlay's play button goes back to the start, paused, and plays again a second later.
    void endsUnderTheOverlayAndReplaysFromTheStart_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("normal") << Normal;
        QTest::newRow("public") << Public;
    }

    void endsUnderTheOverlayAndReplaysFromTheStart()
    {
        QFETCH(Kind, kind);
        WindowUnderTest replay(kind, 10000);
        ClassReplayDlg* window = replay.window.get();
        replay.ready();

        replay.advance(10000);
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 10000 tick"});
        QVERIFY(!window->overlap()->isVisible());

        replay.advance(1);
        QCOMPARE(replay.ctrl.take(), QStringList{"stop"});
        QVERIFY(window->overlap()->isVisible());
        QVERIFY(!window->isPlaying());
        QVERIFY(!window->isClockRunning());

        emit window->overlap()->signalPlay();
        QVERIFY(!window->overlap()->isVisible());
        QCOMPARE(replay.ctrl.take(), QStringList{"seek 0 force"});
        QCOMPARE(window->currentPosition(), 0);
        QCOMPARE(window->slider()->value(), 0);
        QCOMPARE(replay.playTime(), QStringLiteral("00:00"));
        QVERIFY(!window->isPlaying());
        QTRY_VERIFY(window->isPlaying());
        // Played from the start: the window's own clock may have ticked since, at the start still (the test's
        // clock stands).
        const QStringList calls = replay.ctrl.take();
        QCOMPARE(calls.value(0), QStringLiteral("play 1"));
        for (const QString& call : calls.mid(1))
            QCOMPARE(call, QStringLiteral("seek 0 tick"));
        QVERIFY(window->isClockRunning());
        QCOMPARE(m_router->codes, QList<int>{});
    }

    // The overlay's exit button ends the replay: event code 1 to the router; the window stays until the router acts.
    void overlayExitEndsTheReplay()
    {
        WindowUnderTest replay(Normal, 1000);
        replay.ready();
        replay.advance(2000);
        emit replay.window->overlap()->signalClose();
        QVERIFY(!replay.window->overlap()->isVisible());
        QTRY_COMPARE(m_router->codes, QList<int>{1});
        QVERIFY(replay.window->isVisible());
    }

    // The states the two windows take differently.
    void reactsToTheControllersStates_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("playing"); // the user's wish before the state
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("clockRuns");
        QTest::addColumn<bool>("sliderEnabled");
        QTest::addColumn<bool>("waiting");

        QTest::newRow("normal: loading stops the clock")
            << Normal << true << 1 << QStringList{} << false << false << false;
        QTest::newRow("public: loading waits, the clock runs on")
            << Public << true << 1 << QStringList{} << true << false << true;
        QTest::newRow("normal: a stall pauses")
            << Normal << true << 7 << QStringList{"play 0"} << false << true << false;
        QTest::newRow("public: a stall pauses the players only")
            << Public << true << 7 << QStringList{"play 0"} << true << true << false;
        QTest::newRow("normal: may continue while playing")
            << Normal << true << 8 << QStringList{"play 1"} << true << true << false;
        QTest::newRow("public: may continue while playing")
            << Public << true << 8 << QStringList{"play 1"} << true << true << false;
        QTest::newRow("normal: may continue while paused")
            << Normal << false << 8 << QStringList{} << false << true << false;
        QTest::newRow("public: may continue while paused")
            << Public << false << 8 << QStringList{} << false << true << false;
        for (int undefined : {0, 4, 5, 6, 9}) {
            QTest::addRow("normal: %d changes nothing", undefined)
                << Normal << true << undefined << QStringList{} << true << true << false;
            QTest::addRow("public: %d changes nothing", undefined)
                << Public << true << undefined << QStringList{} << true << true << false;
        }
    }

    void reactsToTheControllersStates()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, playing);
        QFETCH(int, state);
        QFETCH(QStringList, calls);
        QFETCH(bool, clockRuns);
        QFETCH(bool, sliderEnabled);
        QFETCH(bool, waiting);

        WindowUnderTest replay(kind);
        ClassReplayDlg* window = replay.window.get();
        replay.ready();
        if (state == ReplayerState_MayContinue)
            replay.ctrl.setState(ReplayerState_Stalled);
        if (!playing && window->isPlaying())
            window->onPlayBtnClicked();
        replay.ctrl.take();

        replay.ctrl.setState(static_cast<ReplayerState>(state));
        QCOMPARE(replay.ctrl.take(), calls);
        // A public stall leaves the clock running; a paused window's clock stands.
        const bool expectedClock = (state == ReplayerState_MayContinue && kind == Public) ? playing : clockRuns;
        QCOMPARE(window->isClockRunning(), expectedClock);
        QCOMPARE(window->slider()->isEnabled(), sliderEnabled);
        QCOMPARE(window->waitingDialog()->isVisible(), waiting);
    }

    // A failed load shows the failure dialog over whatever is shown; "I know" ends the replay, closing it otherwise
    // does not. A second failure replaces the first.
    void failureDialogEndsTheReplayOnIKnow()
    {
        WindowUnderTest replay(Normal);
        ClassReplayDlg* window = replay.window.get();
        QVERIFY(window->waitingDialog()->isVisible());

        replay.ctrl.setState(ReplayerState_LoadFailed);
        QVERIFY(!window->waitingDialog()->isVisible());
        QPointer<ErrorDlg> first = qobject_cast<ErrorDlg*>(window->modalDialog());
        QVERIFY(first && first->isVisible());
        QVERIFY(first->findChildren<QLabel*>().size() >= 3);
        QStringList texts;
        for (QLabel* label : first->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Video playback loading process is abnormal, you can:")));
        QVERIFY(texts.contains(QStringLiteral("refresh the page or enter the classroom later")));

        replay.ctrl.setState(ReplayerState_Loading);
        replay.ctrl.setState(ReplayerState_LoadFailed);
        QPointer<ErrorDlg> second = qobject_cast<ErrorDlg*>(window->modalDialog());
        QVERIFY(second && second != first);
        QTRY_VERIFY(!first);
        QCOMPARE(m_router->codes, QList<int>{});

        second->reject();
        ZmTest::letTimersFire(10);
        QCOMPARE(m_router->codes, QList<int>{});
        second->done(ErrorDlg::ResultAcknowledged);
        QTRY_COMPARE(m_router->codes, QList<int>{1});
    }

    // The title bar's close and back buttons, and the window manager's close, ask first; only OK ends the replay,
    // which plays on meanwhile.
    void exitQuestion_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("via");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("codes");

        QTest::newRow("normal, close, OK") << Normal << "close" << 2621 << QList<int>{1};
        QTest::newRow("normal, back, OK") << Normal << "back" << 2621 << QList<int>{1};
        QTest::newRow("normal, Cancel") << Normal << "close" << 2622 << QList<int>{};
        QTest::newRow("normal, closed") << Normal << "close" << 0 << QList<int>{};
        QTest::newRow("normal, window manager, Cancel") << Normal << "window manager" << 2622 << QList<int>{};
        QTest::newRow("public, close, OK") << Public << "close" << 2621 << QList<int>{1};
        QTest::newRow("public, Cancel") << Public << "close" << 2622 << QList<int>{};
        QTest::newRow("public, window manager, OK") << Public << "window manager" << 2621 << QList<int>{1};
    }

    void exitQuestion()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, via);
        QFETCH(int, answer);
        QFETCH(QList<int>, codes);

        WindowUnderTest replay(kind);
        ClassReplayDlg* window = replay.window.get();
        replay.ready();
        if (via == "back") {
            emit window->titleBar()->signalButtonBackClicked();
        } else if (via == "close") {
            emit window->titleBar()->signalButtonCloseClicked();
        } else {
            QVERIFY(QTest::qWaitForWindowExposed(window, ZmTest::kWaitMs));
            QVERIFY(ZmTest::sendWindowManagerClose(window));
            QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(window->modalDialog()));
        }
        auto* question = qobject_cast<CancelOkWarningDlg*>(window->modalDialog());
        QVERIFY(question && question->isVisible());
        QVERIFY(window->isVisible());
        QVERIFY(window->isClockRunning());
        question->done(answer);
        ZmTest::letTimersFire(10);
        QTRY_COMPARE(m_router->codes, codes);
        QVERIFY(window->isClockRunning());
    }

    // The play bar shows while the mouse is over the normal window; the public window shows it from the start.
    void playBarFollowsTheMouse()
    {
        WindowUnderTest normal(Normal);
        QWidget* bar = normal.window->playBar();
        QVERIFY(!bar->isVisibleTo(normal.window.get()));
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(normal.window.get(), &enter);
        QVERIFY(bar->isVisibleTo(normal.window.get()));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(normal.window.get(), &leave);
        QVERIFY(!bar->isVisibleTo(normal.window.get()));

        WindowUnderTest publicReplay(Public);
        QVERIFY(publicReplay.window->playBar()->isVisibleTo(publicReplay.window.get()));
        QCoreApplication::sendEvent(publicReplay.window.get(), &leave);
        QVERIFY(!publicReplay.window->playBar()->isVisibleTo(publicReplay.window.get()));
    }

    // A page that reports full buffering is told the clock's position.
    void bufferedPageJumpsToTheClock()
    {
        WindowUnderTest replay(Normal);
        replay.ready();
        replay.advance(4321);
        QSignalSpy seeks(replay.window->whiteboard(), &Whiteboard::signalBoardSeek);
        emit replay.window->whiteboard()->sigWhiteboardBufferFinished(true);
        QCOMPARE(seeks.size(), 1);
        QCOMPARE(seeks.at(0).at(0).toUInt(), 4321u);
    }

    // The normal window waits from the moment its controller is set; the public one only when loading is reported.
    void waitingDialogStarts()
    {
        WindowUnderTest normal(Normal);
        QVERIFY(normal.window->waitingDialog()->isVisible());
        WindowUnderTest publicReplay(Public);
        QVERIFY(!publicReplay.window->waitingDialog()->isVisible());
        publicReplay.ctrl.setState(ReplayerState_Loading);
        QVERIFY(publicReplay.window->waitingDialog()->isVisible());
    }

    // The public window shows the course introduction of the lesson record it asks for, from its top.
    void publicWindowShowsTheCourseIntroduction()
    {
        const QString content = QStringLiteral("Animals of the zoo. ").repeated(200);
        QJsonObject reply = QJsonDocument::fromJson(R"({"success": true, "code": "0", "msg": "ok", "data": {
            "lessonInfo": {"lessonId": 880213, "periodId": 1, "lessonName": "Unit 3"},
            "teacherInfo": {"teacherId": 300451, "teacherName": "Ms. Clara Whitfield"}, "studentInfo": []}})")
                                .object();
        QJsonObject data = reply.value("data").toObject();
        QJsonObject lesson = data.value("lessonInfo").toObject();
        lesson.insert("content", content);
        data.insert("lessonInfo", lesson);
        reply.insert("data", data);
        ZmTest::Simulator::Route route;
        route.method = QStringLiteral("GET");
        route.path = QStringLiteral("/classroom/lesson/");
        route.prefix = true;
        route.body = QJsonDocument(reply).toJson(QJsonDocument::Compact);
        QVERIFY(m_sim.program(route) > 0);
        QVERIFY(m_sim.clearRequests());

        PublicClassReplayDlg window;
        QCOMPARE(m_sim.requests(QStringLiteral("/classroom/lesson/")).size(), 1);
        QCOMPARE(window.courseIntroduction()->toPlainText(), content);
        QCOMPARE(window.courseIntroduction()->textCursor().position(), 0);
        window.resize(1366, 768);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        QVERIFY(window.courseIntroduction()->verticalScrollBar()->maximum() > 0);
        QCOMPARE(window.courseIntroduction()->verticalScrollBar()->value(), 0);
        QVERIFY(m_sim.clearRoutes());
    }
};

ZM_TEST_MAIN(TestReplayWindows)
#include "tst_replaywindows.moc"
