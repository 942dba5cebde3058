#include "replay/windows/ReplayClock.h"

#include <QElapsedTimer>

ReplayClock::ReplayClock(TimeSource source)
    : m_now(source ? std::move(source) : TimeSource(&ReplayClock::monotonicNow))
{
}

qint64 ReplayClock::monotonicNow()
{
    static const QElapsedTimer origin = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return origin.elapsed();
}

void ReplayClock::start()
{
    m_mark = m_now();
    m_running = true;
}

void ReplayClock::stop()
{
    if (!m_running)
        return;
    m_accumulated += m_now() - m_mark;
    m_running = false;
}

qint64 ReplayClock::position() const
{
    return m_running ? m_accumulated + (m_now() - m_mark) : m_accumulated;
}
