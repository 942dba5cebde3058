#pragma once

#include "app/tasks/QTaskItem_Imp.h"
#include "app/tasks/QTaskParallelGroup.h"
#include "app/tasks/TaskFramework.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStringList>
#include <QTest>

namespace TaskTest {

inline QTaskItem_Imp* imp(QTaskItem* task)
{
    return qobject_cast<QTaskItem_Imp*>(task);
}

inline QTaskItem_Imp* imp(QTaskParallelGroup* group)
{
    return qobject_cast<QTaskItem_Imp*>(group->asTaskItem());
}

// Re-emits a task's state changes on the test thread, so that a QSignalSpy can watch a task whose changes
// are made on its own thread.
class StateRelay : public QObject
{
    Q_OBJECT

public:
    explicit StateRelay(QTaskItem* task)
    {
        connect(imp(task), &QTaskItem_Imp::sigStateChanged, this, &StateRelay::stateChanged, Qt::QueuedConnection);
    }

signals:
    void stateChanged(QTaskItem* forWho, TaskState forWhat);
};

using ZmTest::waitUntil;

// Waits until every task is freed.
inline bool waitFreed(const QList<QPointer<QTaskItem>>& tasks, int timeoutMs = ZmTest::kWaitMs)
{
    return waitUntil(
        [&tasks] {
            for (const QPointer<QTaskItem>& task : tasks) {
                if (task)
                    return false;
            }
            return true;
        },
        timeoutMs);
}

// Releases the tasks of one test at its end and waits until they are freed.
class TaskJanitor
{
public:
    TaskJanitor() = default;
    TaskJanitor(const TaskJanitor&) = delete;
    TaskJanitor& operator=(const TaskJanitor&) = delete;
    ~TaskJanitor() { releaseAll(); }

    QTaskItem* keep(QTaskItem* task)
    {
        m_tasks.append(task);
        return task;
    }

    QTaskParallelGroup* keep(QTaskParallelGroup* group)
    {
        m_tasks.append(group->asTaskItem());
        return group;
    }

    bool releaseAll()
    {
        for (const QPointer<QTaskItem>& task : qAsConst(m_tasks)) {
            if (task)
                releaseTask(task.data());
        }
        const bool freed = waitFreed(m_tasks);
        m_tasks.clear();
        return freed;
    }

private:
    QList<QPointer<QTaskItem>> m_tasks;
};

inline TaskState stateFromLetter(QChar letter)
{
    switch (letter.toLatin1()) {
    case 'I':
        return TaskState_Initial;
    case 'R':
        return TaskState_Running;
    case 'S':
        return TaskState_Succeeded;
    case 'F':
        return TaskState_Failed;
    default:
        return TaskState_Cancelled;
    }
}

} // namespace TaskTest
