#pragma once

#include "app/tasks/QTaskItem_Imp.h"
#include "app/tasks/QTaskParallelGroup.h"

// A parallel group: launching it launches every sub-task; its policy turns their state changes into the
// group's state. It has no body and no thread of its own. Sub-tasks are held weakly: a released sub-task
// drops out of the group.
class QTaskParallelGroup_Imp : public QTaskItem_Imp, public QTaskParallelGroup
{
    Q_OBJECT

public:
    explicit QTaskParallelGroup_Imp(QObject* parent = nullptr);

    QTaskItem* asTaskItem(QTaskItem** out = nullptr) override;
    QTaskParallelGroup* asGroup(QTaskParallelGroup** out = nullptr) override;
    QTaskParallelGroup* setPolicy(TaskGroupPolicy policy) override;
    QTaskParallelGroup* addSubTask(QTaskItem* task) override;
    QList<QTaskItem*> subTasks() const override;
    QTaskParallelGroup_Imp* setRunContext(QRunContext* context) override;

    bool setState(TaskState state) override;
    int launch(QTaskItem* forWho = nullptr) override;

public slots:
    void slotSubTaskStateChanged(QTaskItem* pSubTask, TaskState forWhat);

private:
    QList<QPointer<QTaskItem>> m_subTasks;
    TaskGroupPolicy m_policy;
};
