#include "app/tasks/TaskFramework.h"

#include "app/tasks/PromiseTaskFunc_AsyncThread.h"
#include "app/tasks/QTaskItem_Imp.h"
#include "app/tasks/QTaskParallelGroup_Imp.h"
#include "app/tasks/TaskGroupPolicies.h"

#include <QDebug>

#include <mutex>
#include <new>

namespace {
QTaskItem_Imp* s_sentinelTask = nullptr;
QTaskParallelGroup_Imp* s_sentinelGroup = nullptr;
} // namespace

void initTaskFramework()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<QTaskItem*>("QTaskItem*");
        qRegisterMetaType<TaskState>("TaskState");
        s_sentinelTask = new QTaskItem_Imp;
        s_sentinelTask->markAsSentinel();
        s_sentinelGroup = new QTaskParallelGroup_Imp;
        s_sentinelGroup->setFlags(TaskFlag_Group);
        s_sentinelGroup->markAsSentinel();
    });
}

QTaskItem* sentinelTask()
{
    initTaskFramework();
    return s_sentinelTask;
}

QTaskParallelGroup* sentinelGroup()
{
    initTaskFramework();
    return s_sentinelGroup;
}

bool isSentinelTask(const QTaskItem* task)
{
    return !task || task == s_sentinelTask || (s_sentinelGroup && task == static_cast<QTaskItem*>(s_sentinelGroup));
}

bool isSentinelTask(const QTaskParallelGroup* group)
{
    return !group || (s_sentinelGroup && group == static_cast<QTaskParallelGroup*>(s_sentinelGroup));
}

bool isSentinelTask(std::nullptr_t)
{
    return true;
}

QTaskItem* createSyncTask(TaskBody body)
{
    initTaskFramework();
    auto* task = new (std::nothrow) QTaskItem_Imp;
    if (!task) {
        qWarning() << "createSyncTask cannot create a task";
        return sentinelTask();
    }
    task->setFlags(TaskFlag_Sync);
    task->setBody(std::move(body));
    return task;
}

QTaskItem* createAsyncTask(TaskBody body)
{
    initTaskFramework();
    auto* task = new (std::nothrow) QTaskItem_Imp;
    if (!task) {
        qWarning() << "createAsyncTask cannot create a task";
        return sentinelTask();
    }
    auto* thread = new (std::nothrow) PromiseTaskFunc_AsyncThread(std::move(body), task);
    if (!thread) {
        qWarning() << "createAsyncTask cannot create a task thread";
        delete task;
        return sentinelTask();
    }
    task->setFlags(TaskFlag_Async);
    task->attachAsyncThread(thread);
    return task;
}

QTaskParallelGroup* createParallelGroup(TaskGroupPolicy policy)
{
    initTaskFramework();
    auto* group = new (std::nothrow) QTaskParallelGroup_Imp;
    if (!group) {
        qWarning() << "createParallelGroup cannot create a group";
        return sentinelGroup();
    }
    group->setFlags(TaskFlag_Group);
    group->setPolicy(policy ? std::move(policy) : defaultTaskGroupPolicy());
    return group;
}

void releaseTask(QTaskItem* task)
{
    if (isSentinelTask(task))
        return;
    if (auto* item = qobject_cast<QTaskItem_Imp*>(task))
        item->release();
    else
        task->deleteLater();
}

void releaseTask(QTaskParallelGroup* group)
{
    if (isSentinelTask(group))
        return;
    releaseTask(group->asTaskItem());
}
