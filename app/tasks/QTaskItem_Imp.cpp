#include "app/tasks/QTaskItem_Imp.h"

#include "app/tasks/LivePointers.h"
#include "app/tasks/PromiseTaskFunc_AsyncThread.h"
#include "app/tasks/TaskFramework.h"

#include <QDebug>
#include <QMetaObject>
#include <QMutexLocker>
#include <QSet>

namespace {

bool transitionAccepted(TaskState from, TaskState to)
{
    switch (from) {
    case TaskState_Initial:
        return to == TaskState_Running || to == TaskState_Cancelled;
    case TaskState_Running:
        return to == TaskState_Succeeded || to == TaskState_Failed || to == TaskState_Cancelled;
    default:
        return false;
    }
}

int triggerFor(TaskState state)
{
    switch (state) {
    case TaskState_Running:
        return TaskFlag_OnRunning;
    case TaskState_Succeeded:
        return TaskFlag_OnSucceeded;
    case TaskState_Failed:
        return TaskFlag_OnFailed;
    default:
        return 0;
    }
}

bool triggerMatches(int flags, TaskState state)
{
    const int trigger = triggerFor(state);
    return trigger != 0 && (flags & TaskFlag_TriggerMask) == trigger;
}

} // namespace

QTaskItem_Imp::QTaskItem_Imp(QObject* parent)
    : QTaskItem(parent)
{
}

QTaskItem_Imp::~QTaskItem_Imp()
{
    if (m_asyncThread) {
        // Only reached with a running body when the task was deleted directly instead of released.
        if (m_asyncThread->isRunning()) {
            qWarning() << "QTaskItem_Imp::~QTaskItem_Imp waits for the body of" << m_name;
            m_asyncThread->requestInterruption();
        }
        m_asyncThread->wait();
        delete m_asyncThread;
    }
    if (QRunContext* context = m_runContext.data())
        context->removeTask(this);
}

QTaskItem* QTaskItem_Imp::setRunContext(QRunContext* context)
{
    QPointer<QRunContext> previous;
    {
        QMutexLocker locker(&m_lock);
        if (m_sentinel)
            return this;
        previous = m_runContext;
        m_runContext = context;
    }
    if (previous)
        previous->removeTask(this);
    if (context)
        context->addTask(this);
    return this;
}

QRunContext* QTaskItem_Imp::runContext() const
{
    QMutexLocker locker(&m_lock);
    return m_runContext.data();
}

bool QTaskItem_Imp::setState(TaskState state)
{
    PromiseTaskFunc_AsyncThread* thread = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (m_sentinel || !transitionAccepted(m_state, state))
            return false;
        m_state = state;
        thread = m_asyncThread;
    }
    // A body that watches for interruption may stop early once its task is cancelled.
    if (state == TaskState_Cancelled && thread)
        thread->requestInterruption();
    emit sigStateChanged(this, state);
    return true;
}

TaskState QTaskItem_Imp::state() const
{
    QMutexLocker locker(&m_lock);
    return m_state;
}

QTaskItem* QTaskItem_Imp::previousTask() const
{
    QMutexLocker locker(&m_lock);
    return m_previousTask.data();
}

QList<QTaskItem*> QTaskItem_Imp::followers() const
{
    QMutexLocker locker(&m_lock);
    return livePointers(m_followers);
}

QTaskItem* QTaskItem_Imp::setName(const QString& name)
{
    QMutexLocker locker(&m_lock);
    m_name = name;
    return this;
}

QString QTaskItem_Imp::name() const
{
    QMutexLocker locker(&m_lock);
    return m_name;
}

QTaskItem* QTaskItem_Imp::setId(const QString& id)
{
    QMutexLocker locker(&m_lock);
    m_id = id;
    return this;
}

QString QTaskItem_Imp::id() const
{
    QMutexLocker locker(&m_lock);
    return m_id;
}

