#include "app/ExclusiveRole.h"

#include "platform/AppendFile.h"

bool ExclusiveRole::tryTake()
{
    long holder = 0;
    return m_holder.compare_exchange_strong(holder, Platform::currentThreadNumber());
}

void ExclusiveRole::give()
{
    m_holder.store(0);
}

bool ExclusiveRole::takeForExit(int waitMs)
{
    const long self = Platform::currentThreadNumber();
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
