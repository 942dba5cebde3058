#include "app/tasks/TaskGroupPolicies.h"

#include "app/tasks/QTaskItem.h"

namespace {

int combinedStates(const QTaskParallelGroup* group)
{
    int states = 0;
    const QList<QTaskItem*> subTasks = group->subTasks();
    for (const QTaskItem* subTask : subTasks)
        states |= subTask->state();
    return states;
}

void firstSuccessWins(QTaskParallelGroup* group, QTaskItem* subTask, TaskState)
{
    QTaskItem* groupItem = group->asTaskItem();
    const int state = subTask->state();
    if (state & TaskState_Succeeded) {
        if (groupItem->setState(TaskState_Succeeded))
            groupItem->setProperties(subTask->properties());
        return;
    }
    if (state & TaskState_Running) {
        groupItem->setState(TaskState_Running);
        return;
    }
    // Failed, with no sub-task succeeded or cancelled; those still initial or running do not count.
    const int states = combinedStates(group);
    if ((states & TaskState_EndedMask) == TaskState_Failed) {
        groupItem->setState(TaskState_Failed);
        return;
    }
    // Every sub-task has ended and none succeeded: the group ends too, or what waits for it would wait for ever.
    if (states != 0 && !(states & TaskState_UnfinishedMask) && !(states & TaskState_Succeeded))
        groupItem->setState((states & TaskState_EndedMask) == TaskState_Cancelled ? TaskState_Cancelled
                                                                                  : TaskState_Failed);
}

void allMustSucceed(QTaskParallelGroup* group, QTaskItem*, TaskState)
{
    QTaskItem* groupItem = group->asTaskItem();
    const int states = combinedStates(group);
    if (states & TaskState_UnfinishedMask) {
        if (states & TaskState_Running)
            groupItem->setState(TaskState_Running);
        return;
    }
    if ((states & TaskState_EndedMask) == TaskState_Succeeded)
        groupItem->setState(TaskState_Succeeded);
    else if (states & TaskState_Failed)
        groupItem->setState(TaskState_Failed);
}

const TaskGroupPolicy s_defaultPolicy = firstSuccessWins;
const TaskGroupPolicy s_allMustSucceedPolicy = allMustSucceed;

} // namespace

const TaskGroupPolicy& defaultTaskGroupPolicy()
{
    return s_defaultPolicy;
}

const TaskGroupPolicy& allMustSucceedTaskGroupPolicy()
{
    return s_allMustSucceedPolicy;
}
