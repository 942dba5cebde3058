// The whiteboard step with the real embedded browser and the simulator's fixture pages (loaded, failed at once,
// never answered, with and without a time-out of its caller's), the masked page address in the log, the whole entry
// runs of a pupil and of the small class, and a guest's whiteboard load while an entry run waits.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"
#include "ScriptedSteps.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "app/tasks/QRunContextManager.h"
#include "live/entry/FrameObserverParam.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/NormalClassEntryRoom.h"
#include "live/entry/OwedLogUpload.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "web/whiteboard/Whiteboard.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QAbstractButton>
#include <QJsonArray>
#include <QTimer>

#include <atomic>
#include <memory>

using ZmTest::LogCapture;
using ZmTest::Simulator;

namespace {

constexpr char kPagePath[] = "/pages/whiteboard";
constexpr int kLoadLimitMs = 3000;

class NullObserver : public agora::media::IVideoFrameObserver
{
public:
    bool onCaptureVideoFrame(VideoFrame&) override { return true; }
    bool onRenderVideoFrame(unsigned int, VideoFrame&) override { return true; }
};

} // namespace

class TestEntryWhiteboard : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    std::unique_ptr<Whiteboard> m_board;
    std::unique_ptr<AgoraChannel> m_channel;
    AgoraAudioDevice* m_audio = nullptr;
    AgoraVideoDevice* m_video = nullptr;
    s_InitTask_Params* m_block = nullptr;

    int runBoardStep(int timeoutSec)
    {
        std::unique_ptr<InitTask> step(createInitTaskByType(WebEngine_LoadWhiteboard, nullptr));
        return step ? step->runTaskSync(nullptr, timeoutSec) : 0;
    }

    QStringList pagePaths()
    {
        QStringList paths;
        for (const QJsonValue& entry : m_sim.requests(kPagePath))
            paths << entry.toObject().value("path").toString();
        return paths;
    }

    void stallPages()
    {
        Simulator::Route stall;
        stall.path = kPagePath;
        stall.prefix = true;
        stall.action = Simulator::Route::Action::Stall;
        QVERIFY(m_sim.program(stall) >= 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        ConfigManager::instance();
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        m_sim.pointUrlConfig();
        setUpEntryLesson();
        m_board = std::make_unique<Whiteboard>();
        m_board->resize(800, 600);
        m_board->show();
        m_channel = std::make_unique<AgoraChannel>();
        m_block = createInitTaskParams(InitCase_ClassEntry, m_channel.get(), &m_audio, &m_video, m_board.get());
    }

    void cleanup()
    {
        InitTask_Imp::setTimeoutMsForTesting(0);
        freeInitTaskParams(m_block);
        delete m_audio;
        m_audio = nullptr;
        delete m_video;
        m_video = nullptr;
        ClassMsgEngine::destroyInstance();
        m_channel->uninitialize();
        m_channel.reset();
        m_board.reset();
        QTRY_VERIFY(!QRunContextManager::instance()->findRunContext(kApiStepRunContext));
        QVERIFY(waitForOwedLogUploads(ZmTest::kWaitMs));
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
    }

    void loadsTheSignedPage()
    {
        QCOMPARE(runBoardStep(30), 1);
        QCOMPARE(pagePaths(), QStringList{"/pages/whiteboard/student/100234/880213/20240611093/1"});
        QVERIFY(filedReports(m_sim).isEmpty());
    }

    // Report 3 for a page that failed, and for one that never answered: then the result stays the time-out's,
    // also when its caller gave no time-out (the guest's load) and the step's own limit ended it.
    void pageThatDoesNotLoad_data()
    {
        QTest::addColumn<bool>("stalls");
        QTest::addColumn<int>("timeoutSec");
        QTest::addColumn<int>("result");
        QTest::newRow("fails at once") << false << 30 << -1;
        QTest::newRow("never answers") << true << 30 << -2;
        QTest::newRow("never answers, run without a time-out") << true << -1 << -2;
    }
    void pageThatDoesNotLoad()
    {
        QFETCH(bool, stalls);
        QFETCH(int, timeoutSec);
        QFETCH(int, result);
        // Only a page that never answers meets the short limit; a failed load ends the step long before its own.
        InitTask_Imp::setTimeoutMsForTesting(stalls ? kLoadLimitMs : 0);
        if (stalls)
            stallPages();
        else
            m_block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_URL, m_sim.url("/pages/whiteboard?board=fail"));

        QCOMPARE(runBoardStep(timeoutSec), result);
        QCOMPARE(filedReports(m_sim), QStringList{"3 Whiteboard_Load_TimeOut"});
    }

    // The small class hands its own page address (with the login token) and hides the refresh button.
    void givenAddressAndRefreshButton()
    {
        LogCapture log;
        const QString address = m_sim.url("/pages/vroom/vroom.html?periodId=20240611093&userId=100234&"
                                          "token=secret-login-token&mode=production&language=en&accountType=1");
        m_block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_URL, address);
        m_block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale, false);
        auto* refresh = m_board->findChild<QAbstractButton*>("btn_Refresh");
        QVERIFY(refresh);
        refresh->setVisible(true);

        QCOMPARE(runBoardStep(30), 1);
        QVERIFY(!refresh->isVisible());
        QCOMPARE(m_sim.requests("/pages/vroom/vroom.html").size(), 1);
        const QStringList lines = log.linesContaining("Whiteboard url = ");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains("token=***&mode=production"), qPrintable(lines.first()));
        QVERIFY(!log.text().contains("secret-login-token"));
    }

    void pupilEntryRun()
    {
        FakeNormalRoom room;
        StepRecorder recorder;
        DialogAnswerer answerer;
        QList<int> kinds{1, 16, 512, 2, 4, 8, 64, 32, 256, 128, 1024};

        QCOMPARE(runTasks_awaitEnd(m_board.get(), &kinds, &room, 30), 0);
        QCOMPARE(kinds, QList<int>{1024});
        QCOMPARE(recorder.attempts, QList<int>({1, 16, 512, 2, 4, 8, 64, 32, 256, 128}));
        QCOMPARE(recorder.results, QVector<int>(10, 1).toList());
        QVERIFY(answerer.retryTitles.isEmpty());
        QCOMPARE(room.wired, 1);
        QVERIFY(m_audio && m_video);
        QCOMPARE(pagePaths(), QStringList{"/pages/whiteboard/student/100234/880213/20240611093/1"});
    }

    void smallClassEntryRun()
    {
        NullObserver observer;
        m_block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_ChannelMode, 1);
        setFrameObserverParam(m_block, &observer);
        m_block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_URL, m_sim.url("/pages/vroom/vroom.html?periodId=1"));
        m_block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale, false);
        StepRecorder recorder;
        DialogAnswerer answerer;
        QList<int> kinds{1, 16, 2, 4, 8, 64, 32, 256};

        QCOMPARE(runTasks_awaitEnd(m_board.get(), &kinds, m_board.get(), 30), 0);
        QVERIFY(kinds.isEmpty());
        QCOMPARE(recorder.attempts, QList<int>({1, 16, 2, 4, 8, 64, 32, 256}));
        QVERIFY(!ClassMsgEngine::instance());
        QCOMPARE(m_sim.requests("/pages/vroom/vroom.html").size(), 1);
        m_channel->uninitialize(); // detaches the observer before it goes
    }

    // The normal room loads the whiteboard for a guest once a member joined, with a block of its own, while the
    // entry run waits for the lesson information: the run goes on over its own block to its end.
    void guestWhiteboardLoadDuringAnEntryRun()
    {
        setUpEntryLesson(3);
        Simulator::Route slowLesson;
        slowLesson.path = "/classroom/lesson/";
        slowLesson.prefix = true;
        slowLesson.hold = QStringLiteral("lesson");
        slowLesson.times = 1;
        slowLesson.body = lessonReply(m_sim);
        QVERIFY(m_sim.program(slowLesson) >= 0);

        FakeNormalRoom room;
        StepRecorder recorder;
        DialogAnswerer answerer;
        int guestResult = 0;
        int guestCase = -1;
        QList<int> attemptsAtGuestLoad;
        // Once the run waits for the lesson information, which is held until the guest's load has run.
        QTimer guestLoad;
        connect(&guestLoad, &QTimer::timeout, this, [&] {
            if (!recorder.attempts.contains(API_LoadClassInfo))
                return;
            guestLoad.stop();
            attemptsAtGuestLoad = recorder.attempts;
            s_InitTask_Params* guest =
                createInitTaskParams(InitCase_GuestWhiteboard, m_channel.get(), &m_audio, &m_video, m_board.get());
            std::unique_ptr<InitTask> step(createInitTaskByType(WebEngine_LoadWhiteboard, nullptr));
            guestCase = getInitTaskParams()->forCase_;
            guestResult = step->runTaskSync(nullptr, -1);
            step.reset();
            freeInitTaskParams(guest);
            m_sim.releaseHold(QStringLiteral("lesson"));
        });
        guestLoad.start(10);
        QList<int> kinds{1, 16, 512, 8, 64, 32, 1024, 128};

        QCOMPARE(runTasks_awaitEnd(m_board.get(), &kinds, &room, 30), 0);
        QCOMPARE(attemptsAtGuestLoad, QList<int>({1, 16}));
        QCOMPARE(guestCase, int(InitCase_GuestWhiteboard));
        QCOMPARE(guestResult, 1);
        QCOMPARE(kinds, QList<int>{1024});
        QCOMPARE(recorder.attempts, QList<int>({1, 16, 512, 8, 64, 32, 128}));
        QCOMPARE(room.wired, 1);
        QCOMPARE(getInitTaskParams(), m_block);
        QCOMPARE(pagePaths(), QStringList{"/pages/whiteboard/guest/100999/880213/20240611093/1"});
    }
};

ZM_TEST_MAIN(TestEntryWhiteboard)
#include "tst_entrywhiteboard.moc"
