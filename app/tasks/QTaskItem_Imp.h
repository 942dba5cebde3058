#pragma once

#include "app/tasks/QRunContext.h"
#include "app/tasks/QTaskItem.h"

#include <QPointer>
#include <QRecursiveMutex>

class PromiseTaskFunc_AsyncThread;

// The task item. Every field is guarded by the task's lock, held inside one accessor only: signals are
// emitted and other objects are called after it is released, so no two task locks are ever held together.
// Links to other tasks and to the run context are weak: a released neighbour simply disappears.
class QTaskItem_Imp : public QTaskItem
{
    Q_OBJECT

public:
    explicit QTaskItem_Imp(QObject* parent = nullptr);
    ~QTaskItem_Imp() override;

    QTaskItem* setRunContext(QRunContext* context) override;
    QRunContext* runContext() const override;
    bool setState(TaskState state) override;
    TaskState state() const override;
    QTaskItem* previousTask() const override;
    QList<QTaskItem*> followers() const override;
    QTaskItem* setName(const QString& name) override;
    QString name() const override;
    QTaskItem* setId(const QString& id) override;
    QString id() const override;
    QTaskItem* launchedBy() const override;
    void setLaunchedBy(QTaskItem* task) override;
    void setProperty(const QString& key, const QVariant& value) override;
    void setProperties(const QMap<QString, QVariant>& properties) override;
    QVariant property(const QString& key) override;
    QMap<QString, QVariant> properties() const override;
    QTaskItem* then(TaskState whenState, QTaskItem* next, int* outResult = nullptr) override;
    int launch(QTaskItem* forWho = nullptr) override;
    int detroy() override;

    virtual QTaskItem_Imp* setFlags(int flags);
    virtual int flags() const;
    virtual void setPreviousTask(QTaskItem* task);
    virtual void addFollower(QTaskItem* task);

    // ORs bits into the flags in one step.
    void addFlags(int flags);
    // The body a synchronous task runs on the launching thread.
    void setBody(TaskBody body);
    // Hands the task its own thread (asynchronous tasks); the task owns it from now on.
    void attachAsyncThread(PromiseTaskFunc_AsyncThread* thread);
    // Marks the process-wide stand-in for "no task": it never changes state, launches or joins a context.
    void markAsSentinel();
    bool isSentinel() const;
    // Frees the task: at once (through the event loop) when no body runs on its thread, otherwise as soon as
    // that body returns. A released task no longer launches.
    void release();

signals:
    void sigStateChanged(QTaskItem* forWho, TaskState forWhat);

public slots:
    void slotPrevTaskStateChanged(QTaskItem* forWho, TaskState forWhat);

protected:
    mutable QRecursiveMutex m_lock;

private slots:
    void onAsyncThreadFinished();

private:
    // Cancels this task, or passes the cancellation on when it had ended already: one emission per receipt.
    void passOnCancellation();
    bool siblingTakesOver(TaskState state) const;
    bool isAncestor(const QTaskItem* task) const;

    TaskBody m_body;
    PromiseTaskFunc_AsyncThread* m_asyncThread = nullptr;
    QPointer<QRunContext> m_runContext;
    TaskState m_state = TaskState_Initial;
    int m_flags = 0;
    QPointer<QTaskItem> m_previousTask;
    QList<QPointer<QTaskItem>> m_followers;
    QString m_name = QStringLiteral("Unknown_Name");
    QString m_id = QStringLiteral("Unknown_ID");
    QTaskItem* m_launchedBy = nullptr;
    QMap<QString, QVariant> m_properties;

    bool m_sentinel = false;
    bool m_threadStarted = false;
    bool m_threadEnded = false;
    bool m_releaseRequested = false;
};
