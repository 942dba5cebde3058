#pragma once

#include "app/tasks/QTaskItem.h"

#include <QThread>

// The thread of one asynchronous task: runs the task's body once. The task owns it and outlives it.
class PromiseTaskFunc_AsyncThread : public QThread
{
    Q_OBJECT

public:
    PromiseTaskFunc_AsyncThread(TaskBody body, QTaskItem* task, QObject* parent = nullptr);

protected:
    void run() override;

private:
    TaskBody m_body;
    QTaskItem* m_task;
};
