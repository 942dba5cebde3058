#pragma once

// The lock that serialises the log. The message handler holds it while it collects and writes a line; code
// that writes out or releases the collected lines (LogInfo) holds it too. While a thread holds it, messages
// from that thread go to standard error only, so logging under the lock can't deadlock. Taking it again on
// the thread that holds it is allowed.
class LogLock
{
public:
    LogLock();
    ~LogLock();

    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;

    static bool isHeldByCurrentThread();
};
