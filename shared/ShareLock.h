#pragma once

#include <string>

struct ShareLockBlock;

// The lock beside a shared frame section, with the behaviour of a named auto-reset event that starts signalled:
// wait() takes it (with a time-out), set() gives it back, and a set() that finds it given back already does
// nothing. It is a robust process-shared mutex in a small shared object of its own: a process that ends while
// holding it hands it to the next waiter at once. Like the mutex underneath, it is taken and given back on one
// thread, and one object is used by one thread at a time.
class ShareLock
{
public:
    ShareLock() = default;
    ~ShareLock(); // close()

    ShareLock(const ShareLock&) = delete;
    ShareLock& operator=(const ShareLock&) = delete;

    // Creates the lock object under name (a lock name, see ShareNames.h), or opens it when it exists.
    bool create(const char* name);
    // Opens an existing lock object. False when there is none.
    bool open(const char* name);
    // Gives the lock back when this object holds it, then unmaps and closes.
    void close();
    bool isOpen() const { return m_block != nullptr; }

    // Takes the lock, waiting at most timeoutMs on the monotonic clock. False on time-out, when closed, or when the
    // calling thread holds it through this object already.
    bool wait(unsigned timeoutMs);
    // Gives the lock back; nothing when this object does not hold it.
    void set();
    bool isHeld() const { return m_held; }

private:
    bool attach(const char* name, bool create);

    ShareLockBlock* m_block = nullptr;
    int m_fd = -1;
    bool m_held = false;
    std::string m_name;
};
