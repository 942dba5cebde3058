#include "settings/AsyncProbe.h"

#include <QCoreApplication>
#include <QEvent>

AsyncProbe::AsyncProbe(int timeLimitMs)
    : m_timeLimitMs(qMax(0, timeLimitMs))
{
}

AsyncProbe::~AsyncProbe()
{
    // A probe is deleted only after its thread has finished; this waits for the thread's last steps at most.
    if (m_started)
        m_thread.wait();
}

void AsyncProbe::start()
{
    if (m_started || thread() == &m_thread)
        return;
    m_started = true;
    m_startThread = QThread::currentThread();
    m_deadline = QDeadlineTimer(m_timeLimitMs);
    moveToThread(&m_thread);

    m_timer.setInterval(m_timeLimitMs);
    connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        m_thread.requestInterruption();
        m_thread.quit();
    });
    m_timer.setSingleShot(true);
    m_timer.start();

    connect(
        &m_thread, &QThread::finished, this, [this] { onThreadFinished(); }, Qt::DirectConnection);
    m_thread.start(QThread::InheritPriority);
    QMetaObject::invokeMethod(this, "run", Qt::QueuedConnection);
}

int AsyncProbe::remainingMs() const
{
    if (!m_started)
        return m_timeLimitMs;
    return int(m_deadline.remainingTime());
}

void AsyncProbe::onThreadFinished()
{
    // Back to the starting thread first: a finished thread runs no event loop, so the owner's deleteLater() and the
    // queued calls would never be delivered there.
    // A run() the time limit overtook stays undone rather than running on the starting thread.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    moveToThread(m_startThread);
    m_finished.store(true);
    emitEnded();
    int expected = Running;
    if (!m_state.compare_exchange_strong(expected, Ended))
        deleteLater(); // released while running
}

void AsyncProbe::release()
{
    int expected = Running;
    if (m_started && m_state.compare_exchange_strong(expected, Released))
        return; // frees itself when its thread finishes
    deleteLater();
}
