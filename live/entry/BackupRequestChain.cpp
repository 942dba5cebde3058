#include "live/entry/BackupRequestChain.h"

#include "app/TaskLessonContext.h"
#include "app/tasks/QRunContext.h"
#include "app/tasks/QRunContextManager.h"
#include "app/tasks/TaskFramework.h"

#include <QDebug>
#include <QPointer>

namespace BackupRequestChain {

namespace {

QTaskItem* requestTask(const Request& request, const QString& base, const LessonContext& lesson, const QString& name)
{
    QTaskItem* task = createAsyncTask([request, base](QTaskItem* self) { request(self, base); });
    task->setName(name);
    setTaskLessonContext(task, lesson);
    return task;
}

// The outcome after predecessor: a synchronous task that hands the predecessor to onSucceeded.
QTaskItem* successTask(const Succeeded& onSucceeded, const QString& name)
{
    QTaskItem* task = createSyncTask([onSucceeded](QTaskItem* self) {
        onSucceeded(self->previousTask());
        self->setState(TaskState_Succeeded);
    });
    task->setName(name);
    return task;
}

QTaskItem* failureTask(const Failed& onFailed, const QString& name)
{
    QTaskItem* task = createSyncTask([onFailed](QTaskItem* self) {
        onFailed();
        self->setState(TaskState_Succeeded);
    });
    task->setName(name);
    return task;
}

} // namespace

QRunContext* launch(const QString& contextName, const QString& primary, const QStringList& backups,
                    const LessonContext& lesson, Request request, Succeeded onSucceeded, Failed onFailed)
{
    initTaskFramework();
    QRunContext* context = QRunContextManager::instance()->createRunContext();
    context->setName(contextName);

    QTaskItem* primaryTask = requestTask(request, primary, lesson, contextName + QStringLiteral("_Primary"));
    QTaskItem* first = primaryTask;
    if (!backups.isEmpty()) {
        QTaskParallelGroup* group = createParallelGroup();
        for (int i = 0; i < backups.size(); ++i)
            group->addSubTask(
                requestTask(request, backups.at(i), lesson, contextName + QStringLiteral("_Backup%1").arg(i + 1)));
        group->setRunContext(context);
        first = group->asTaskItem();
        first->setName(contextName + QStringLiteral("_Backups"));
        first->then(TaskState_Succeeded, successTask(onSucceeded, contextName + QStringLiteral("_BackupSucceeded")));
        first->then(TaskState_Failed, primaryTask);
    } else {
        primaryTask->setRunContext(context);
    }
    primaryTask->then(TaskState_Succeeded, successTask(onSucceeded, contextName + QStringLiteral("_Succeeded")));
    primaryTask->then(TaskState_Failed, failureTask(onFailed, contextName + QStringLiteral("_Failed")));

    if (first->launch() != 0) {
        qWarning() << "BackupRequestChain::launch cannot start" << contextName;
        onFailed();
    }
    return context;
}

void releaseWhenIdle(QRunContext* context)
{
    if (!context)
        return;
    const QPointer<QRunContext> guard(context);
    const auto releaseIfIdle = [guard] {
        if (guard && guard->tasks().isEmpty())
            QRunContextManager::instance()->releaseRunContext(guard.data());
    };
    const QList<QTaskItem*> tasks = context->tasks();
    for (QTaskItem* task : tasks) {
        QObject::connect(task, &QObject::destroyed, context, releaseIfIdle, Qt::QueuedConnection);
        releaseTask(task);
    }
    if (tasks.isEmpty())
        releaseIfIdle();
}

} // namespace BackupRequestChain
