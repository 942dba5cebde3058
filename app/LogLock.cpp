#include "app/LogLock.h"

#include "app/RunLog.h"

#include <QMutex>

#include <atomic>

namespace {

// Constant-initialised with a trivial destructor, so it outlives every other static at exit. Alone in its cache
// line: every thread that logs touches it. held tells threads that only try the lock that it is taken, without
// writing to the line.
struct alignas(64) LogMutex
{
    QBasicMutex mutex;
    std::atomic<bool> held;

    void lock()
    {
        mutex.lock();
        held.store(true, std::memory_order_relaxed);
    }

    bool tryLock()
    {
        if (held.load(std::memory_order_relaxed) || !mutex.tryLock())
            return false;
        held.store(true, std::memory_order_relaxed);
        return true;
    }

    void unlock()
    {
        held.store(false, std::memory_order_relaxed);
        mutex.unlock();
    }
};

LogMutex s_logMutex;

thread_local int t_depth = 0;

} // namespace

LogLock::LogLock()
{
    if (t_depth++ != 0)
        return;
    s_logMutex.lock();
    RunLog::takeQueuedLines();
}

LogLock::LogLock(std::try_to_lock_t)
{
    if (t_depth == 0 && !s_logMutex.tryLock()) {
        m_owns = false;
        return;
    }
    if (t_depth++ == 0)
        RunLog::takeQueuedLines();
}

LogLock::~LogLock()
{
    if (m_owns && --t_depth == 0)
        s_logMutex.unlock();
}

bool LogLock::isHeldByCurrentThread()
{
    return t_depth > 0;
}
