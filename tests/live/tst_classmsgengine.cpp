// The message engine's connection against the simulator's message server: connect results, time-outs, the
// heartbeat, reconnects and their pace, uninit. These cases wait out the engine's real timers (5 s, 15 s).
#include "ClassMsgTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"

#include "ClosedPort.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDateTime>
#include <QJsonArray>

using ZmTest::Simulator;

namespace {

constexpr char kReportPath[] = "/classroom/monitor/period/device/report/callback";
constexpr char kSlot[] = "1onSigMsgEngineConnectResult(int)";

// The engine's timers are coarse: a timer of that interval may fire up to 5 % early.
constexpr qint64 earliest(qint64 intervalMs)
{
    return intervalMs - intervalMs / 20;
}

int tagOf(const QJsonValue& frame)
{
    return frame.toObject().value("json").toObject().value("messageTag").toInt();
}

double secondsOf(const QJsonValue& record, const char* key)
{
    return record.toObject().value(key).toDouble();
}

// Now on the clock the simulator notes its times with (seconds since the epoch).
double nowSeconds()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

} // namespace

class TestClassMsgEngine : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;

    // The remarks of the problem reports filed so far.
    QStringList reportRemarks()
    {
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
        QStringList remarks;
        for (const QJsonValue& entry : m_sim.requests(kReportPath)) {
            for (const auto& field : Simulator::pairsOf(entry.toObject().value("form"))) {
                if (field.first == "remark")
                    remarks << field.second;
            }
        }
        return remarks;
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
        setUpLesson();
    }

    void cleanup()
    {
        ClassMsgEngine::destroyInstance();
        // Let closed sockets delete themselves.
        QTest::qWait(50);
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
    }

    void connectsAndHandsOutItsInterfaces_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::newRow("slot text from SLOT()") << QByteArray(kSlot);
        QTest::newRow("slot text without its code") << QByteArray("onSigMsgEngineConnectResult(int)");
    }
    void connectsAndHandsOutItsInterfaces()
    {
        QFETCH(QByteArray, slot);
        QVERIFY(!ClassMsgEngine::instance());
        QVERIFY(!ClassMsgEngine::getPublicMsgInterface());

        ResultReceiver receiver;
        ClassMsgEngine* engine = ClassMsgEngine::createInstance(&receiver, slot.constData());
        QVERIFY(engine);
        QCOMPARE(ClassMsgEngine::instance(), engine);
        QVERIFY(ClassMsgEngine::getPublicMsgInterface() && ClassMsgEngine::getStudentMsgInterface() &&
                ClassMsgEngine::getTeacherMsgInterface());
        QVERIFY(receiver.results.isEmpty()); // never inside createInstance
        QTRY_COMPARE(receiver.results, QList<int>{0});
        QCOMPARE(engine->getInitResult(), 0);
        const QJsonArray open = m_sim.messageConnections("open");
        QCOMPARE(open.size(), 1);
        QCOMPARE(open.first().toObject().value("path").toString(), QString("/ws"));

        // A second creator gets the same engine and no result.
        ResultReceiver late;
        QCOMPARE(ClassMsgEngine::createInstance(&late, kSlot), engine);
        ZmTest::letTimersFire(200);
        QVERIFY(late.results.isEmpty());
        QCOMPARE(m_sim.messageConnections().size(), 1);
    }

    void refusesToStart_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("slot");
        QTest::newRow("no address") << QString() << QByteArray(kSlot);
        QTest::newRow("not a websocket address") << "http://127.0.0.1:1/ws" << QByteArray(kSlot);
        QTest::newRow("no such slot") << "ws://127.0.0.1:1/ws" << QByteArray("1noSuchSlot(int)");
    }
    void refusesToStart()
    {
        QFETCH(QString, url);
        QFETCH(QByteArray, slot);
        UrlConfig::instance()->webSocket = url;
        ResultReceiver receiver;
        QVERIFY(!ClassMsgEngine::createInstance(&receiver, slot.constData()));
        QVERIFY(!ClassMsgEngine::instance());
        QCOMPARE(ClassMsgEngine_Imp::postToInstance(ClassMsgTag_RaiseHand, {}), -1);
        ZmTest::letTimersFire(100);
        QVERIFY(receiver.results.isEmpty());
    }

    void connectTimesOut_data()
    {
        QTest::addColumn<bool>("stall"); // else the port refuses
        QTest::addColumn<bool>("destroyInResultSlot");
        QTest::newRow("handshake never completes") << true << false;
        QTest::newRow("refused port, the creator destroys the engine") << false << true;
    }
    void connectTimesOut()
    {
        QFETCH(bool, stall);
        QFETCH(bool, destroyInResultSlot);
        if (stall) {
            QVERIFY(m_sim.queueMessageFault({{"mode", "stall"}}));
        } else {
            const quint16 port = ZmTest::closedPort();
            QVERIFY(port != 0);
            UrlConfig::instance()->webSocket = QStringLiteral("ws://127.0.0.1:%1/ws").arg(port);
        }

        ResultReceiver receiver;
        receiver.destroyOnFailure = destroyInResultSlot;
        QVERIFY(ClassMsgEngine::createInstance(&receiver, kSlot));
        QTRY_VERIFY(!receiver.results.isEmpty());
        QCOMPARE(receiver.results, QList<int>{-3});
        QVERIFY2(receiver.resultTimes.first() >= earliest(5000),
                 qPrintable(QString::number(receiver.resultTimes.first())));
        QCOMPARE(reportRemarks(), QStringList{"websocket_connected_timeout"});
        QCOMPARE(ClassMsgEngine::instance() == nullptr, destroyInResultSlot);

        // Nothing reconnects by itself before a heartbeat has timed out.
        ZmTest::letTimersFire(2000);
        QCOMPARE(receiver.results.size(), 1);
        QCOMPARE(m_sim.messageConnections().size(), stall ? 1 : 0);
        QCOMPARE(reportRemarks().size(), 1);
    }

    void withheldPongReconnectsAndAnnouncesAgain()
    {
        setUpLesson(2);
        AppGlobalData::instance()->teacherAudioMuted = true;
        QVERIFY(m_sim.queueMessageFault({{"mode", "no_pong"}, {"times", 1}}));
        ResultReceiver receiver;
        QVERIFY(ClassMsgEngine::createInstance(&receiver, kSlot));
        QTRY_COMPARE(receiver.results, QList<int>{0});

        const QJsonArray pings = m_sim.waitForMessageFrames(1, "ping");
        QCOMPARE(pings.size(), 1);
        QCOMPARE(m_sim.waitForMessageConnections(2).size(), 2);
        QCOMPARE(m_sim.waitForMessageConnections(1, "open").size(), 1);
        QCOMPARE(reportRemarks(), QStringList{"WebSocket_heartbeat_Timeout"});

        // The simulator notes a time when it gets to it, which on a loaded machine may be late: only spans from a
        // time that comes before the engine's own start can be checked. The request of the first connection was
        // noted before its answer, so before the connection opened and the heartbeat started.
        const QJsonArray connections = m_sim.messageConnections();
        QCOMPARE(connections.size(), 2);
        const double requested = secondsOf(connections.at(0), "requested");
        const double pinged = secondsOf(pings.first(), "time");
        const double again = secondsOf(connections.at(1), "requested");
        QVERIFY2((pinged - requested) * 1000 >= earliest(15000), qPrintable(QString::number(pinged - requested)));
        // The new connection waited for the pong as long as it may.
        QVERIFY2((again - requested) * 1000 >= earliest(15000) + earliest(5000),
                 qPrintable(QString::number(again - requested)));
        QCOMPARE(connections.at(0).toObject().value("state").toString(), QString("closed"));

        // The teacher is announced again on the new connection, with its microphone state.
        const int second = connections.at(1).toObject().value("id").toInt();
        QJsonArray announced;
        QTRY_VERIFY((announced = m_sim.messageFrames("text")).size() >= 2);
        QCOMPARE(announced.at(0).toObject().value("connection").toInt(), second);
        QCOMPARE(tagOf(announced.at(0)), int(ClassMsgTag_EnterClass));
        QCOMPARE(tagOf(announced.at(1)), int(ClassMsgTag_TeacherCommand));
        QCOMPARE(announced.at(1).toObject().value("json").toObject().value("subTag").toString(),
                 QString("teacherAudio"));
        QCOMPARE(announced.at(1).toObject().value("json").toObject().value("isMute").toInt(), 1);
        // The creator heard only of the first connect.
        QCOMPARE(receiver.results, QList<int>{0});
    }

    void serverClosingAtOnceGivesOneResultAndPacedReconnects()
    {
        QVERIFY(m_sim.queueMessageFault({{"mode", "close"}, {"after_ms", 0}, {"times", "always"}}));
        ResultReceiver receiver;
        const double created = nowSeconds();
        ClassMsgEngine* engine = ClassMsgEngine::createInstance(&receiver, kSlot);
        QVERIFY(engine);
        QTRY_VERIFY(!receiver.results.isEmpty());
        ZmTest::letTimersFire(1500);
        QCOMPARE(receiver.results, QList<int>{0});
        QCOMPARE(reportRemarks(), QStringList{"websocket_aboutToClose"});

        // From a requested reconnect on the engine keeps trying by itself, never faster than every 5 s.
        engine->tryReConnect();
        const QJsonArray connections = m_sim.waitForMessageConnections(4);
        QCOMPARE(connections.size(), 4);
        // Each attempt starts 5 s after the one before at the earliest, the first after the engine was made; the
        // simulator notes a request no earlier than it came.
        for (int i = 1; i < connections.size(); ++i) {
            const double since = secondsOf(connections.at(i), "requested") - created;
            QVERIFY2(since * 1000 >= 5000 * i - 100, qPrintable(QStringLiteral("attempt %1: %2 s").arg(i).arg(since)));
        }
        QCOMPARE(receiver.results, QList<int>{0});
        // One report per lost connection, not one per close signal.
        const QStringList remarks = reportRemarks();
        QVERIFY2(remarks.size() <= m_sim.messageConnections().size(), qPrintable(remarks.join(',')));
        QCOMPARE(QSet<QString>(remarks.begin(), remarks.end()), QSet<QString>{"websocket_aboutToClose"});
    }

    void reconnectOnRequest()
    {
        ResultReceiver receiver;
        ClassMsgEngine* engine = ClassMsgEngine::createInstance(&receiver, kSlot);
        QVERIFY(engine);
        QTRY_COMPARE(receiver.results, QList<int>{0});

        // Requests during one attempt join it.
        engine->tryReConnect();
        engine->tryReConnect();
        QCoreApplication::processEvents(); // the two are taken in: the next attempt waits for its turn
        engine->tryReConnect();
        const QJsonArray open = m_sim.waitForMessageConnections(2);
        QCOMPARE(open.size(), 2);
        QJsonArray frames;
        QTRY_VERIFY(!(frames = m_sim.messageFrames("text")).isEmpty());
        QCOMPARE(tagOf(frames.first()), int(ClassMsgTag_EnterClass));
        QCOMPARE(frames.first().toObject().value("json").toObject().value("role").toInt(), 0);
        QTRY_COMPARE(m_sim.messageConnections().first().toObject().value("client_close_code").toInt(), 1001);
        const QJsonArray connections = m_sim.messageConnections();
        QCOMPARE(connections.size(), 2);
        QCOMPARE(connections.at(1).toObject().value("state").toString(), QString("open"));
        QCOMPARE(m_sim.messageFrames("text").size(), 1);
        QCOMPARE(receiver.results, QList<int>{0});
    }

    void uninit_data()
    {
        QTest::addColumn<bool>("connected"); // else the handshake never completes
        QTest::newRow("while connected") << true;
        QTest::newRow("during an open") << false;
    }
    void uninit()
    {
        QFETCH(bool, connected);
        if (!connected)
            QVERIFY(m_sim.queueMessageFault({{"mode", "stall"}}));
        ResultReceiver receiver;
        QVERIFY(ClassMsgEngine::createInstance(&receiver, kSlot));
        QVERIFY(m_sim.waitForMessageConnections(1, connected ? "open" : "stalled").size() == 1);
        if (connected)
            QTRY_COMPARE(receiver.results, QList<int>{0});
        else
            QCOMPARE(ClassMsgEngine_Imp::postToInstance(ClassMsgTag_RaiseHand, {}), -1);

        ClassMsgEngine::destroyInstance();
        QVERIFY(!ClassMsgEngine::instance());
        QVERIFY(!ClassMsgEngine::getStudentMsgInterface());
        QCOMPARE(ClassMsgEngine_Imp::postToInstance(ClassMsgTag_RaiseHand, {}), -1);

        const QJsonArray closed = m_sim.waitForMessageConnections(1, "closed");
        QCOMPARE(closed.size(), 1);
        if (connected)
            QCOMPARE(closed.first().toObject().value("client_close_code").toInt(), 1000);
        // No result follows, not even when the connect timer would have run out.
        ZmTest::letTimersFire(connected ? 500 : 6000);
        QCOMPARE(receiver.results, connected ? QList<int>{0} : QList<int>{});
        QVERIFY(reportRemarks().isEmpty());
    }
};

ZM_TEST_MAIN_CORE(TestClassMsgEngine)
#include "tst_classmsgengine.moc"
