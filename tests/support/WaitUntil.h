#pragma once

#include <QDeadlineTimer>
#include <QTest>

namespace ZmTest {

// Turns the event loop in short steps until the condition holds; false when timeoutMs passed first.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 20000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(1);
    }
    return true;
}

} // namespace ZmTest
