#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

namespace ZmTest {

// How long a test waits for something it expects: it only bounds the wait (one that succeeds ends at once), so it
// is generous enough for a machine loaded by a parallel build beside the whole suite.
constexpr int kWaitMs = 60000;

// How long a test waits for a helper process it starts (the simulator, the browser, a child program) to be ready.
constexpr int kStartWaitMs = 90000;

// Turns the event loop in steps of stepMs until the condition holds; false when timeoutMs passed first. A condition
// that asks another process (the simulator) wants longer steps than the 1 ms that suits one in this process.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = kWaitMs, int stepMs = 1)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(stepMs);
    }
    return true;
}

// Lets every timer of this thread that is due within ms fire: waits at least that long, then turns the event loop
// once more, so a timer that is due has fired however slowly the machine runs. For asserting that a timer with a
// shorter interval was not running.
inline void letTimersFire(int ms)
{
    QTest::qWait(ms);
    QCoreApplication::processEvents();
}

} // namespace ZmTest

// The QTRY_ macros without a time-out wait as long as any other wait of the tests.
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT((expr), ZmTest::kWaitMs)
#undef QTRY_VERIFY2
#define QTRY_VERIFY2(expr, messageExpression) QTRY_VERIFY2_WITH_TIMEOUT((expr), (messageExpression), ZmTest::kWaitMs)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT((expr), expected, ZmTest::kWaitMs)
