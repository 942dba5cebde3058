#pragma once

#include <cstddef>
#include <cstdint>

// The run's log: every line goes to the collection (LogInfo) and to the day's log file. A thread that logs
// queues its line (LogQueue) and goes on; a background thread moves the queued lines on and writes the file
// (LogWriter) kFlushDelayMs after the first of a batch, or at once when the queue fills up. Whoever takes
// LogLock moves the queued lines on first, so a holder of LogLock sees every line logged before. A crash or a
// signal that ends the process writes out what is pending (writeForExit).
namespace RunLog {

constexpr int kFlushDelayMs = 20;
// How long the exit write waits for a thread that is writing the file or moving lines right then.
constexpr int kExitWaitMs = 500;

// A message's line (in the kept form, app/LogText.h), logged at time (nanoseconds), and its record for the
// file, which may be the line itself followed by a line feed (record == line, recordSize == lineSize + 1). Any
// thread. The line goes on at once when LogLock is free, else into the queue; the thread waits only when the
// queue has no room.
void writeLine(std::int64_t time, const char* line, std::size_t lineSize, const char* record, std::size_t recordSize);

// Appends a record to the file only (HTTP traces), after the lines queued so far. Callers hold LogLock. Nothing
// while the configuration manager doesn't exist.
void appendRecord(const char* record, std::size_t size);

// Moves the queued lines to the collection and the file. Callers hold LogLock; LogLock does it when taken.
void takeQueuedLines();

// Writes out every line logged before the call; true when they all reached the file.
bool flush();
// flush(), then closes the file; the next line opens it again.
bool close();

// From a signal handler (async-signal-safe): writes out the pending records and the queued lines.
void writeForExit();

} // namespace RunLog
