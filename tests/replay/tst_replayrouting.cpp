// The normal-class and public-class replays from the window router's start statuses to its end event: recorded
// videos made by ffmpeg and served by the simulator, the fixture playback page, the replay playing, a jump by the
// slider, the end under the overlay, and event code 1 closing the replay.
#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"
#include "replay/controllers/NormalClassReplayCtrl.h"
#include "replay/controllers/PublicClassReplayCtrl.h"
#include "replay/controllers/VlcReplayCtrl.h"
#include "replay/vlc/VlcMediaPlayer.h"
#include "replay/widgets/ReplayerOverlapWidget.h"
#include "replay/widgets/VideoReplayWidget.h"
#include "replay/windows/NormalClassReplayDlg.h"
#include "replay/windows/PublicClassReplayDlg.h"
#include "ui/common/ErrorDlg.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include "LogCapture.h"
#include "ReplayTestSupport.h"
#include "ReplayWindowSupport.h"
#include "Simulator.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include <QPointer>
#include <QSlider>
#include <QTemporaryDir>

using ZmTest::LogCapture;
using ZmTest::ReplayRowsRouter;
using ZmTest::Simulator;
using ZmTest::topLevelWindow;

namespace {

const QString kCallMarker = QStringLiteral("Whiteboard W2N_Msg_Log ( info ) : ");
// Loading a page and two videos on a busy machine.
constexpr int kLoadWaitMs = 60000;

bool playerPlaying(VlcReplayCtrl* video)
{
    return video && video->mediaPlayer() && video->mediaPlayer()->state() == Vlc::Playing;
}

} // namespace

class TestReplayRouting : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_videos;
    std::unique_ptr<Simulator> m_sim;
    QString m_teacherVideo;
    QString m_studentVideo;

