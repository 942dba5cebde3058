#include "app/tasks/PromiseTaskFunc_AsyncThread.h"

#include <QDebug>

PromiseTaskFunc_AsyncThread::PromiseTaskFunc_AsyncThread(TaskBody body, QTaskItem* task, QObject* parent)
    : QThread(parent)
    , m_body(std::move(body))
    , m_task(task)
{
}

void PromiseTaskFunc_AsyncThread::run()
{
    if (isInterruptionRequested() || !m_body)
        return;
    m_body(m_task);
    if (m_task->state() == TaskState_Running)
        qWarning() << "PromiseTaskFunc_AsyncThread::run the body of" << m_task->name()
                   << "returned without ending its task";
}
