#pragma once

#include <atomic>

// A role that one thread has at a time (writing a log file, taking lines out of the log queue). Threads take it
// without waiting and give it back. A signal handler that ends the process takes it without a lock: it waits a
// bounded time for the thread that has it, or finds that its own thread had it when the signal came.
class ExclusiveRole
{
public:
    // False when another thread has the role.
    bool tryTake();
    void give();

    // From a signal handler: false when the thread that has the role doesn't give it back within waitMs.
    bool takeForExit(int waitMs);
    // After takeForExit(): gives the role back, unless the signal came while this thread had it.
    void giveAfterExit();

    // The calling thread's token: unique among the threads alive, never 0, and cheap to read, also in a signal
    // handler.
    static long currentThread();

private:
    std::atomic<long> m_holder{0}; // the thread that has the role, 0 when none
    bool m_takenForExit = false;
};