private slots:
    void initTestCase()
    {
        ZmTest::prepareVlc();
        QString error;
        QVERIFY2(ZmTest::makeTestVideo(m_videos.filePath("teacher.mp4"), 4, &error), qPrintable(error));
        QVERIFY2(ZmTest::makeTestVideo(m_videos.filePath("student.mp4"), 3, &error), qPrintable(error));
        m_sim = std::make_unique<Simulator>(QStringList{QStringLiteral("--files"), m_videos.path()});
        QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
        m_sim->pointUrlConfig();
        UrlConfig::instance()->playbackWhiteboard = m_sim->url(QStringLiteral("/pages/whiteboard/playback"));
        m_teacherVideo = m_sim->url(QStringLiteral("/files/teacher.mp4"));
        m_studentVideo = m_sim->url(QStringLiteral("/files/student.mp4"));
        Whiteboard::setStopAllWaitForTesting(300);

        AppGlobalData* data = AppGlobalData::instance();
        data->launch.appType = AppType_Playback;
        data->launch.userId = QStringLiteral("100234");
        data->launch.token = QStringLiteral("token-1");
        data->lesson.lessonId = QStringLiteral("880213");
        data->lesson.periodId = QStringLiteral("20240611093");
        data->lesson.lessonName = QStringLiteral("Unit 3 At the Zoo");
    }

    void init() { QVERIFY(m_sim->clearRequests()); }

    // Status 5: the window shows both videos and the page, becomes ready with the length of the later video end,
    // plays, jumps where the slider is released, ends under the overlay, and its exit button closes the replay.
    void normalClassReplayFromStartToEnd()
    {
        LogCapture log;
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.media1 = m_teacherVideo;
        data->launch.media1start = QStringLiteral("0");
        data->launch.media1dur = QStringLiteral("4000");
        data->launch.media2 = m_studentVideo;
        data->launch.media2start = QStringLiteral("1500");
        data->launch.media2dur = QStringLiteral("3000");

        ReplayRowsRouter router;
        router.post(new ZmAppStatusEvent(AppStartStatus_NormalClassReplay));
        QCOMPARE(router.currentStatus(), int(AppStartStatus_NormalClassReplay));
        QPointer<NormalClassReplayDlg> window = topLevelWindow<NormalClassReplayDlg>();
        QVERIFY(window && window->isVisible());
        auto* replay = qobject_cast<NormalClassReplayCtrl*>(window->replayCtrl());
        QVERIFY(replay);
        QCOMPARE(router.routedWindow(AppStartStatus_NormalClassReplay), replay);
        QCOMPARE(window->lessonTitle()->text(), QStringLiteral("Unit 3 At the Zoo"));

        QTRY_COMPARE(replay->state(), ReplayerState_Ready);
        // The player's own lengths replace the launch texts: the student's video ends 1500 ms later than it lasts.
        const qint32 length = replay->mediaInfo().duration;
        QVERIFY2(qAbs(length - 4500) <= 200, qPrintable(QString::number(length)));
        QVERIFY(window->isPlaying());
        QVERIFY(window->slider()->isEnabled());
        QCOMPARE(window->slider()->maximum(), length);
        QVERIFY(ZmTest::waitUntil([&] { return playerPlaying(replay->teacherVideoCtrl()); }, kLoadWaitMs));
        QVERIFY(log.waitFor(kCallMarker + QStringLiteral("signalBoardPause false")));

        // A jump by the slider reaches the page with force and moves the videos.
        QSlider* slider = window->slider();
        const QPoint groove(4, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, groove);
        slider->setValue(2500);
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, groove);
        QVERIFY(window->currentPosition() >= 2500);
        QVERIFY(log.waitFor(kCallMarker + QStringLiteral("signalBoardSeek 2500")));
        QVERIFY(
            ZmTest::waitUntil([&] { return replay->studentVideoCtrl()->mediaPlayer()->time() >= 900; }, kLoadWaitMs));

        QTRY_VERIFY(window->overlap()->isVisible());
        QVERIFY(!window->isPlaying());
        QVERIFY(router.programEnds.isEmpty());

        emit window->overlap()->signalClose();
        QTRY_COMPARE(router.programEnds, QList<int>{0});
        QVERIFY(!window);
        QVERIFY(!router.routedWindow(AppStartStatus_NormalClassReplay));
        QVERIFY(!VlcReplayCtrl::currentVlcInstance());
    }

    // Status 6: the teacher's video beside the page with its lesson title; ready, playing, and ended by the exit
    // question's OK.
    void publicClassReplayFromStartToEnd()
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.media1 = m_teacherVideo;
        data->launch.media1start = QStringLiteral("0");
        data->launch.media1dur = QStringLiteral("4000");
        data->launch.media2.clear();

        ReplayRowsRouter router;
        router.post(new ZmAppStatusEvent(AppStartStatus_PublicClassReplay));
        QPointer<PublicClassReplayDlg> window = topLevelWindow<PublicClassReplayDlg>();
        QVERIFY(window && window->isVisible());
        auto* replay = qobject_cast<PublicClassReplayCtrl*>(window->replayCtrl());
        QVERIFY(replay);
        // The window's lesson record, then the controller's.
        QCOMPARE(m_sim->requests(QStringLiteral("/classroom/lesson/")).size(), 2);
        QCOMPARE(replay->lessonInfoResult(), 0);

        QTRY_COMPARE(replay->state(), ReplayerState_Ready);
        QVERIFY2(qAbs(replay->mediaInfo().duration - 4000) <= 200,
                 qPrintable(QString::number(replay->mediaInfo().duration)));
        QVERIFY(ZmTest::waitUntil([&] { return playerPlaying(replay->teacherVideoCtrl()); }, kLoadWaitMs));
        QVERIFY(window->isClockRunning());

        QTRY_VERIFY(window->overlap()->isVisible());
        emit window->overlap()->signalClose();
        QTRY_COMPARE(router.programEnds, QList<int>{0});
        QVERIFY(!window);
    }

    // Status 6 without a first medium: the window is made (its lesson record asked for), the load fails at once
    // without the controller's own request, and "I know" ends the replay.
    void publicClassReplayWithoutAVideoFails()
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.media1.clear();
        data->launch.media1dur = QStringLiteral("4000");

        ReplayRowsRouter router;
        router.post(new ZmAppStatusEvent(AppStartStatus_PublicClassReplay));
        QPointer<PublicClassReplayDlg> window = topLevelWindow<PublicClassReplayDlg>();
        QVERIFY(window);
        auto* replay = qobject_cast<PublicClassReplayCtrl*>(window->replayCtrl());
        QCOMPARE(replay->state(), ReplayerState_LoadFailed);
        QVERIFY(!replay->whiteboardCtrl() && !replay->teacherVideoCtrl());
        QCOMPARE(m_sim->requests(QStringLiteral("/classroom/lesson/")).size(), 1);
        QCOMPARE(m_sim->requests(QStringLiteral("/pages/")).size(), 0);

        auto* failure = qobject_cast<ErrorDlg*>(window->modalDialog());
        QVERIFY(failure && failure->isVisible());
        failure->done(ErrorDlg::ResultAcknowledged);
        QTRY_COMPARE(router.programEnds, QList<int>{0});
        QVERIFY(!window);
    }

    // A router that goes while a replay is open takes the replay and its window with it.
    void routerDeletesTheReplayItKeeps()
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.media1.clear();

        QPointer<PublicClassReplayCtrl> replay;
        QPointer<PublicClassReplayDlg> window;
        {
            ReplayRowsRouter router;
            router.post(new ZmAppStatusEvent(AppStartStatus_PublicClassReplay));
            window = topLevelWindow<PublicClassReplayDlg>();
            QVERIFY(window);
            replay = qobject_cast<PublicClassReplayCtrl*>(window->replayCtrl());
            QVERIFY(replay);
            QCOMPARE(router.routedWindow(AppStartStatus_PublicClassReplay), replay.data());
        }
        QVERIFY(!replay);
        QVERIFY(!window);
    }
};

ZM_TEST_MAIN(TestReplayRouting)
#include "tst_replayrouting.moc"
