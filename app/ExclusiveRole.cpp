#include "app/ExclusiveRole.h"

#include "platform/AppendFile.h"

#include <cstdint>

namespace {

// Its address tells the threads apart.
thread_local char t_threadToken;

} // namespace

long ExclusiveRole::currentThread()
{
    return long(reinterpret_cast<std::uintptr_t>(&t_threadToken));
}

bool ExclusiveRole::tryTake()
{
    long holder = 0;
    return m_holder.compare_exchange_strong(holder, currentThread());
}

void ExclusiveRole::give()
{
    m_holder.store(0);
}

bool ExclusiveRole::takeForExit(int waitMs)
{
    const long self = currentThread();
    for (int waited = 0;; ++waited) {
        long holder = 0;
        if (m_holder.compare_exchange_strong(holder, self)) {
            m_takenForExit = true;
            return true;
        }
        if (holder == self) { // the signal came while this thread had the role
            m_takenForExit = false;
            return true;
        }
        if (waited >= waitMs)
            return false;
        Platform::sleepMilliseconds(1);
    }
}

void ExclusiveRole::giveAfterExit()
{
    if (m_takenForExit)
        m_holder.store(0);
}
