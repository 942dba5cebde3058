#include "TaskTestSupport.h"

#include "app/tasks/QRunContext.h"
#include "app/tasks/QRunContextManager.h"
#include "app/tasks/TaskProperties.h"

#include "LogCapture.h"
#include "ZmTestMain.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>

#include <atomic>

using namespace TaskTest;

namespace {

// Brings a fresh task into the given state along accepted transitions.
void driveTo(QTaskItem* task, TaskState state)
{
    if (state == TaskState_Initial)
        return;
    if (state == TaskState_Cancelled) {
        task->setState(TaskState_Cancelled);
        return;
    }
    task->setState(TaskState_Running);
    if (state != TaskState_Running)
        task->setState(state);
}

int cancellations(const QSignalSpy& spy)
{
    int count = 0;
    for (const QList<QVariant>& arguments : spy) {
        if (arguments.at(1).value<TaskState>() == TaskState_Cancelled)
            ++count;
    }
    return count;
}

} // namespace

class TestTaskItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTaskFramework(); }

    void stateTransitions_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("accepted");

        const QList<QPair<int, QString>> states = {{TaskState_Initial, "Initial"},
                                                   {TaskState_Running, "Running"},
                                                   {TaskState_Succeeded, "Succeeded"},
                                                   {TaskState_Failed, "Failed"},
                                                   {TaskState_Cancelled, "Cancelled"}};
        const QList<QPair<int, int>> accepted = {{TaskState_Initial, TaskState_Running},
                                                 {TaskState_Initial, TaskState_Cancelled},
                                                 {TaskState_Running, TaskState_Succeeded},
                                                 {TaskState_Running, TaskState_Failed},
                                                 {TaskState_Running, TaskState_Cancelled}};
        for (const auto& from : states) {
            for (const auto& to : states) {
                const QByteArray row = (from.second + " -> " + to.second).toLatin1();
                QTest::newRow(row.constData()) << from.first << to.first << accepted.contains({from.first, to.first});
            }
            QTest::newRow((from.second + " -> no state").toLatin1().constData()) << from.first << 4 << false;
        }
    }

    void stateTransitions()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, accepted);

        TaskJanitor janitor;
        QTaskItem* task = janitor.keep(createSyncTask({}));
        driveTo(task, TaskState(from));
        QCOMPARE(int(task->state()), from);

        QSignalSpy spy(imp(task), &QTaskItem_Imp::sigStateChanged);
        QCOMPARE(task->setState(TaskState(to)), accepted);
        QCOMPARE(int(task->state()), accepted ? to : from);
        QCOMPARE(spy.count(), accepted ? 1 : 0);
        if (accepted) {
            QCOMPARE(spy.at(0).at(0).value<QTaskItem*>(), task);
            QCOMPARE(int(spy.at(0).at(1).value<TaskState>()), to);
        }
    }

    void launchRunsTheBodyOnceOnTheCallingThread()
    {
        TaskJanitor janitor;
        int runs = 0;
        QThread* bodyThread = nullptr;
        QTaskItem* task = janitor.keep(createSyncTask([&](QTaskItem* self) {
            ++runs;
            bodyThread = QThread::currentThread();
            QCOMPARE(self->state(), TaskState_Running);
        }));
        QTaskItem* launcher = janitor.keep(createSyncTask({}));

        QCOMPARE(task->launch(launcher), 0);
        QCOMPARE(runs, 1);
        QCOMPARE(bodyThread, QThread::currentThread());
        QCOMPARE(task->launchedBy(), launcher);
        // A body that does not end its task leaves it running.
        QCOMPARE(task->state(), TaskState_Running);
        QCOMPARE(task->launch(), -1);
        QCOMPARE(runs, 1);

        QTaskItem* cancelled = janitor.keep(createSyncTask([&](QTaskItem*) { ++runs; }));
        QVERIFY(cancelled->setState(TaskState_Cancelled));
        QCOMPARE(cancelled->launch(), -1);
        QCOMPARE(runs, 1);

        QCOMPARE(task->detroy(), 0);
        QCOMPARE(task->state(), TaskState_Running);
    }

    void launchLogsNamedTasks_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("default name") << false << QString() << QStringList{"\"Unknown_Name\" ->launch"};
        QTest::newRow("own name") << true << "API_LoadClassInfo" << QStringList{"\"API_LoadClassInfo\" ->launch"};
        QTest::newRow("empty name") << true << QString() << QStringList();
    }

    void launchLogsNamedTasks()
    {
        QFETCH(bool, rename);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);

        TaskJanitor janitor;
        QTaskItem* task = janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
        if (rename)
            task->setName(name);
        ZmTest::LogCapture capture;
        QCOMPARE(task->launch(), 0);
        QCOMPARE(task->launch(), -1); // a refused launch writes nothing
        QCOMPARE(capture.lines(), lines);
    }

    void followerOutcome_data()
    {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("followerState");
        QTest::addColumn<bool>("followerRan");

        QTest::newRow("on success, predecessor succeeds")
            << int(TaskState_Succeeded) << int(TaskState_Succeeded) << int(TaskState_Running) << true;
        QTest::newRow("on success, predecessor fails")
            << int(TaskState_Succeeded) << int(TaskState_Failed) << int(TaskState_Initial) << false;
        QTest::newRow("on success, predecessor cancelled")
            << int(TaskState_Succeeded) << int(TaskState_Cancelled) << int(TaskState_Cancelled) << false;
        QTest::newRow("on failure, predecessor fails")
            << int(TaskState_Failed) << int(TaskState_Failed) << int(TaskState_Running) << true;
        QTest::newRow("on failure, predecessor succeeds")
            << int(TaskState_Failed) << int(TaskState_Succeeded) << int(TaskState_Cancelled) << false;
        QTest::newRow("on running, predecessor succeeds while it runs")
            << int(TaskState_Running) << int(TaskState_Succeeded) << int(TaskState_Cancelled) << true;
        QTest::newRow("on running, predecessor fails while it runs")
            << int(TaskState_Running) << int(TaskState_Failed) << int(TaskState_Running) << true;
    }

    void followerOutcome()
    {
        QFETCH(int, trigger);
        QFETCH(int, outcome);
        QFETCH(int, followerState);
        QFETCH(bool, followerRan);

        TaskJanitor janitor;
        bool ran = false;
        QTaskItem* head = janitor.keep(createSyncTask({}));
        QTaskItem* follower = janitor.keep(createSyncTask([&](QTaskItem*) { ran = true; }));
        QCOMPARE(head->then(TaskState(trigger), follower), follower);

        QCOMPARE(head->launch(), 0);
        QCoreApplication::processEvents();
        QVERIFY(head->setState(TaskState(outcome)));
        QCoreApplication::processEvents();

        QCOMPARE(int(follower->state()), followerState);
        QCOMPARE(ran, followerRan);
        if (followerRan)
            QCOMPARE(follower->launchedBy(), head);
    }

    void chainOfSyncTasksRunsInTurn()
    {
        TaskJanitor janitor;
        QStringList order;
        QList<QTaskItem*> tasks;
        for (const QString letter : {"a", "b", "c"}) {
            tasks.append(janitor.keep(createSyncTask([&order, &tasks, letter](QTaskItem* self) {
                order.append(letter);
                // The next task starts in a later turn of the event loop, never inside this body.
                for (QTaskItem* other : qAsConst(tasks)) {
                    if (other != self && other->state() == TaskState_Running)
                        order.append("overlap");
                }
                self->setState(TaskState_Succeeded);
            })));
        }
        tasks[0]->then(TaskState_Succeeded, tasks[1])->then(TaskState_Succeeded, tasks[2]);

        QCOMPARE(tasks[0]->launch(), 0);
        QCOMPARE(order, QStringList{"a"});
        QCOMPARE(tasks[1]->state(), TaskState_Initial);
        QTRY_COMPARE(tasks[2]->state(), TaskState_Succeeded);
        QCOMPARE(order, (QStringList{"a", "b", "c"}));
        QCOMPARE(tasks[1]->launchedBy(), tasks[0]);
        QCOMPARE(tasks[2]->launchedBy(), tasks[1]);
    }

    void chainOfSyncAndAsyncTasksHandsResultsOn()
    {
        TaskJanitor janitor;
        QThread* const mainThread = QThread::currentThread();
        std::atomic<QThread*> threads[4] = {};
        QList<QTaskItem*> tasks;
        for (int i = 0; i < 4; ++i) {
            const TaskBody body = [i, &threads](QTaskItem* self) {
                threads[i] = QThread::currentThread();
                QByteArray reply =
                    i == 0 ? QByteArray() : self->launchedBy()->property(TaskProperty_Response).toByteArray();
                reply.append(char('a' + i));
                self->setProperty(TaskProperty_Response, reply);
                self->setState(TaskState_Succeeded);
            };
            tasks.append(janitor.keep(i % 2 == 0 ? createAsyncTask(body) : createSyncTask(body)));
        }
        std::atomic<QThread*> emittingThread{nullptr};
        connect(
            imp(tasks[0]), &QTaskItem_Imp::sigStateChanged, this,
            [&](QTaskItem*, TaskState state) {
                if (state == TaskState_Succeeded)
                    emittingThread = QThread::currentThread();
            },
            Qt::DirectConnection);
        tasks[0]
            ->then(TaskState_Succeeded, tasks[1])
            ->then(TaskState_Succeeded, tasks[2])
            ->then(TaskState_Succeeded, tasks[3]);

        QCOMPARE(tasks[0]->launch(), 0);
        QTRY_COMPARE(tasks[3]->state(), TaskState_Succeeded);
        QCOMPARE(tasks[3]->property(TaskProperty_Response).toByteArray(), QByteArray("abcd"));
        QVERIFY(threads[0] != mainThread);
        QVERIFY(threads[2] != mainThread);
        QVERIFY(threads[0] != threads[2]);
        QCOMPARE(threads[1].load(), mainThread);
        QCOMPARE(threads[3].load(), mainThread);
        // The asynchronous task's state is set, and announced, on its own thread.
        QCOMPARE(emittingThread.load(), threads[0].load());
        QCOMPARE(imp(tasks[0])->flags() & 0xFF, int(TaskFlag_Async));
        QCOMPARE(imp(tasks[1])->flags(), TaskFlag_Sync | TaskFlag_OnSucceeded);
    }

    void failurePassesDownToTheFailureHandler()
    {
        TaskJanitor janitor;
        QTaskItem* first = janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Failed); }));
        QTaskItem* second = janitor.keep(createSyncTask({}));
        QTaskItem* third = janitor.keep(createSyncTask({}));
        QTaskItem* handler = janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
        first->then(TaskState_Succeeded, second)->then(TaskState_Succeeded, third)->then(TaskState_Failed, handler);
        QSignalSpy secondSpy(imp(second), &QTaskItem_Imp::sigStateChanged);
        QSignalSpy thirdSpy(imp(third), &QTaskItem_Imp::sigStateChanged);

        QCOMPARE(first->launch(), 0);
        QTRY_COMPARE(handler->state(), TaskState_Succeeded);
        QCOMPARE(handler->launchedBy(), first);
        QCOMPARE(second->state(), TaskState_Initial);
        QCOMPARE(third->state(), TaskState_Initial);
        for (const QSignalSpy* spy : {&secondSpy, &thirdSpy}) {
            QCOMPARE(spy->count(), 1);
            QCOMPARE(spy->at(0).at(0).value<QTaskItem*>(), first);
            QCOMPARE(spy->at(0).at(1).value<TaskState>(), TaskState_Failed);
        }
    }

    void siblingOnFailureTakesOver_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("onSuccessState");
        QTest::addColumn<int>("onFailureState");
        QTest::addColumn<int>("onSuccessSignals");

        QTest::newRow("predecessor fails")
            << int(TaskState_Failed) << int(TaskState_Initial) << int(TaskState_Succeeded) << 0;
        QTest::newRow("predecessor succeeds")
            << int(TaskState_Succeeded) << int(TaskState_Succeeded) << int(TaskState_Cancelled) << 2;
    }

    void siblingOnFailureTakesOver()
    {
        QFETCH(int, outcome);
        QFETCH(int, onSuccessState);
        QFETCH(int, onFailureState);
        QFETCH(int, onSuccessSignals);

        TaskJanitor janitor;
        const TaskBody succeed = [](QTaskItem* self) { self->setState(TaskState_Succeeded); };
        QTaskItem* head =
            janitor.keep(createSyncTask([outcome](QTaskItem* self) { self->setState(TaskState(outcome)); }));
        QTaskItem* onSuccess = janitor.keep(createSyncTask(succeed));
        QTaskItem* onFailure = janitor.keep(createSyncTask(succeed));
        head->then(TaskState_Succeeded, onSuccess);
        head->then(TaskState_Failed, onFailure);
        QSignalSpy onSuccessSpy(imp(onSuccess), &QTaskItem_Imp::sigStateChanged);

        QCOMPARE(head->launch(), 0);
        QTRY_COMPARE(int(onSuccess->state()), onSuccessState);
        QTRY_COMPARE(int(onFailure->state()), onFailureState);
        QCoreApplication::processEvents();
        // The follower on success stays silent: its sibling handles the failure.
        QCOMPARE(onSuccessSpy.count(), onSuccessSignals);
        if (onFailureState == TaskState_Succeeded)
            QCOMPARE(onFailure->launchedBy(), head);
    }

    void cancellationTravelsPastEndedTasks()
    {
        TaskJanitor janitor;
        QTaskItem* head = janitor.keep(createSyncTask({}));
        QTaskItem* ended = janitor.keep(createSyncTask([](QTaskItem* self) { self->setState(TaskState_Succeeded); }));
        QTaskItem* running = janitor.keep(createSyncTask({}));
        QTaskItem* waiting = janitor.keep(createSyncTask({}));
        head->then(TaskState_Running, ended)->then(TaskState_Succeeded, running)->then(TaskState_Succeeded, waiting);

        QCOMPARE(head->launch(), 0);
        QTRY_COMPARE(running->state(), TaskState_Running);
        QCOMPARE(ended->state(), TaskState_Succeeded);
        QCOMPARE(waiting->state(), TaskState_Initial);

        QSignalSpy endedSpy(imp(ended), &QTaskItem_Imp::sigStateChanged);
        QSignalSpy runningSpy(imp(running), &QTaskItem_Imp::sigStateChanged);
        QSignalSpy waitingSpy(imp(waiting), &QTaskItem_Imp::sigStateChanged);
        QVERIFY(head->setState(TaskState_Cancelled));

        QCOMPARE(ended->state(), TaskState_Succeeded);
        QCOMPARE(running->state(), TaskState_Cancelled);
        QCOMPARE(waiting->state(), TaskState_Cancelled);
        QCOMPARE(cancellations(endedSpy), 1);
        QCOMPARE(cancellations(runningSpy), 1);
        QCOMPARE(cancellations(waitingSpy), 1);
    }

    void cancellationIsAnnouncedOncePerTask()
    {
        TaskJanitor janitor;
        QList<QTaskItem*> chain;
        QList<QSignalSpy*> spies;
        for (int i = 0; i < 16; ++i) {
            chain.append(janitor.keep(createSyncTask({})));
            if (i > 0)
                chain[i - 1]->then(TaskState_Succeeded, chain[i]);
            spies.append(new QSignalSpy(imp(chain[i]), &QTaskItem_Imp::sigStateChanged));
        }
        QCOMPARE(chain[0]->launch(), 0);
        QVERIFY(chain[0]->setState(TaskState_Cancelled));
        for (int i = 0; i < chain.size(); ++i) {
            QCOMPARE(chain[i]->state(), TaskState_Cancelled);
            QCOMPARE(cancellations(*spies[i]), 1);
        }
        qDeleteAll(spies);
    }

    void thenRefusesWhatCannotBeChained()
    {
        TaskJanitor janitor;
        QTaskItem* first = janitor.keep(createSyncTask({}));
        QTaskItem* second = janitor.keep(createSyncTask({}));
        int result = 7;

        QVERIFY(isSentinelTask(first->then(TaskState_Cancelled, second, &result)));
        QCOMPARE(result, 7);
        QVERIFY(isSentinelTask(first->then(TaskState_Succeeded, nullptr, &result)));
        QCOMPARE(result, -1);
        result = 7;
        QVERIFY(isSentinelTask(first->then(TaskState_Succeeded, sentinelTask(), &result)));
        QCOMPARE(result, -1);
        QVERIFY(isSentinelTask(sentinelTask()->then(TaskState_Succeeded, second)));
        QVERIFY(isSentinelTask(sentinelTask()->then(TaskState_Succeeded, second)->then(TaskState_Succeeded, first)));
        QCOMPARE(second->previousTask(), nullptr);

        QRunContext* context = QRunContextManager::instance()->createRunContext();
        first->setRunContext(context);
        QCOMPARE(first->then(TaskState_Succeeded, second, &result), second);
        QCOMPARE(result, 0);
        QCOMPARE(second->previousTask(), first);
        QCOMPARE(first->followers(), QList<QTaskItem*>{second});
        QCOMPARE(second->runContext(), context);
        QCOMPARE(first->then(TaskState_Succeeded, second), second);
        QCOMPARE(first->followers().size(), 1);

        // A chain that closes on itself would pass cancellations round for ever.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QTaskItem_Imp::then refuses"));
        QVERIFY(isSentinelTask(second->then(TaskState_Succeeded, first, &result)));
        QCOMPARE(result, -1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QTaskItem_Imp::then refuses"));
        QVERIFY(isSentinelTask(first->then(TaskState_Succeeded, first)));
        QCOMPARE(first->previousTask(), nullptr);
        QRunContextManager::instance()->releaseRunContext(context);
    }

    void propertiesAreValues()
    {
        TaskJanitor janitor;
        QTaskItem* task = janitor.keep(createSyncTask({}));
        QVERIFY(!task->property("missing").isValid());
        QVERIFY(task->properties().contains("missing"));
        QVERIFY(!task->properties().value("missing").isValid());

        QByteArray reply("{\"code\":0}");
        task->setProperty(TaskProperty_Response, reply);
        reply.fill('x');
        QCOMPARE(task->property(TaskProperty_Response).toByteArray(), QByteArray("{\"code\":0}"));

        task->setProperties({{"only", 1}});
        QCOMPARE(task->properties().keys(), QStringList{"only"});
        QCOMPARE(task->name(), QString("Unknown_Name"));
        QCOMPARE(task->id(), QString("Unknown_ID"));
        QCOMPARE(task->setId("42")->id(), QString("42"));
    }

    void sentinelsStayInert()
    {
        QVERIFY(isSentinelTask(nullptr));
        QVERIFY(isSentinelTask(static_cast<QTaskItem*>(nullptr)));
        QVERIFY(isSentinelTask(static_cast<QTaskParallelGroup*>(nullptr)));
        QVERIFY(isSentinelTask(sentinelTask()));
        QVERIFY(isSentinelTask(sentinelGroup()));
        QVERIFY(isSentinelTask(sentinelGroup()->asTaskItem()));

        TaskJanitor janitor;
        QTaskItem* task = janitor.keep(createSyncTask({}));
        QTaskParallelGroup* group = janitor.keep(createParallelGroup());
        QVERIFY(!isSentinelTask(task));
        QVERIFY(!isSentinelTask(group));

        QTaskItem* sentinel = sentinelTask();
        QCOMPARE(sentinel->launch(), -1);
        QVERIFY(!sentinel->setState(TaskState_Cancelled));
        QCOMPARE(sentinel->state(), TaskState_Initial);
        QRunContext* context = QRunContextManager::instance()->createRunContext();
        sentinel->setRunContext(context);
        sentinelGroup()->setRunContext(context);
        QVERIFY(context->tasks().isEmpty());
        QRunContextManager::instance()->releaseRunContext(context);

        QTaskItem* item = task;
        QTaskParallelGroup* face = group;
        QCOMPARE(sentinelGroup()->asTaskItem(&item), sentinelGroup()->asTaskItem());
        QCOMPARE(item, nullptr);
        sentinelGroup()->asGroup(&face);
        QCOMPARE(face, nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QTaskParallelGroup_Imp::addSubTask ignores"));
        sentinelGroup()->addSubTask(task);
        QVERIFY(sentinelGroup()->subTasks().isEmpty());

        QPointer<QTaskItem> kept(sentinel);
        releaseTask(sentinel);
        releaseTask(sentinelGroup());
        QTest::qWait(1);
        QVERIFY(!kept.isNull());
    }
};

ZM_TEST_MAIN_CORE(TestTaskItem)
#include "tst_taskitem.moc"
