#include "TaskTestSupport.h"

#include "app/tasks/QRunContext.h"
#include "app/tasks/QRunContextManager.h"
#include "app/tasks/TaskGroupPolicies.h"
#include "app/tasks/TaskProperties.h"

#include "ZmTestMain.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <atomic>
#include <memory>

using namespace TaskTest;

namespace {

int endedSignals(const QSignalSpy& spy)
{
    int count = 0;
    for (const QList<QVariant>& arguments : spy) {
        if (arguments.at(1).value<TaskState>() & TaskState_EndedMask)
            ++count;
    }
    return count;
}

bool sawEnd(const QSignalSpy& spy)
{
    return endedSignals(spy) > 0;
}

// A request-like body: waits for its gate (when given), sleeps, leaves its reply and ends as told.
TaskBody requestBody(int index, TaskState outcome, unsigned sleepUs = 0, QSemaphore* gate = nullptr)
{
    return [=](QTaskItem* self) {
        if (gate)
            gate->acquire();
        if (sleepUs)
            QThread::usleep(sleepUs);
        self->setProperty("Who", index);
        self->setProperty(TaskProperty_Response, QByteArray("reply ") + QByteArray::number(index));
        self->setState(outcome);
    };
}

// Runs the deletions queued so far, so that a task freed too early is gone before the check that follows.
void flushDeferredDeletes()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens a gate when a log message starting with the given text is written, then hands the message on.
class GateOnMessage
{
public:
    GateOnMessage(QSemaphore* gate, const char* text)
    {
        s_gate = gate;
        s_text = text;
        s_previous = qInstallMessageHandler(&GateOnMessage::handle);
    }
    ~GateOnMessage()
    {
        qInstallMessageHandler(s_previous);
        s_gate = nullptr;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (s_gate && message.startsWith(QLatin1String(s_text)))
            s_gate->release();
        if (s_previous)
            s_previous(type, context, message);
    }

