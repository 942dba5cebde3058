#pragma once

#include <QDeadlineTimer>
#include <QTest>

namespace ZmTest {

// Turns the event loop in steps of stepMs until the condition holds; false when timeoutMs passed first. A condition
// that asks another process (the simulator) wants longer steps than the 1 ms that suits one in this process.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 20000, int stepMs = 1)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(stepMs);
    }
    return true;
}

} // namespace ZmTest
