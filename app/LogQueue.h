#pragma once

#include "app/ExclusiveRole.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// Log lines on their way from the threads that log them to where they are kept: a thread queues its line
// without waiting for a lock, and one consumer at a time takes the lines out, each thread's in the order it
// queued them and all of them by their time. The queue is made of rings that take a few threads each, so that
// threads rarely write the same memory. Each entry holds the line for the collection and the record for the
// file, which is usually the line and a line feed, kept once.
class LogQueue
{
public:
    // What the consumer gets for an entry.
    struct Line
    {
        const char* line;
        std::size_t lineSize;
        const char* record;
        std::size_t recordSize;
    };

    explicit LogQueue(std::size_t ringCapacity = kDefaultRingCapacity, int rings = kDefaultRings);
    ~LogQueue();

    LogQueue(const LogQueue&) = delete;
    LogQueue& operator=(const LogQueue&) = delete;

    // Queues a line logged at time (any clock that only moves on), with its record for the file. The record may
    // be the line itself followed by a line feed (record == line, recordSize == lineSize + 1). False when the
    // calling thread's ring has no room for it. Any thread. *usedBytes (when given): about how full that ring
    // is now, never less.
    bool push(std::int64_t time, const char* line, std::size_t lineSize, const char* record, std::size_t recordSize,
              std::size_t* usedBytes = nullptr);

    // False when some ring may hold an entry. Cheap. (Sequentially consistent: a thread that looks here after
    // announcing it will sleep, and a producer that looks at that announcement after its push, don't both miss.)
    bool isEmpty() const { return m_nonEmptyRings.load() == 0; }

    // Takes out the queued lines up to the first one still being written in each ring: take(context, line) for
    // each, in the order of their time. Callers hold LogLock. False when the exit path is taking them out.
    using Take = void (*)(void* context, const Line& line);
    bool takeAll(Take take, void* context);

    // From a signal handler that ends the process, without taking a lock: beginExit() waits at most waitMs for a
    // consumer that is taking lines out (false when it doesn't end in time) and keeps others out;
    // writeRecordsForExit() gives every queued record to write(context, data, size), skipping an entry the
    // calling thread was writing when the signal came; endExit() lets consumers in again.
    using Write = void (*)(void* context, const char* data, std::size_t size);
    bool beginExit(int waitMs);
    void writeRecordsForExit(Write write, void* context);
    void endExit();

    static constexpr std::size_t kDefaultRingCapacity = 256 * 1024;
    static constexpr int kDefaultRings = 8;

private:
    class Ring;

    // Takes the entries out in the order of their time, to visit(line).
    template <typename Visit> void consume(Visit&& visit, bool skipOwn);

    const int m_ringCount;
    std::unique_ptr<Ring[]> m_rings;
    alignas(64) std::atomic<std::uint32_t> m_nonEmptyRings{0}; // a bit per ring that may hold entries
    alignas(64) ExclusiveRole m_consumer;                      // taking entries out
};
