// The class-entry runner over scripted steps: what it does with the list, retries and their budget, the error
// dialog's code, time-outs, the untimed class-service kinds, the stop flag and a second block made during a run.
#include "DialogAnswerer.h"
#include "ScriptedSteps.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "ui/common/TryWarningDlg.h"

#include "ZmTestMain.h"

#include <QTimer>

using Outcomes = QMap<int, QList<StepOutcome>>;
using Answers = QList<DialogAnswerer::Answer>;
Q_DECLARE_METATYPE(Outcomes)
Q_DECLARE_METATYPE(Answers)

namespace {

constexpr DialogAnswerer::Answer Retry = DialogAnswerer::Retry;
constexpr DialogAnswerer::Answer Close = DialogAnswerer::Close;

// A block current for the life of the object.
class Block
{
public:
    explicit Block(int forCase = InitCase_ClassEntry)
        : m_block(createInitTaskParams(forCase, nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~Block() { freeInitTaskParams(m_block); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    s_InitTask_Params* operator->() const { return m_block; }
    s_InitTask_Params* get() const { return m_block; }

private:
    s_InitTask_Params* m_block;
};

StepOutcome never()
{
    StepOutcome outcome;
    outcome.never = true;
    return outcome;
}

StepOutcome after(int delayMs, int code = 1)
{
    StepOutcome outcome;
    outcome.delayMs = delayMs;
    outcome.code = code;
    return outcome;
}

const QList<int> kGuestList{1, 16, 512, 8, 64, 32, 1024, 128};
const QList<int> kPupilList{1, 16, 512, 2, 4, 8, 64, 32, 256, 128, 1024};

} // namespace

class TestInitTaskRunner : public QObject
{
    Q_OBJECT

private slots:
    void init() { InitTask_Imp::setTimeoutMsForTesting(0); }
    void cleanup()
    {
        InitTask_Imp::setTimeoutMsForTesting(0);
        QVERIFY(!getInitTaskParams());
    }

    void listIsEditedInPlace_data()
    {
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QList<int>>("attempts");
        QTest::addColumn<QList<int>>("left");

        QTest::newRow("only 1024 runs nothing") << QList<int>{1024} << QList<int>{} << QList<int>{1024};
        QTest::newRow("empty list") << QList<int>{} << QList<int>{} << QList<int>{};
        QTest::newRow("guest list passes over 1024 to 128")
            << kGuestList << QList<int>{1, 16, 512, 8, 64, 32, 128} << QList<int>{1024};
        QTest::newRow("pupil and teacher list")
            << kPupilList << QList<int>{1, 16, 512, 2, 4, 8, 64, 32, 256, 128} << QList<int>{1024};
        QTest::newRow("small class list")
            << QList<int>{1, 16, 2, 4, 8, 64, 32, 256} << QList<int>{1, 16, 2, 4, 8, 64, 32, 256} << QList<int>{};
        QTest::newRow("duplicated kind runs once per occurrence")
            << QList<int>{2, 4, 2} << QList<int>{2, 4, 2} << QList<int>{};
        QTest::newRow("kinds without a step stay where they are")
            << QList<int>{3, 64, 2048, 0, 128} << QList<int>{64, 128} << QList<int>{3, 2048, 0};
    }
    void listIsEditedInPlace()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(QList<int>, attempts);
        QFETCH(QList<int>, left);
        StepScript script;
        Block block;
        DialogAnswerer answerer;

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(script.attempts, attempts);
        QCOMPARE(kinds, left);
        QVERIFY(answerer.retryTitles.isEmpty());
        QVERIFY(answerer.errorLines.isEmpty());
        if (!attempts.isEmpty()) {
            QCOMPARE(int(block->currentType_), attempts.last());
            QCOMPARE(block->lastResult_, 1);
        }
    }

    void retriesAndTheErrorDialog_data()
    {
        QTest::addColumn<int>("forCase");
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<Outcomes>("outcomes");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("attempts");
        QTest::addColumn<QList<int>>("left");
        QTest::addColumn<QStringList>("retryTitles");
        QTest::addColumn<QStringList>("errorLines");

        const StepOutcome fail = StepOutcome::failed();
        const StepOutcome ok = StepOutcome::done();
        const QString cameraTitle = "connect camera failed";
        const QString micTitle = "connect micphone failed";
        const QString errorLine = "or contact your CR [Code: %1]";

        QTest::newRow("two failures then success leave the next kind a full budget")
            << 0 << QList<int>{2, 4} << Outcomes{{2, {fail, fail, ok}}, {4, {fail, fail, fail, ok}}}
            << Answers{Retry, Retry, Retry, Retry, Retry} << 0 << QList<int>{2, 2, 2, 4, 4, 4, 4} << QList<int>{}
            << QStringList{cameraTitle, cameraTitle, micTitle, micTitle, micTitle} << QStringList{};
        QTest::newRow("close ends the run at once")
            << 0 << QList<int>{2, 4, 1024} << Outcomes{{2, {fail}}} << Answers{Close} << -3 << QList<int>{2}
            << QList<int>{2, 4, 1024} << QStringList{cameraTitle} << QStringList{};
        QTest::newRow("fourth failure in a row shows the error dialog")
            << 0 << QList<int>{1, 2, 4} << Outcomes{{2, {fail}}} << Answers{Retry, Retry, Retry} << -3
            << QList<int>{1, 2, 2, 2, 2} << QList<int>{2, 4} << QStringList{cameraTitle, cameraTitle, cameraTitle}
            << QStringList{errorLine.arg(-1001)};
        QTest::newRow("camera in a device-unplugged run")
            << 1 << QList<int>{2, 4, 8} << Outcomes{{2, {fail}}} << Answers{Retry, Retry, Retry} << -3
            << QList<int>{2, 2, 2, 2} << QList<int>{2, 4, 8} << QStringList{cameraTitle, cameraTitle, cameraTitle}
            << QStringList{errorLine.arg(-1004)};
        const QString wsTitle = "Connection failed.(WS)";
        QTest::newRow("websocket timed out connecting: code from the step's detail")
            << 0 << QList<int>{512} << Outcomes{{512, {StepOutcome::failed(-3)}}} << Answers{Retry, Retry, Retry} << -3
            << QList<int>{512, 512, 512, 512} << QList<int>{512} << QStringList{wsTitle, wsTitle, wsTitle}
            << QStringList{errorLine.arg(-3002)};
        const QString boardTitle = "Whiteboard connection failed";
        QTest::newRow("whiteboard timed out: code from the last result")
            << 0 << QList<int>{256} << Outcomes{{256, {never()}}} << Answers{Retry, Retry, Retry} << -3
            << QList<int>{256, 256, 256, 256} << QList<int>{256} << QStringList{boardTitle, boardTitle, boardTitle}
            << QStringList{errorLine.arg(-4002)};
        QTest::newRow("whiteboard failed: code from the last result")
            << 0 << QList<int>{256} << Outcomes{{256, {fail}}} << Answers{Retry, Retry, Retry} << -3
            << QList<int>{256, 256, 256, 256} << QList<int>{256} << QStringList{boardTitle, boardTitle, boardTitle}
            << QStringList{errorLine.arg(-4001)};
    }
    void retriesAndTheErrorDialog()
    {
        QFETCH(int, forCase);
        QFETCH(QList<int>, kinds);
        QFETCH(Outcomes, outcomes);
        QFETCH(Answers, answers);
        QFETCH(int, result);
        QFETCH(QList<int>, attempts);
        QFETCH(QList<int>, left);
        QFETCH(QStringList, retryTitles);
        QFETCH(QStringList, errorLines);
        InitTask_Imp::setTimeoutMsForTesting(100);
        StepScript script;
        script.outcomes = outcomes;
        Block block(forCase);
        DialogAnswerer answerer(answers);

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), result);
        QCOMPARE(script.attempts, attempts);
        QCOMPARE(kinds, left);
        QCOMPARE(answerer.retryTitles, retryTitles);
        for (const QString& content : qAsConst(answerer.retryContents))
            QVERIFY2(content.startsWith("please check your"), qPrintable(content));
        QCOMPARE(answerer.errorLines, errorLines);
        // The waiting dialog is down while the user is asked.
        QVERIFY(!answerer.waitingVisibleAtRetry.contains(true));
    }