QTaskItem* QTaskItem_Imp::launchedBy() const
{
    QMutexLocker locker(&m_lock);
    return m_launchedBy;
}

void QTaskItem_Imp::setLaunchedBy(QTaskItem* task)
{
    QMutexLocker locker(&m_lock);
    m_launchedBy = task;
}

void QTaskItem_Imp::setProperty(const QString& key, const QVariant& value)
{
    QMutexLocker locker(&m_lock);
    m_properties.insert(key, value);
}

void QTaskItem_Imp::setProperties(const QMap<QString, QVariant>& properties)
{
    QMutexLocker locker(&m_lock);
    m_properties = properties;
}

QVariant QTaskItem_Imp::property(const QString& key)
{
    QMutexLocker locker(&m_lock);
    return m_properties[key];
}

QMap<QString, QVariant> QTaskItem_Imp::properties() const
{
    QMutexLocker locker(&m_lock);
    return m_properties;
}

QTaskItem* QTaskItem_Imp::then(TaskState whenState, QTaskItem* next, int* outResult)
{
    if (whenState == TaskState_Cancelled)
        return sentinelTask();
    if (outResult)
        *outResult = -1;
    auto* follower = qobject_cast<QTaskItem_Imp*>(next);
    if (isSentinelTask(this) || isSentinelTask(next) || !follower)
        return sentinelTask();
    // A cycle would pass every cancellation round it for ever.
    if (next == this || isAncestor(next)) {
        qWarning() << "QTaskItem_Imp::then refuses to chain" << follower->name() << "after" << name()
                   << ": it would close a cycle";
        return sentinelTask();
    }

    follower->addFlags(triggerFor(whenState));
    // Connected by signature, as every link that may cross threads: with Qt 5 a functor connection can leak
    // its slot object when the receiver is freed while another thread emits.
    connect(this, SIGNAL(sigStateChanged(QTaskItem*, TaskState)), follower,
            SLOT(slotPrevTaskStateChanged(QTaskItem*, TaskState)),
            Qt::ConnectionType(Qt::AutoConnection | Qt::UniqueConnection));
    follower->setPreviousTask(this);
    addFollower(follower);
    follower->setRunContext(runContext());

    if (outResult)
        *outResult = 0;
    return next;
}

int QTaskItem_Imp::launch(QTaskItem* forWho)
{
    {
        QMutexLocker locker(&m_lock);
        if (m_releaseRequested)
            return -1;
    }
    if (!setState(TaskState_Running))
        return -1;
    setLaunchedBy(forWho);

    const QString taskName = name();
    if (!taskName.isEmpty())
        qDebug() << taskName << "->launch";

    PromiseTaskFunc_AsyncThread* thread = nullptr;
    TaskBody body;
    {
        QMutexLocker locker(&m_lock);
        thread = m_asyncThread;
        if (thread)
            m_threadStarted = true;
        else
            body = m_body;
    }

    if (thread) {
        thread->start(QThread::InheritPriority);
        if (!thread->isRunning() && !thread->isFinished()) {
            qWarning() << "QTaskItem_Imp::launch cannot start the thread of" << taskName;
            {
                QMutexLocker locker(&m_lock);
                m_threadEnded = true;
            }
            setState(TaskState_Failed);
        }
        return 0;
    }
    if (body)
        body(this);
    return 0;
}

int QTaskItem_Imp::detroy()
{
    return 0;
}

QTaskItem_Imp* QTaskItem_Imp::setFlags(int flags)
{
    QMutexLocker locker(&m_lock);
    m_flags = flags;
    return this;
}

int QTaskItem_Imp::flags() const
{
    QMutexLocker locker(&m_lock);
    return m_flags;
}

void QTaskItem_Imp::setPreviousTask(QTaskItem* task)
{
    QMutexLocker locker(&m_lock);
    m_previousTask = task;
}

