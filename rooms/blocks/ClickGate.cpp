#include "rooms/blocks/ClickGate.h"

#include "rooms/blocks/RoomClock.h"

ClickGate::ClickGate(qint64 windowMs, Start start)
    : m_windowMs(windowMs)
    , m_hasLast(start == Start::ClosedFromNow)
    , m_lastMs(m_hasLast ? RoomClock::nowMs() : 0)
{
}

bool ClickGate::tryAccept()
{
    const qint64 now = RoomClock::nowMs();
    if (m_hasLast && now - m_lastMs < m_windowMs)
        return false;
    m_hasLast = true;
    m_lastMs = now;
    return true;
}
