#pragma once

#include <QString>

// Files problem reports with the class service without blocking the caller: reports are sent one after another
// on a thread of their own, in the order filed. While kMaxPending reports wait, a further one is dropped (and
// logged): during a long outage the service hears of it without the queue growing without end. Reports still
// waiting when the application object is destroyed are sent before it goes.
namespace ProblemReportQueue {

constexpr int kMaxPending = 16;

// Queues ZmNetAPI::reportDeviceProblem(problemType, errorCode, remark, errorDescription) for the lesson as it is
// now (the caller's thread takes the lesson context); false when dropped.
bool file(int problemType, int errorCode, const QString& remark, const QString& errorDescription);

// Waits up to timeoutMs for every queued report to be sent; true when none is left.
bool waitForIdle(int timeoutMs);

} // namespace ProblemReportQueue