    void waitingDialogShowsTheRunningStep()
    {
        StepScript script;
        script.outcomes = {{2, {after(150, -1), after(150)}}, {512, {after(150)}}};
        Block block;
        DialogAnswerer answerer({Retry});
        QList<int> kinds{2, 512};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        // Shown for the camera, down while asked, up again for the retry, then for the websocket.
        QCOMPARE(answerer.waitingTexts,
                 QStringList({"connecting camera...", "connecting camera...", "Connecting...(WS)"}));
        QCOMPARE(answerer.waitingVisibleAtRetry, QList<bool>{false});
    }

    // Only the two class-service kinds run without the time limit.
    void timeLimitPerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("result");
        QTest::newRow("lesson information is untimed") << int(API_LoadClassInfo) << 0;
        QTest::newRow("enter class is untimed") << int(API_EnterClass) << 0;
        QTest::newRow("camera is timed") << int(Agora_CheckCamera) << -3;
        QTest::newRow("websocket is timed") << int(WebSocket_Link) << -3;
    }
    void timeLimitPerKind()
    {
        QFETCH(int, kind);
        QFETCH(int, result);
        InitTask_Imp::setTimeoutMsForTesting(100);
        StepScript script;
        script.outcomes = {{kind, {after(400)}}};
        Block block;
        DialogAnswerer answerer({Close});
        QList<int> kinds{kind};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), result);
        QCOMPARE(block->lastResult_, result == 0 ? 1 : -2);
        QCOMPARE(answerer.retryTitles.size(), result == 0 ? 0 : 1);
    }

    // A time-out ends the step first: sigTaskEnded, then sigTimeOut, which lets a waiting body return; what the
    // body reports afterwards changes nothing.
    void timeOutWinsOverALateReport_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("late success") << 1;
        QTest::newRow("late failure") << -1;
    }
    void timeOutWinsOverALateReport()
    {
        QFETCH(int, code);
        InitTask_Imp::setTimeoutMsForTesting(50);
        Block block;
        QStringList journal;
        StepOutcome outcome;
        outcome.waits = true;
        outcome.code = code;
        ScriptedStep step(Agora_CheckSpeaker, block.get(), outcome, &journal);

        QCOMPARE(step.runTaskSync(nullptr, 30), -2);
        QCOMPARE(step.result(), -2);
        QVERIFY(!step.bodyReportWon);
        QCOMPARE(journal, QStringList({"8 runTask", "8 sigTaskEnded -2", "8 sigTimeOut", "8 wait ended, timed out 1"}));
    }

    void firstFinishWins()
    {
        Block block;
        QStringList journal;
        ScriptedStep step(Agora_CheckCamera, block.get(), StepOutcome::done(), &journal);
        QCOMPARE(step.result(), 0);
        QVERIFY(step.finishTask(-1));
        QVERIFY(!step.finishTask(1));
        step.onSigTimeOut();
        QCOMPARE(step.result(), -1);
        QCOMPARE(journal, QStringList({"2 sigTaskEnded -1", "2 sigTimeOut"}));
    }

    void stopFlagEndsTheRunBeforeTheNextStep()
    {
        StepScript script;
        StepOutcome stopping = StepOutcome::done();
        stopping.stops = true;
        script.outcomes = {{16, {stopping}}};
        Block block;
        QList<int> kinds{1, 16, 512, 1024};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(script.attempts, QList<int>({1, 16}));
        QCOMPARE(kinds, QList<int>({512, 1024}));
    }

    void stopFlagSetWhileTheRetryDialogIsUp()
    {
        StepScript script;
        script.outcomes = {{2, {StepOutcome::failed()}}};
        Block block;
        DialogAnswerer answerer({Retry});
        // The owner window's exit, confirmed while the user looks at the retry dialog.
        answerer.beforeRetryAnswer = [&block] { block->stop_ = true; };
        QList<int> kinds{2, 4};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(script.attempts, QList<int>{2});
        QCOMPARE(kinds, QList<int>({2, 4}));
    }

    void withoutABlockNothingRuns()
    {
        StepScript script;
        QList<int> kinds{1, 16};
        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QVERIFY(script.attempts.isEmpty());
        QCOMPARE(kinds, QList<int>({1, 16}));
        QVERIFY(!createInitTaskByType(Agora_InitChannel, nullptr));
    }

    // A block made for one step while a run waits (the guest's whiteboard load) neither takes the run's place
    // nor leaves the run without its block when it is freed.
    void blockMadeDuringARunIsNotTheRunsBlock()
    {
        StepScript script;
        script.outcomes = {{16, {after(300)}}};
        Block block;
        int guestResult = 0;
        int guestCase = -1;
        QTimer::singleShot(100, [&] {
            s_InitTask_Params* guest =
                createInitTaskParams(InitCase_GuestWhiteboard, nullptr, nullptr, nullptr, nullptr);
            QStringList journal;
            ScriptedStep step(WebEngine_LoadWhiteboard, guest, after(50), &journal);
            guestResult = step.runTaskSync(nullptr, -1);
            guestCase = getInitTaskParams()->forCase_;
            freeInitTaskParams(guest);
        });
        QList<int> kinds = kGuestList;

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), 0);
        QCOMPARE(guestResult, 1);
        QCOMPARE(guestCase, int(InitCase_GuestWhiteboard));
        QCOMPARE(script.attempts, QList<int>({1, 16, 512, 8, 64, 32, 128}));
        QCOMPARE(kinds, QList<int>{1024});
        QCOMPARE(getInitTaskParams(), block.get());
        QCOMPARE(int(block->currentType_), 128);
    }
};

ZM_TEST_MAIN(TestInitTaskRunner)
#include "tst_inittaskrunner.moc"
