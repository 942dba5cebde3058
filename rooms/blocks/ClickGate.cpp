#include "rooms/blocks/ClickGate.h"

#include "rooms/blocks/RoomClock.h"

ClickGate::ClickGate(qint64 windowMs, Start start, Refusal refusal)
    : m_windowMs(windowMs)
    , m_refusal(refusal)
    , m_hasLast(start == Start::ClosedFromNow)
    , m_lastMs(m_hasLast ? RoomClock::nowMs() : 0)
{
}

bool ClickGate::tryAccept()
{
    const qint64 now = RoomClock::nowMs();
    if (m_hasLast && now - m_lastMs < m_windowMs) {
        if (m_refusal == Refusal::RestartsWindow)
            m_lastMs = now;
        return false;
    }
    m_hasLast = true;
    m_lastMs = now;
    return true;
}
