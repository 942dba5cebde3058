#pragma once

#include "app/tasks/TaskState.h"

#include <QList>

#include <functional>

class QRunContext;
class QTaskItem;
class QTaskParallelGroup;

// Decides a group's state from the state change of one of its sub-tasks.
using TaskGroupPolicy = std::function<void(QTaskParallelGroup* group, QTaskItem* subTask, TaskState state)>;

// A task made of sub-tasks that are launched together; a policy decides the group's outcome.
class QTaskParallelGroup
{
public:
    virtual ~QTaskParallelGroup() = default;

    // The same object seen as a task item. out receives it too, or null for the sentinel group.
    virtual QTaskItem* asTaskItem(QTaskItem** out = nullptr) = 0;
    // The group face itself. out receives it too, or null for the sentinel group.
    virtual QTaskParallelGroup* asGroup(QTaskParallelGroup** out = nullptr) = 0;
    virtual QTaskParallelGroup* setPolicy(TaskGroupPolicy policy) = 0;
    virtual QTaskParallelGroup* addSubTask(QTaskItem* task) = 0;
    virtual QList<QTaskItem*> subTasks() const = 0;
    // Sets the context of the group and of every sub-task.
    virtual QTaskParallelGroup* setRunContext(QRunContext* context) = 0;
};
