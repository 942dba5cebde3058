#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// One thread of the simulated engine: runs posted tasks when they are due and, optionally, a periodic tick.
// Tasks still pending when the thread stops are dropped.
class SimWorkerThread
{
public:
    using Task = std::function<void()>;
    using Clock = std::chrono::steady_clock;

    explicit SimWorkerThread(std::string name);
    ~SimWorkerThread();

    SimWorkerThread(const SimWorkerThread&) = delete;
    SimWorkerThread& operator=(const SimWorkerThread&) = delete;

    // Starts the thread; tick (when given) runs every tickMs milliseconds.
    void start(int tickMs = 0, Task tick = {});

    // Stops and joins the thread. Called on the thread itself it only asks it to stop (see isCurrent).
    void stop();

    // Runs task on the thread after delayMs milliseconds (0: as soon as possible, after tasks posted earlier).
    void post(int delayMs, Task task);

    // True on this worker's own thread.
    bool isCurrent() const;

private:
    void run();

    const std::string m_name;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::multimap<Clock::time_point, Task> m_tasks;
    Task m_tick;
    std::chrono::milliseconds m_tickPeriod{0};
    bool m_stopping = false;
    bool m_started = false;
};