    static inline QSemaphore* s_gate = nullptr;
    static inline const char* s_text = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

QList<QPointer<QTaskItem>> pointers(const QList<QTaskItem*>& tasks)
{
    QList<QPointer<QTaskItem>> result;
    for (QTaskItem* task : tasks)
        result.append(task);
    return result;
}

} // namespace

class TestTaskGroup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTaskFramework();
        // Every launch writes a debug line; the tests here launch thousands of tasks.
        QLoggingCategory::setFilterRules("default.debug=false");
    }

    void asyncTaskRunsOnItsOwnThread()
    {
        TaskJanitor janitor;
        std::atomic<QThread*> bodyThread{nullptr};
        QThread* followerThread = nullptr;
        QTaskItem* request = janitor.keep(createAsyncTask([&](QTaskItem* self) {
            bodyThread = QThread::currentThread();
            self->setState(TaskState_Succeeded);
        }));
        QTaskItem* follower = janitor.keep(createSyncTask([&](QTaskItem* self) {
            followerThread = QThread::currentThread();
            self->setState(TaskState_Succeeded);
        }));
        request->then(TaskState_Succeeded, follower);
        StateRelay relay(request);
        QSignalSpy spy(&relay, &StateRelay::stateChanged);

        QCOMPARE(request->launch(), 0);
        QCOMPARE(request->launch(), -1);
        QTRY_COMPARE(follower->state(), TaskState_Succeeded);
        QVERIFY(bodyThread.load() != nullptr);
        QVERIFY(bodyThread.load() != QThread::currentThread());
        QCOMPARE(followerThread, QThread::currentThread());
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(1).value<TaskState>(), TaskState_Running);
        QCOMPARE(spy.at(1).at(1).value<TaskState>(), TaskState_Succeeded);
    }

    void asyncBodyThatForgetsToEndIsReported()
    {
        TaskJanitor janitor;
        QSemaphore bodyDone;
        QTaskItem* task = janitor.keep(createAsyncTask([&](QTaskItem*) { bodyDone.release(); }));
        task->setName("Forgetful");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("PromiseTaskFunc_AsyncThread::run the body of "
                                                              "\"Forgetful\" returned without ending its task"));
        QCOMPARE(task->launch(), 0);
        bodyDone.acquire();
        QCOMPARE(task->state(), TaskState_Running);
        QVERIFY(janitor.releaseAll());
    }

    void firstSuccessWins_data()
    {
        QTest::addColumn<int>("firstToEnd");
        QTest::addColumn<int>("firstOutcome");
        QTest::addColumn<int>("secondOutcome");
        QTest::addColumn<int>("groupState");
        QTest::addColumn<int>("winner");

        QTest::newRow("second sub-task succeeds first")
            << 1 << int(TaskState_Succeeded) << int(TaskState_Succeeded) << int(TaskState_Succeeded) << 1;
        QTest::newRow("a later failure changes nothing")
            << 0 << int(TaskState_Succeeded) << int(TaskState_Failed) << int(TaskState_Succeeded) << 0;
        QTest::newRow("a failure before any success fails the group")
            << 0 << int(TaskState_Failed) << int(TaskState_Succeeded) << int(TaskState_Failed) << -1;
        QTest::newRow("both fail") << 1 << int(TaskState_Failed) << int(TaskState_Failed) << int(TaskState_Failed)
                                   << -1;
    }

    void firstSuccessWins()
    {
        QFETCH(int, firstToEnd);
        QFETCH(int, firstOutcome);
        QFETCH(int, secondOutcome);
        QFETCH(int, groupState);
        QFETCH(int, winner);

        TaskJanitor janitor;
        const int secondToEnd = 1 - firstToEnd;
        QSemaphore gates[2];
        TaskState outcomes[2];
        outcomes[firstToEnd] = TaskState(firstOutcome);
        outcomes[secondToEnd] = TaskState(secondOutcome);
        QTaskParallelGroup* group = janitor.keep(createParallelGroup());
        QTaskItem* subTasks[2];
        std::unique_ptr<StateRelay> relays[2];
        std::unique_ptr<QSignalSpy> spies[2];
        for (int i = 0; i < 2; ++i) {
            subTasks[i] = janitor.keep(createAsyncTask(requestBody(i, outcomes[i], 0, &gates[i])));
            group->addSubTask(subTasks[i]);
            relays[i] = std::make_unique<StateRelay>(subTasks[i]);
            spies[i] = std::make_unique<QSignalSpy>(relays[i].get(), &StateRelay::stateChanged);
        }
        QSignalSpy groupSpy(imp(group), &QTaskItem_Imp::sigStateChanged);
        QCOMPARE(group->asTaskItem()->launch(), 0);
        QCOMPARE(group->asTaskItem()->state(), TaskState_Running);

        gates[firstToEnd].release();
        QTRY_VERIFY(sawEnd(*spies[firstToEnd]));
        // The group decides on the first sub-task alone: the second is still running.
        QCOMPARE(subTasks[secondToEnd]->state(), TaskState_Running);
        gates[secondToEnd].release();
        QTRY_VERIFY(sawEnd(*spies[secondToEnd]));

        QTaskItem* groupItem = group->asTaskItem();
        QCOMPARE(int(groupItem->state()), groupState);
        QCOMPARE(endedSignals(groupSpy), 1);
        if (winner >= 0) {
            QCOMPARE(groupItem->property("Who").toInt(), winner);
            QCOMPARE(groupItem->property(TaskProperty_Response).toByteArray(),
                     QByteArray("reply ") + QByteArray::number(winner));
        } else {
            QVERIFY(groupItem->properties().isEmpty());
        }
    }

    void allMustSucceed_data()
    {
        QTest::addColumn<QString>("outcomes");
        QTest::addColumn<QString>("groupStates");

        // One letter per sub-task, ended in turn, and the group's state after each.
        QTest::newRow("all succeed") << "SSS"
                                     << "RRS";
        QTest::newRow("a failure waits for the others") << "FSS"
                                                        << "RRF";
        QTest::newRow("a failure as the last") << "SSF"
                                               << "RRF";
        QTest::newRow("a cancelled sub-task without failure decides nothing") << "SCS"
                                                                              << "RRR";
        QTest::newRow("a cancelled sub-task and a failure") << "CFS"
                                                            << "RRF";
    }

    void allMustSucceed()
    {
        QFETCH(QString, outcomes);
        QFETCH(QString, groupStates);

        TaskJanitor janitor;
        QTaskParallelGroup* group = janitor.keep(createParallelGroup(allMustSucceedTaskGroupPolicy()));
        QList<QTaskItem*> subTasks;
        for (int i = 0; i < outcomes.size(); ++i) {
            subTasks.append(janitor.keep(createSyncTask({})));
            subTasks.last()->setProperty("Who", i);
            group->addSubTask(subTasks.last());
        }
        QCOMPARE(group->asTaskItem()->launch(), 0);
        for (int i = 0; i < outcomes.size(); ++i) {
            QVERIFY(subTasks[i]->setState(stateFromLetter(outcomes[i])));
            QCOMPARE(group->asTaskItem()->state(), stateFromLetter(groupStates[i]));
        }
        QVERIFY(group->asTaskItem()->properties().isEmpty());
    }

    void defaultPolicyEndsOnceAllEnded_data()
    {
        QTest::addColumn<QString>("outcomes");
        QTest::addColumn<QString>("groupStates");
        QTest::addColumn<int>("followerState");

        // One letter per sub-task, ended in turn, and the group's state after each; the follower waits for the
        // group's failure.
        QTest::newRow("a cancelled and a failed sub-task") << "CF"
                                                           << "RF" << int(TaskState_Succeeded);
        QTest::newRow("a failed and a cancelled sub-task") << "FC"
                                                           << "FF" << int(TaskState_Succeeded);
        QTest::newRow("all cancelled") << "CC"
                                       << "RC" << int(TaskState_Cancelled);
        QTest::newRow("cancelled, failed, one still running decides") << "CFS"
                                                                      << "RRS" << int(TaskState_Cancelled);
        QTest::newRow("cancelled, then two failures") << "CFF"
                                                      << "RRF" << int(TaskState_Succeeded);
        QTest::newRow("a success after a cancellation") << "CS"
                                                        << "RS" << int(TaskState_Cancelled);
    }

    // Under the default policy a group whose sub-tasks have all ended without a success ends too, so that the
    // tasks chained after it go on.
    void defaultPolicyEndsOnceAllEnded()
    {
        QFETCH(QString, outcomes);
        QFETCH(QString, groupStates);
        QFETCH(int, followerState);

        TaskJanitor janitor;
        QTaskParallelGroup* group = janitor.keep(createParallelGroup());
        QList<QTaskItem*> subTasks;
        for (int i = 0; i < outcomes.size(); ++i) {
            subTasks.append(janitor.keep(createSyncTask({})));
            group->addSubTask(subTasks.last());
        }
        QTaskItem* onFailure =
            janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
        group->asTaskItem()->then(TaskState_Failed, onFailure);
        QSignalSpy groupSpy(imp(group), &QTaskItem_Imp::sigStateChanged);
        QCOMPARE(group->asTaskItem()->launch(), 0);
        for (int i = 0; i < outcomes.size(); ++i) {
            QVERIFY(subTasks[i]->setState(stateFromLetter(outcomes[i])));
            QCOMPARE(group->asTaskItem()->state(), stateFromLetter(groupStates[i]));
        }
        QCOMPARE(endedSignals(groupSpy), 1);
        QTRY_COMPARE(int(onFailure->state()), followerState);
    }

    void policyChoiceAndEmptyGroups()
    {
        TaskJanitor janitor;
        // An empty policy means the default one.
        QTaskParallelGroup* group = janitor.keep(createParallelGroup(TaskGroupPolicy()));
        QTaskItem* member = janitor.keep(createSyncTask(requestBody(7, TaskState_Succeeded)));
        group->addSubTask(member);
        QCOMPARE(group->asTaskItem()->launch(), 0);
        QCOMPARE(group->asTaskItem()->state(), TaskState_Succeeded);
        QCOMPARE(group->asTaskItem()->property("Who").toInt(), 7);
        QCOMPARE(member->launchedBy(), group->asTaskItem());
        QVERIFY(imp(member)->flags() & TaskFlag_Member);
        QCOMPARE(imp(group)->flags(), int(TaskFlag_Group));

        QTaskParallelGroup* empty = janitor.keep(createParallelGroup());
        QCOMPARE(empty->asTaskItem()->launch(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(empty->asTaskItem()->state(), TaskState_Running);

        QTaskParallelGroup* withoutPolicy = janitor.keep(createParallelGroup());
        withoutPolicy->setPolicy(nullptr);
        withoutPolicy->addSubTask(janitor.keep(createSyncTask(requestBody(1, TaskState_Succeeded))));
        QCOMPARE(withoutPolicy->asTaskItem()->launch(), 0);
        QCOMPARE(withoutPolicy->asTaskItem()->state(), TaskState_Running);

        QTaskItem* item = nullptr;
        QTaskParallelGroup* face = nullptr;
        QTaskItem* returnedItem = group->asTaskItem(&item);
        QCOMPARE(item, returnedItem);
        QCOMPARE(item, imp(group));
        QCOMPARE(group->asGroup(&face), group);
        QCOMPARE(face, group);
    }

    void cancellingGroupCancelsUnfinishedSubTasks()
    {
        TaskJanitor janitor;
        QSemaphore entered;
        QSemaphore gate;
        std::atomic<bool> sawInterruption{false};
        std::atomic<bool> lateSuccessAccepted{true};
        QTaskParallelGroup* group = janitor.keep(createParallelGroup(allMustSucceedTaskGroupPolicy()));
        QTaskItem* ended = janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
        QTaskItem* running = janitor.keep(createSyncTask({}));
        QTaskItem* async = janitor.keep(createAsyncTask([&](QTaskItem* self) {
            entered.release();
            gate.acquire();
            sawInterruption = QThread::currentThread()->isInterruptionRequested();
            lateSuccessAccepted = self->setState(TaskState_Succeeded);
        }));
        QTaskItem* follower = janitor.keep(createSyncTask({}));
        for (QTaskItem* subTask : {ended, running, async})
            group->addSubTask(subTask);
        group->asTaskItem()->then(TaskState_Succeeded, follower);
        StateRelay relay(async);
        QSignalSpy asyncSpy(&relay, &StateRelay::stateChanged);

        QCOMPARE(group->asTaskItem()->launch(), 0);
        entered.acquire();
        QTRY_COMPARE(asyncSpy.count(), 1);
        QCOMPARE(async->state(), TaskState_Running);
        QVERIFY(group->asTaskItem()->setState(TaskState_Cancelled));

        QCOMPARE(ended->state(), TaskState_Succeeded);
        QCOMPARE(running->state(), TaskState_Cancelled);
        QCOMPARE(async->state(), TaskState_Cancelled);
        QCOMPARE(follower->state(), TaskState_Cancelled);
        gate.release();
        QVERIFY(janitor.releaseAll());
        QVERIFY(sawInterruption);
        QVERIFY(!lateSuccessAccepted);

        // A cancellation that reaches a group through its chain before launch cancels its initial sub-tasks.
        QTaskItem* head = janitor.keep(createSyncTask({}));
        QTaskParallelGroup* idle = janitor.keep(createParallelGroup());
        QTaskItem* idleMember = janitor.keep(createSyncTask({}));
        idle->addSubTask(idleMember);
        head->then(TaskState_Succeeded, idle->asTaskItem());
        QVERIFY(head->setState(TaskState_Cancelled));
        QCOMPARE(idle->asTaskItem()->state(), TaskState_Cancelled);
        QCOMPARE(idleMember->state(), TaskState_Cancelled);
        QCOMPARE(idle->asTaskItem()->launch(), -1);
    }

    void backupGroupThenPrimaryRequest_data()
    {
        QTest::addColumn<QString>("backups");
        QTest::addColumn<int>("primaryOutcome");
        QTest::addColumn<QByteArrayList>("parsed");
        QTest::addColumn<bool>("stepFailed");

        QTest::newRow("a backup answers")
            << "SS" << int(TaskState_Succeeded) << QByteArrayList{"reply 0", "reply 1"} << false;
        QTest::newRow("backups fail, primary answers")
            << "FF" << int(TaskState_Succeeded) << QByteArrayList{"reply 9"} << false;
        QTest::newRow("everything fails") << "FF" << int(TaskState_Failed) << QByteArrayList() << true;
        QTest::newRow("no backups, primary fails") << "" << int(TaskState_Failed) << QByteArrayList() << true;
    }

    // The shape the class-entry API steps build: backups first, the primary request on their failure.
    void backupGroupThenPrimaryRequest()
    {
        QFETCH(QString, backups);
        QFETCH(int, primaryOutcome);
        QFETCH(QByteArrayList, parsed);
        QFETCH(bool, stepFailed);

        const QString contextName = "InitTask_API_LoadClassInfo";
        QRunContextManager* manager = QRunContextManager::instance();
        QVERIFY(!manager->findRunContext(contextName));
        QRunContext* context = manager->createRunContext()->setName(contextName);
        QCOMPARE(manager->findRunContext(contextName), context);

        QByteArray parsedReply;
        bool failed = false;
        const TaskBody parse = [&](QTaskItem* self) {
            parsedReply = self->launchedBy()->property(TaskProperty_Response).toByteArray();
            self->setState(TaskState_Succeeded);
        };
        const TaskBody fail = [&](QTaskItem* self) {
            failed = true;
            self->setState(TaskState_Succeeded);
        };

        QTaskItem* primary = createAsyncTask(requestBody(9, TaskState(primaryOutcome)));
        QTaskItem* head = primary;
        if (!backups.isEmpty()) {
            QTaskParallelGroup* group = createParallelGroup();
            for (int i = 0; i < backups.size(); ++i)
                group->addSubTask(createAsyncTask(requestBody(i, stateFromLetter(backups[i]))));
            head = group->asTaskItem();
            head->setRunContext(context);
            head->then(TaskState_Succeeded, createSyncTask(parse));
            head->then(TaskState_Failed, primary);
        } else {
            head->setRunContext(context);
        }
        primary->then(TaskState_Succeeded, createSyncTask(parse));
        primary->then(TaskState_Failed, createSyncTask(fail));
        const int taskCount = 1 + (backups.isEmpty() ? 0 : 2 + backups.size()) + 2;
        QCOMPARE(context->tasks().size(), taskCount);

        QCOMPARE(head->launch(), 0);
        QTRY_VERIFY(!parsedReply.isEmpty() || failed);
        if (stepFailed)
            QVERIFY(parsedReply.isEmpty());
        else
            QVERIFY2(parsed.contains(parsedReply), parsedReply.constData());
        QCOMPARE(failed, stepFailed);

        const QList<QPointer<QTaskItem>> tasks = pointers(context->tasks());
        QPointer<QRunContext> contextPointer(context);
        manager->releaseRunContext(context);
        QVERIFY(contextPointer.isNull());
        QVERIFY(!manager->findRunContext(contextName));
        QVERIFY(waitFreed(tasks));
    }

    void runContextsTrackTheirTasks()
    {
        TaskJanitor janitor;
        QRunContextManager* manager = QRunContextManager::instance();
        QCOMPARE(QRunContextManager::instance(), manager);
        QRunContext* first = manager->createRunContext();
        QRunContext* second = manager->createRunContext();
        QVERIFY(first != second);
        QVERIFY(manager->runContexts().contains(first));
        QVERIFY(manager->runContexts().contains(second));
        QCOMPARE(first->name(), QString());
        QCOMPARE(first->setName("first")->name(), QString("first"));

        QTaskParallelGroup* group = janitor.keep(createParallelGroup());
        QTaskItem* early = janitor.keep(createSyncTask({}));
        QTaskItem* late = janitor.keep(createSyncTask({}));
        QTaskItem* outsider = janitor.keep(createSyncTask({}));
        group->addSubTask(early);
        group->setRunContext(first);
        QCOMPARE(early->runContext(), first);
        group->addSubTask(late);
        QCOMPARE(late->runContext(), first);
        QCOMPARE(first->tasks().size(), 3);

        // Setting a context moves the group and its sub-tasks over.
        group->setRunContext(second);
        QVERIFY(first->tasks().isEmpty());
        QCOMPARE(second->tasks().size(), 3);
        QVERIFY(second->removeTask(outsider));
        QCOMPARE(second->tasks().size(), 3);

        // A freed task drops out of its context.
        releaseTask(late);
        QTRY_COMPARE(second->tasks().size(), 2);

        QCOMPARE(first->propertyCount(), 0);
        first->setProperty("key", 1);
        QVERIFY(!first->property("key").isValid());
        QVERIFY(first->properties().isEmpty());

        manager->releaseRunContext(first);
        manager->releaseRunContext(second);
        QVERIFY(!manager->runContexts().contains(first));
        QVERIFY(janitor.releaseAll());
    }

    void releasedTaskIsFreedWhenItsBodyReturns()
    {
        QSemaphore entered;
        QSemaphore gate;
        std::atomic<bool> sawInterruption{false};
        QTaskItem* task = createAsyncTask([&](QTaskItem* self) {
            entered.release();
            gate.acquire();
            sawInterruption = QThread::currentThread()->isInterruptionRequested();
            self->setProperty(TaskProperty_Response, QByteArray("late reply"));
            self->setState(TaskState_Succeeded);
        });
        QPointer<QTaskItem> pointer(task);
        QCOMPARE(task->launch(), 0);
        entered.acquire();
        releaseTask(task);
        flushDeferredDeletes();
        QVERIFY(!pointer.isNull());
        gate.release();
        QVERIFY(waitFreed({pointer}));
        QVERIFY(sawInterruption);

        // A released task that never ran is freed at once and does not launch any more.
        QTaskItem* idle = createAsyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); });
        QPointer<QTaskItem> idlePointer(idle);
        releaseTask(idle);
        QCOMPARE(idle->launch(), -1);
        QVERIFY(waitFreed({idlePointer}));
    }

    void releasedGroupAndContextWhileThreadsRun()
    {
        QSemaphore gate;
        QRunContextManager* manager = QRunContextManager::instance();
        QRunContext* context = manager->createRunContext()->setName("released while running");

        QTaskParallelGroup* group = createParallelGroup();
        std::atomic<bool> entered{false};
        QTaskItem* member = createAsyncTask([&entered, &gate](QTaskItem* self) {
            entered = true;
            gate.acquire();
            self->setState(TaskState_Succeeded);
        });
        QTaskItem* follower = createSyncTask({});
        group->addSubTask(member);
        group->setRunContext(context);
        group->asTaskItem()->then(TaskState_Succeeded, follower);
        const QList<QPointer<QTaskItem>> tasks = pointers({group->asTaskItem(), member, follower});

        QCOMPARE(group->asTaskItem()->launch(), 0);
        // Release only once the member's body runs: a task released before its body starts skips it.
        QTRY_VERIFY(entered.load());
        QPointer<QTaskItem> groupPointer(group->asTaskItem());
        releaseTask(group);
        QVERIFY(waitFreed({groupPointer}));
        QVERIFY(!tasks[1].isNull());

        // The context goes at once; its running task stays until its body returns.
        manager->releaseRunContext(context);
        QVERIFY(!manager->findRunContext("released while running"));
        QVERIFY(waitFreed({tasks[2]}));
        flushDeferredDeletes();
        QVERIFY(!tasks[1].isNull());
        QCOMPARE(member->runContext(), nullptr);
        gate.release();
        QVERIFY(waitFreed(tasks));
    }

    void deletingARunningTaskWaitsForItsBody()
    {
        QSemaphore entered;
        QSemaphore gate;
        std::atomic<bool> bodyEnded{false};
        QTaskItem* task = createAsyncTask([&](QTaskItem* self) {
            entered.release();
            gate.acquire();
            self->setState(TaskState_Succeeded);
            bodyEnded = true;
        });
        QCOMPARE(task->launch(), 0);
        entered.acquire();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QTaskItem_Imp::~QTaskItem_Imp waits for the body"));
        {
            // The body may end only once the destructor has found it running and waits for it.
            GateOnMessage opener(&gate, "QTaskItem_Imp::~QTaskItem_Imp waits for the body");
            delete task;
        }
        QVERIFY(bodyEnded);
    }

    // Many rounds of sub-tasks ending at nearly the same time.
    void racingSubTasksUnderBothPolicies_data()
    {
        QTest::addColumn<bool>("allMustSucceed");
        QTest::newRow("first success wins") << false;
        QTest::newRow("all must succeed") << true;
    }

    void racingSubTasksUnderBothPolicies()
    {
        QFETCH(bool, allMustSucceed);

        QRandomGenerator random(allMustSucceed ? 11 : 7);
        for (int round = 0; round < 150; ++round) {
            TaskJanitor janitor;
            const int count = 2 + random.bounded(2);
            TaskState outcomes[3];
            QTaskParallelGroup* group =
                janitor.keep(createParallelGroup(allMustSucceed ? allMustSucceedTaskGroupPolicy() : TaskGroupPolicy()));
            QList<QTaskItem*> subTasks;
            std::vector<std::unique_ptr<StateRelay>> relays;
            std::vector<std::unique_ptr<QSignalSpy>> spies;
            for (int i = 0; i < count; ++i) {
                outcomes[i] = random.bounded(2) ? TaskState_Succeeded : TaskState_Failed;
                subTasks.append(janitor.keep(createAsyncTask(requestBody(i, outcomes[i], random.bounded(200u)))));
                group->addSubTask(subTasks.last());
                relays.push_back(std::make_unique<StateRelay>(subTasks.last()));
                spies.push_back(std::make_unique<QSignalSpy>(relays.back().get(), &StateRelay::stateChanged));
            }
            QTaskItem* groupItem = group->asTaskItem();
            QSignalSpy groupSpy(imp(group), &QTaskItem_Imp::sigStateChanged);
            bool endedEarly = false;
            connect(imp(group), &QTaskItem_Imp::sigStateChanged, this, [&](QTaskItem*, TaskState state) {
                if (!(state & TaskState_EndedMask))
                    return;
                for (QTaskItem* subTask : qAsConst(subTasks))
                    endedEarly = endedEarly || !(subTask->state() & TaskState_EndedMask);
            });

            QCOMPARE(groupItem->launch(), 0);
            for (const auto& spy : spies)
                QVERIFY(waitUntil([&spy] { return sawEnd(*spy); }));

            QCOMPARE(endedSignals(groupSpy), 1);
            bool anySucceeded = false;
            bool anyFailed = false;
            for (int i = 0; i < count; ++i) {
                anySucceeded = anySucceeded || outcomes[i] == TaskState_Succeeded;
                anyFailed = anyFailed || outcomes[i] == TaskState_Failed;
            }
            const TaskState groupState = groupItem->state();
            if (allMustSucceed) {
                QCOMPARE(groupState, anyFailed ? TaskState_Failed : TaskState_Succeeded);
                QVERIFY(!endedEarly);
                QVERIFY(groupItem->properties().isEmpty());
            } else if (groupState == TaskState_Succeeded) {
                const int winner = groupItem->property("Who").toInt();
                QCOMPARE(outcomes[winner], TaskState_Succeeded);
                QCOMPARE(groupItem->property(TaskProperty_Response).toByteArray(),
                         subTasks[winner]->property(TaskProperty_Response).toByteArray());
            } else {
                QCOMPARE(groupState, TaskState_Failed);
                QVERIFY(anyFailed);
            }
            if (!anySucceeded)
                QCOMPARE(groupState, TaskState_Failed);
            QVERIFY(janitor.releaseAll());
        }
    }

    void racingCancellation()
    {
        QRandomGenerator random(3);
        int cancelledRounds = 0;
        for (int round = 0; round < 150; ++round) {
            TaskJanitor janitor;
            QTaskParallelGroup* group = janitor.keep(createParallelGroup());
            QList<QTaskItem*> subTasks;
            TaskState outcomes[2];
            std::vector<std::unique_ptr<StateRelay>> relays;
            std::vector<std::unique_ptr<QSignalSpy>> spies;
            for (int i = 0; i < 2; ++i) {
                outcomes[i] = random.bounded(2) ? TaskState_Succeeded : TaskState_Failed;
                subTasks.append(janitor.keep(createAsyncTask(requestBody(i, outcomes[i], random.bounded(300u)))));
                group->addSubTask(subTasks.last());
                relays.push_back(std::make_unique<StateRelay>(subTasks.last()));
                spies.push_back(std::make_unique<QSignalSpy>(relays.back().get(), &StateRelay::stateChanged));
            }
            QTaskItem* follower =
                janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
            QTaskItem* groupItem = group->asTaskItem();
            groupItem->then(TaskState_Succeeded, follower);
            QSignalSpy groupSpy(imp(group), &QTaskItem_Imp::sigStateChanged);

            QCOMPARE(groupItem->launch(), 0);
            QThread::usleep(random.bounded(300u));
            QCoreApplication::processEvents();
            const bool cancelled = groupItem->setState(TaskState_Cancelled);
            for (const auto& spy : spies)
                QVERIFY(waitUntil([&spy] { return sawEnd(*spy); }));

            QCOMPARE(endedSignals(groupSpy), 1);
            if (cancelled) {
                ++cancelledRounds;
                QCOMPARE(groupItem->state(), TaskState_Cancelled);
                QCOMPARE(follower->state(), TaskState_Cancelled);
                for (int i = 0; i < 2; ++i)
                    QVERIFY(subTasks[i]->state() == outcomes[i] || subTasks[i]->state() == TaskState_Cancelled);
            } else if (groupItem->state() == TaskState_Succeeded) {
                QVERIFY(waitUntil([follower] { return follower->state() == TaskState_Succeeded; }));
            } else {
                QCOMPARE(groupItem->state(), TaskState_Failed);
                QCOMPARE(follower->state(), TaskState_Initial);
            }
            QVERIFY(janitor.releaseAll());
        }
        qInfo() << "TestTaskGroup::racingCancellation cancelled in" << cancelledRounds << "of 150 rounds";
    }

    void racingRelease()
    {
        QRandomGenerator random(5);
        QRunContextManager* manager = QRunContextManager::instance();
        for (int round = 0; round < 150; ++round) {
            QRunContext* context = manager->createRunContext()->setName("racing release");
            QTaskParallelGroup* group = createParallelGroup();
            group->setRunContext(context);
            QList<QTaskItem*> tasks{group->asTaskItem()};
            for (int i = 0; i < 2; ++i) {
                const TaskState outcome = random.bounded(2) ? TaskState_Succeeded : TaskState_Failed;
                tasks.append(createAsyncTask(requestBody(i, outcome, random.bounded(300u))));
                group->addSubTask(tasks.last());
            }
            tasks.append(group->asTaskItem()->then(TaskState_Succeeded, createSyncTask({})));
            tasks.append(
                group->asTaskItem()->then(TaskState_Failed, createAsyncTask(requestBody(9, TaskState_Succeeded))));
            const QList<QPointer<QTaskItem>> pointers = ::pointers(tasks);
            QCOMPARE(context->tasks().size(), tasks.size());

            QCOMPARE(tasks.first()->launch(), 0);
            QThread::usleep(random.bounded(400u));
            if (random.bounded(2))
                QCoreApplication::processEvents();
            if (random.bounded(2)) {
                manager->releaseRunContext(context);
            } else {
                // Released one by one, in a random order; the context goes last.
                while (!tasks.isEmpty())
                    releaseTask(tasks.takeAt(random.bounded(tasks.size())));
                manager->releaseRunContext(context);
            }
            QVERIFY(waitFreed(pointers));
        }
    }
};

ZM_TEST_MAIN_CORE(TestTaskGroup)
#include "tst_taskgroup.moc"
