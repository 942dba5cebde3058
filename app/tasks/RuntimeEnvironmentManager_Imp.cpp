#include "app/tasks/RuntimeEnvironmentManager_Imp.h"

#include "app/tasks/LivePointers.h"
#include "app/tasks/QRunContext_Imp.h"
#include "app/tasks/TaskFramework.h"

#include <QMutexLocker>

RuntimeEnvironmentManager_Imp::RuntimeEnvironmentManager_Imp(QObject* parent)
    : QRunContextManager(parent)
{
}

QRunContext* RuntimeEnvironmentManager_Imp::createRunContext()
{
    auto* context = new QRunContext_Imp;
    QMutexLocker locker(&m_lock);
    m_contexts.append(context);
    return context;
}

QRunContext* RuntimeEnvironmentManager_Imp::findRunContext(const QString& name) const
{
    const QList<QRunContext*> contexts = runContexts();
    for (QRunContext* context : contexts) {
        if (context->name() == name)
            return context;
    }
    return nullptr;
}

QList<QRunContext*> RuntimeEnvironmentManager_Imp::runContexts() const
{
    QMutexLocker locker(&m_lock);
    return livePointers(m_contexts);
}

void RuntimeEnvironmentManager_Imp::releaseRunContext(QRunContext* context)
{
    if (!context)
        return;
    {
        QMutexLocker locker(&m_lock);
        for (int i = 0; i < m_contexts.size(); ++i) {
            if (m_contexts.at(i) == context) {
                m_contexts.removeAt(i);
                break;
            }
        }
    }
    const QList<QTaskItem*> tasks = context->tasks();
    for (QTaskItem* task : tasks)
        releaseTask(task);
    delete context;
}