void QTaskItem_Imp::addFollower(QTaskItem* task)
{
    QMutexLocker locker(&m_lock);
    for (const QPointer<QTaskItem>& follower : qAsConst(m_followers)) {
        if (follower == task)
            return;
    }
    m_followers.append(task);
}

void QTaskItem_Imp::addFlags(int flags)
{
    QMutexLocker locker(&m_lock);
    m_flags |= flags;
}

void QTaskItem_Imp::setBody(TaskBody body)
{
    QMutexLocker locker(&m_lock);
    m_body = std::move(body);
}

void QTaskItem_Imp::attachAsyncThread(PromiseTaskFunc_AsyncThread* thread)
{
    {
        QMutexLocker locker(&m_lock);
        m_asyncThread = thread;
    }
    // Emitted on the worker thread, delivered queued to the task's own thread.
    connect(thread, SIGNAL(finished()), this, SLOT(onAsyncThreadFinished()));
}

void QTaskItem_Imp::markAsSentinel()
{
    QMutexLocker locker(&m_lock);
    m_sentinel = true;
    m_name = QStringLiteral("Sentinel");
}

bool QTaskItem_Imp::isSentinel() const
{
    QMutexLocker locker(&m_lock);
    return m_sentinel;
}

void QTaskItem_Imp::release()
{
    PromiseTaskFunc_AsyncThread* runningThread = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (m_sentinel || m_releaseRequested)
            return;
        m_releaseRequested = true;
        if (m_threadStarted && !m_threadEnded)
            runningThread = m_asyncThread;
    }
    if (runningThread) {
        // The body still uses this task: it is freed when the thread has finished.
        runningThread->requestInterruption();
        return;
    }
    deleteLater();
}

void QTaskItem_Imp::onAsyncThreadFinished()
{
    bool releaseNow = false;
    {
        QMutexLocker locker(&m_lock);
        m_threadEnded = true;
        releaseNow = m_releaseRequested;
    }
    if (releaseNow)
        deleteLater();
}

void QTaskItem_Imp::slotPrevTaskStateChanged(QTaskItem* forWho, TaskState forWhat)
{
    // forWho may have been released since the change was sent: it is compared and passed on, never used.
    if (forWhat == TaskState_Cancelled) {
        passOnCancellation();
        return;
    }
    if (triggerMatches(flags(), forWhat)) {
        // Queued, so that the follower never runs inside its predecessor's emission or body.
        QMetaObject::invokeMethod(this, "launch", Qt::QueuedConnection, Q_ARG(QTaskItem*, forWho));
        return;
    }
    if (forWhat == TaskState_Failed) {
        if (!siblingTakesOver(forWhat))
            emit sigStateChanged(forWho, TaskState_Failed);
        return;
    }
    if (forWhat == TaskState_Running)
        return;
    // The predecessor ended in a state this task does not wait for: the branch was not taken.
    if (forWho == previousTask())
        passOnCancellation();
}

void QTaskItem_Imp::passOnCancellation()
{
    if (!setState(TaskState_Cancelled))
        emit sigStateChanged(this, TaskState_Cancelled);
}

bool QTaskItem_Imp::siblingTakesOver(TaskState state) const
{
    QTaskItem* previous = previousTask();
    if (!previous)
        return false;
    const QList<QTaskItem*> siblings = previous->followers();
    for (QTaskItem* sibling : siblings) {
        if (sibling == this)
            continue;
        const auto* item = qobject_cast<const QTaskItem_Imp*>(sibling);
        if (item && triggerMatches(item->flags(), state))
            return true;
    }
    return false;
}

bool QTaskItem_Imp::isAncestor(const QTaskItem* task) const
{
    QSet<const QTaskItem*> seen;
    for (QTaskItem* ancestor = previousTask(); ancestor && !seen.contains(ancestor);
         ancestor = ancestor->previousTask()) {
        if (ancestor == task)
            return true;
        seen.insert(ancestor);
    }
    return false;
}
