// The websocket step against the simulator's message server: connect, an engine that exists already, and a
// server that never completes the handshake (the engine's time-out and its problem report), alone and through the
// runner's retry.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"

#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "app/records/InitTaskParams.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ProblemReportQueue.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonArray>

#include <memory>

using ZmTest::Simulator;

namespace {

} // namespace

class TestEntryWebSocket : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    s_InitTask_Params* m_block = nullptr;

    int runStep()
    {
        std::unique_ptr<InitTask> step(createInitTaskByType(WebSocket_Link, nullptr));
        return step ? step->runTaskSync(nullptr, 30) : 0;
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
        m_block = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
    }

    void cleanup()
    {
        freeInitTaskParams(m_block);
        ClassMsgEngine::destroyInstance();
        QTest::qWait(50);
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
    }

    void connects()
    {
        m_block->lastDetail_ = 7;
        QCOMPARE(runStep(), 1);
        QCOMPARE(m_block->lastDetail_, 0);
        QVERIFY(ClassMsgEngine::instance());
        QCOMPARE(m_sim.messageConnections("open").size(), 1);
    }

    void anEngineThatExistsIsKept()
    {
        QCOMPARE(runStep(), 1);
        ClassMsgEngine* engine = ClassMsgEngine::instance();
        m_block->lastDetail_ = 7;
        QCOMPARE(runStep(), 1);
        QCOMPARE(ClassMsgEngine::instance(), engine);
        QCOMPARE(m_block->lastDetail_, 7);
        QCOMPARE(m_sim.messageConnections().size(), 1);
    }

    // A server that never completes the handshake: the engine's own time-out fails the step, and the engine
    // files its report before the step destroys it.
    void aFailedConnectDestroysTheEngine()
    {
        QVERIFY(m_sim.queueMessageFault({{"mode", "stall"}}));

        QCOMPARE(runStep(), -1);
        QCOMPARE(m_block->lastDetail_, -3);
        QVERIFY(!ClassMsgEngine::instance());
        QCOMPARE(filedReports(m_sim), QStringList{"2 websocket_connected_timeout"});
    }

    // Through the runner: a server that never answers the first handshake; the user retries and the second
    // engine connects.
    void retriedAfterATimeOutConnects()
    {
        QVERIFY(m_sim.queueMessageFault({{"mode", "stall"}, {"times", 1}}));
        DialogAnswerer answerer({DialogAnswerer::Retry});
        QList<int> kinds{512, 1024};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(kinds, QList<int>{1024});
        QCOMPARE(answerer.retryTitles, QStringList{"Connection failed.(WS)"});
        QCOMPARE(m_block->lastDetail_, 0);
        QVERIFY(ClassMsgEngine::instance());
        QCOMPARE(m_sim.messageConnections("open").size(), 1);
        QCOMPARE(filedReports(m_sim), QStringList{"2 websocket_connected_timeout"});
    }
};

ZM_TEST_MAIN(TestEntryWebSocket)
#include "tst_entrywebsocket.moc"
