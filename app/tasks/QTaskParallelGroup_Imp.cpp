#include "app/tasks/QTaskParallelGroup_Imp.h"

#include "app/tasks/LivePointers.h"
#include "app/tasks/TaskFramework.h"

#include <QDebug>
#include <QMutexLocker>

QTaskParallelGroup_Imp::QTaskParallelGroup_Imp(QObject* parent)
    : QTaskItem_Imp(parent)
{
}

QTaskItem* QTaskParallelGroup_Imp::asTaskItem(QTaskItem** out)
{
    if (out)
        *out = isSentinel() ? nullptr : this;
    return this;
}

QTaskParallelGroup* QTaskParallelGroup_Imp::asGroup(QTaskParallelGroup** out)
{
    if (out)
        *out = isSentinel() ? nullptr : this;
    return this;
}

QTaskParallelGroup* QTaskParallelGroup_Imp::setPolicy(TaskGroupPolicy policy)
{
    QMutexLocker locker(&m_lock);
    m_policy = std::move(policy);
    return this;
}

QTaskParallelGroup* QTaskParallelGroup_Imp::addSubTask(QTaskItem* task)
{
    auto* subTask = qobject_cast<QTaskItem_Imp*>(task);
    if (isSentinel() || !subTask || isSentinelTask(task) || subTask == this) {
        qWarning() << "QTaskParallelGroup_Imp::addSubTask ignores" << (subTask ? subTask->name() : QString())
                   << "in group" << name();
        return this;
    }
    {
        QMutexLocker locker(&m_lock);
        m_subTasks.append(subTask);
    }
    subTask->addFlags(TaskFlag_Member);
    subTask->setRunContext(runContext());
    connect(subTask, SIGNAL(sigStateChanged(QTaskItem*, TaskState)), this,
            SLOT(slotSubTaskStateChanged(QTaskItem*, TaskState)),
            Qt::ConnectionType(Qt::AutoConnection | Qt::UniqueConnection));
    return this;
}

QList<QTaskItem*> QTaskParallelGroup_Imp::subTasks() const
{
    QMutexLocker locker(&m_lock);
    return livePointers(m_subTasks);
}

QTaskParallelGroup_Imp* QTaskParallelGroup_Imp::setRunContext(QRunContext* context)
{
    QTaskItem_Imp::setRunContext(context);
    if (isSentinel())
        return this;
    const QList<QTaskItem*> members = subTasks();
    for (QTaskItem* subTask : members)
        subTask->setRunContext(context);
    return this;
}

bool QTaskParallelGroup_Imp::setState(TaskState state)
{
    if (!QTaskItem_Imp::setState(state))
        return false;
    if (state == TaskState_Cancelled) {
        const QList<QTaskItem*> members = subTasks();
        for (QTaskItem* subTask : members)
            subTask->setState(TaskState_Cancelled);
    }
    return true;
}

int QTaskParallelGroup_Imp::launch(QTaskItem* forWho)
{
    const int result = QTaskItem_Imp::launch(forWho);
    if (result != 0)
        return result;
    QTaskItem* launcher = forWho ? forWho : this;
    const QList<QTaskItem*> members = subTasks();
    for (QTaskItem* subTask : members)
        subTask->launch(launcher);
    return result;
}

void QTaskParallelGroup_Imp::slotSubTaskStateChanged(QTaskItem* pSubTask, TaskState forWhat)
{
    // A queued change may arrive after its sub-task was released: only live members reach the policy.
    TaskGroupPolicy policy;
    {
        QMutexLocker locker(&m_lock);
        bool member = false;
        for (const QPointer<QTaskItem>& subTask : qAsConst(m_subTasks)) {
            if (subTask && subTask == pSubTask) {
                member = true;
                break;
            }
        }
        if (!member)
            return;
        policy = m_policy;
    }
    if (policy)
        policy(this, pSubTask, forWhat);
}
