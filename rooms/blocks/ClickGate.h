#pragma once

#include <QtGlobal>

// Lets through at most one click per window: a click is accepted when at least the window's length has passed
// since the last accepted one (or, for a gate whose refusals restart the window, since the last click of any
// kind). Measured on RoomClock, so a change of the wall clock (midnight, a time zone) neither opens nor shuts the
// gate.
class ClickGate
{
public:
    enum class Start
    {
        Open,         // the first click is always accepted
        ClosedFromNow // the window starts at construction
    };

    enum class Refusal
    {
        KeepsWindow,   // the window runs from the last accepted click
        RestartsWindow // a refused click starts the window again: steady clicking stays refused
    };

    ClickGate(qint64 windowMs, Start start, Refusal refusal = Refusal::KeepsWindow);

    // True, and the time remembered, when the click is accepted.
    bool tryAccept();

private:
    qint64 m_windowMs;
    Refusal m_refusal;
    bool m_hasLast;
    qint64 m_lastMs;
};
