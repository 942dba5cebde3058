// The two class-service steps against the simulator: the lesson information and entering the class, with
// backup addresses (on other ports) tried first in a parallel group and the primary address after their failure.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "app/records/InitTaskParams.h"
#include "app/tasks/QRunContextManager.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/OwedLogUpload.h"

#include "ClosedPort.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <memory>

using ZmTest::Simulator;

namespace {

constexpr char kLessonPath[] = "/classroom/lesson/";
constexpr char kEnterClassTag[] = "50000101";

QString closedBase()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(ZmTest::closedPort());
}

} // namespace

class TestEntryRequests : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    Simulator m_backup;

    // The step's requests logged by a simulator.
    QJsonArray requestsOf(Simulator& sim, int kind)
    {
        return kind == API_LoadClassInfo ? sim.requests(kLessonPath) : sim.numberedRequests(kEnterClassTag);
    }

    // Programs the step's request on a simulator: answered after delayMs (and once the hold of that name is
    // released, when one is named), with success or a refusal.
    void program(Simulator& sim, int kind, bool succeeds, int delayMs, const QString& hold = QString())
    {
        if (succeeds && delayMs == 0 && hold.isEmpty())
            return; // the built-in reply
        Simulator::Route route;
        if (kind == API_LoadClassInfo) {
            route.path = kLessonPath;
            route.prefix = true;
        } else {
            route.path = QStringLiteral("/quillo/entrance");
            route.params = {{QStringLiteral("FuncTag"), QLatin1String(kEnterClassTag)}};
        }
        route.delayMs = delayMs;
        route.hold = hold;
        if (succeeds)
            route.body = succeedingBody(kind, sim);
        else if (kind == API_LoadClassInfo)
            route.body = R"({"success": false, "code": "401", "msg": "token expired", "data": null})";
        else
            route.body = R"({"TagCode": "401", "msg": "token expired"})";
        QVERIFY(sim.program(route) >= 0);
    }

    QByteArray succeedingBody(int kind, Simulator& sim)
    {
        if (kind == API_EnterClass)
            return R"({"TagCode": "0", "msg": "entered the class"})";
        return lessonReply(sim);
    }

    // Runs one step of the kind over a fresh block and returns its result.
    int runStep(int kind)
    {
        s_InitTask_Params* block = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
        std::unique_ptr<InitTask> step(createInitTaskByType(kind, nullptr));
        const int result = step ? step->runTaskSync(nullptr, -1) : 0;
        step.reset();
        freeInitTaskParams(block);
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        QVERIFY2(m_backup.start(), qPrintable(m_backup.errorString()));
        ConfigManager::instance();
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        QVERIFY(m_backup.reset());
        m_sim.pointUrlConfig();
        setUpEntryLesson();
    }

    void cleanup()
    {
        InitTask_Imp::setTimeoutMsForTesting(0);
        // A held answer goes out; requests still running on their threads end, and their run context goes with the
        // last of them.
        QVERIFY(m_backup.clearHolds());
        QTRY_VERIFY(!QRunContextManager::instance()->findRunContext(kApiStepRunContext));
        QVERIFY(waitForOwedLogUploads(ZmTest::kWaitMs));
    }

    void backupsFirstThenPrimary_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("backups"); // 0 none, 1 a good one, 2 a failing and a held one
        QTest::addColumn<bool>("primaryWorks");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("primaryAsked");
        // How often the good backup was asked; -1: not looked at (a held backup still sending when the step has
        // ended is cut off, so it may or may not have been asked).
        QTest::addColumn<int>("backupAsked");

        for (const int kind : {int(API_LoadClassInfo), int(API_EnterClass)}) {
            const QByteArray name = kind == API_LoadClassInfo ? "lesson information: " : "enter class: ";
            QTest::newRow(name + "no backup, the primary answers") << kind << 0 << true << 1 << 1 << 0;
            QTest::newRow(name + "no backup, the primary refuses") << kind << 0 << false << -1 << 1 << 0;
            QTest::newRow(name + "a backup answers, the primary is not asked") << kind << 1 << true << 1 << 0 << 1;
            QTest::newRow(name + "a failing backup fails the group, the primary answers")
                << kind << 2 << true << 1 << 1 << -1;
            QTest::newRow(name + "backups and primary fail") << kind << 2 << false << -1 << 1 << -1;
        }
    }
    void backupsFirstThenPrimary()
    {
        QFETCH(int, kind);
        QFETCH(int, backups);
        QFETCH(bool, primaryWorks);
        QFETCH(int, result);
        QFETCH(int, primaryAsked);
        QFETCH(int, backupAsked);

        UrlConfig* urls = UrlConfig::instance();
        QStringList alternates;
        if (backups == 1)
            alternates << m_backup.baseUrl();
        if (backups == 2) {
            alternates << closedBase() << m_backup.baseUrl();
            program(m_backup, kind, true, 0, QStringLiteral("backup"));
        }
        (kind == API_LoadClassInfo ? urls->restfulAlternates : urls->apiAlternates) = alternates;
        program(m_sim, kind, primaryWorks, 0);

        QCOMPARE(runStep(kind), result);
        const QJsonArray primary = requestsOf(m_sim, kind);
        QCOMPARE(primary.size(), primaryAsked);
        if (backupAsked >= 0)
            QCOMPARE(requestsOf(m_backup, kind).size(), backupAsked);

        // Every request of one attempt carries the same request id and time stamp.
        QSet<QString> ids;
        QSet<QString> stamps;
        for (const QJsonArray& log : {primary, requestsOf(m_backup, kind)}) {
            for (const QJsonValue& entry : log) {
                ids << Simulator::paramOf(entry.toObject(), "client-request-hex");
                stamps << Simulator::paramOf(entry.toObject(), "client-time-stamp");
            }
        }
        QCOMPARE(ids.size(), 1);
        QCOMPARE(stamps.size(), 1);
        QVERIFY(QRegularExpression("^[0-9A-F]{12}[0-9a-f]{4}[0-9A-F]{16}$").match(*ids.begin()).hasMatch());
        QVERIFY(qAbs(stamps.begin()->toLongLong() - QDateTime::currentSecsSinceEpoch()) < 60);

        AppGlobalData* data = AppGlobalData::instance();
        if (kind == API_LoadClassInfo) {
            // A parsed reply fills the lesson record, the member map and the message server's address.
            QCOMPARE(data->memberMap()->size(), result == 1 ? 3 : 0);
            QCOMPARE(!data->lesson.channelKey.isEmpty(), result == 1);
            if (result == 1)
                QVERIFY(urls->webSocket.endsWith("/class/ws"));
        } else {
            QCOMPARE(data->enteredClass.load(), result == 1);
        }
    }

    // Through the runner: the two class-service steps answered later than the steps' time limit (but within the
    // transport's) succeed, without a retry dialog.
    void slowAnswersWithinTheTransportLimitSucceed()
    {
        InitTask_Imp::setTimeoutMsForTesting(300);
        program(m_sim, API_LoadClassInfo, true, 1200);
        program(m_sim, API_EnterClass, true, 1200);
        s_InitTask_Params* block = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
        DialogAnswerer answerer;
        QList<int> kinds{16, 32, 1024};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(kinds, QList<int>{1024});
        QVERIFY(answerer.retryTitles.isEmpty());
        QCOMPARE(answerer.waitingTexts,
                 QStringList({"Connecting...(API_LoadClassInfo)", "Connecting...(API_EnterClass)"}));
        QCOMPARE(block->lastResult_, 1);
        freeInitTaskParams(block);
    }
};

ZM_TEST_MAIN(TestEntryRequests)
#include "tst_entryrequests.moc"
