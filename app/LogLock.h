#pragma once

#include <mutex>

// The lock that serialises the log: the collected lines (LogInfo) and the run log's file are used under it.
// Taking it first moves the lines that threads have queued (RunLog), so the holder sees every line logged
// before. While a thread holds it, messages from that thread go to standard error only, so logging under the
// lock can't deadlock. Taking it again on the thread that holds it is allowed.
class LogLock
{
public:
    LogLock();
    // Takes the lock only when it is free (or held by this thread already): see ownsLock().
    explicit LogLock(std::try_to_lock_t);
    ~LogLock();

    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;

    bool ownsLock() const { return m_owns; }

    static bool isHeldByCurrentThread();

private:
    bool m_owns = true;
};
