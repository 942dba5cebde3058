#include "live/rtc/sim/SimWorkerThread.h"

#include <pthread.h>

SimWorkerThread::SimWorkerThread(std::string name)
    : m_name(std::move(name))
{
}

SimWorkerThread::~SimWorkerThread()
{
    stop();
    // Destroyed from a task of its own: the thread ends when that task returns.
    if (m_thread.joinable())
        m_thread.detach();
}

void SimWorkerThread::start(int tickMs, Task tick)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_started)
        return;
    m_started = true;
    m_tick = std::move(tick);
    m_tickPeriod = std::chrono::milliseconds(tickMs > 0 ? tickMs : 0);
    m_thread = std::thread([this] { run(); });
}

void SimWorkerThread::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_tasks.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable() && !isCurrent())
        m_thread.join();
}

void SimWorkerThread::post(int delayMs, Task task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return;
        // Equal times keep their order: multimap inserts after equal keys.
        m_tasks.emplace(Clock::now() + std::chrono::milliseconds(delayMs > 0 ? delayMs : 0), std::move(task));
    }
    m_wake.notify_all();
}

bool SimWorkerThread::isCurrent() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void SimWorkerThread::run()
{
    pthread_setname_np(pthread_self(), m_name.substr(0, 15).c_str());
    Clock::time_point nextTick = Clock::now() + m_tickPeriod;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        Clock::time_point wakeAt = Clock::time_point::max();
        if (m_tick)
            wakeAt = nextTick;
        if (!m_tasks.empty() && m_tasks.begin()->first < wakeAt)
            wakeAt = m_tasks.begin()->first;
        if (wakeAt == Clock::time_point::max())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, wakeAt);
        if (m_stopping)
            break;

        const Clock::time_point now = Clock::now();
        if (!m_tasks.empty() && m_tasks.begin()->first <= now) {
            Task task = std::move(m_tasks.begin()->second);
            m_tasks.erase(m_tasks.begin());
            lock.unlock();
            task();
            lock.lock();
            continue;
        }
        if (m_tick && nextTick <= now) {
            // A late tick does not make up for the missed ones.
            nextTick += m_tickPeriod;
            if (nextTick <= now)
                nextTick = now + m_tickPeriod;
            Task& tick = m_tick;
            lock.unlock();
            tick();
            lock.lock();
        }
    }
}
