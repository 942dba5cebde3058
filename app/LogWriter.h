#pragma once

#include "app/ExclusiveRole.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

// A log file's writer at the cost of a buffered write: records are copied into a ring buffer, and flush()
// writes them out in the order they came (appending when the ring is full does it too). What the file refuses
// (it can't be opened or written) goes to standard error instead, and the file is tried again with the next
// flush. A signal that ends the process writes out what is pending (the exit write).
class LogWriter
{
public:
    explicit LogWriter(std::size_t capacity = kDefaultCapacity);
    // Writes out what is pending and closes the file.
    ~LogWriter();

    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // The file records go to; set once, later calls change nothing. An empty path sends them to standard error.
    // Callers serialise it with append().
    void setPath(const QString& path);
    bool hasPath() const { return m_hasPath.load(std::memory_order_acquire); }

    // Copies a record into the ring; writes out the ring first when it has no room. Callers serialise their
    // appends (the run log's hold LogLock). About how many bytes are pending now: never less, and close when
    // that is more than a quarter of the ring.
    std::size_t append(const char* data, std::size_t size);

    // Bytes appended and not yet written out.
    std::size_t pendingBytes() const;

    // Writes out everything appended before the call. True when it all reached the file.
    bool flush();
    // flush(), then closes the file; the next flush opens it again.
    bool close();

    // The exit write, from a signal handler: takes no lock and allocates nothing. beginExitWrite() waits at most
    // waitMs for a write another thread is making (false, and nothing written, when it doesn't end in time),
    // then writes out what is pending; exitWrite() writes more bytes after it; endExitWrite() lets other writers
    // go on.
    bool beginExitWrite(int waitMs);
    void exitWrite(const char* data, std::size_t size);
    void endExitWrite();

    static constexpr std::size_t kDefaultCapacity = 2 * 1024 * 1024;
    static constexpr std::size_t kMaxPathBytes = 4096;

private:
    // With the writer role: writes [tail, head) and advances the tail. True when all of it reached the file.
    bool writePending(bool inSignalHandler);
    // With the writer role: bytes to the file, or to standard error when the file refuses them.
    bool writeBytes(const char* data, std::size_t size, bool inSignalHandler);
    void noteFailure(int error);

    const std::size_t m_capacity;
    const std::unique_ptr<char[]> m_ring;

    // The ring holds [tail, head): bytes appended and bytes written since the start. The appending thread and
    // the writer each write their own cache line.
    alignas(64) std::atomic<std::uint64_t> m_head{0};
    std::uint64_t m_knownTail = 0; // the tail as the appending thread saw it last; the real one is never behind
    alignas(64) std::atomic<std::uint64_t> m_tail{0};

    // One thread at a time writes the file: normal writers take the role under m_writeMutex, the exit write
    // without a lock.
    std::mutex m_writeMutex;
    ExclusiveRole m_writer;
    std::atomic<int> m_fd{-1};
    bool m_failing = false;

    char m_pathBytes[kMaxPathBytes] = {};
    std::atomic<bool> m_hasPath{false};
};
