#include "app/RunLog.h"

#include "app/ConfigManager.h"
#include "app/LogInfo.h"
#include "app/LogLineStore.h"
#include "app/LogLock.h"
#include "app/LogQueue.h"
#include "app/LogWriter.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// The background thread: moves queued lines on, writes the file, prepares memory for the collection.
class Worker
{
public:
    // For a record that went into the queue: wakes the thread when it sleeps. The queue's reservation orders
    // the record before the look at m_sleeping.
    void wakeIfSleeping()
    {
        if (m_sleeping.load() && m_sleeping.exchange(false))
            request(false);
    }

    // For a record that went into the file's ring, with LogLock held.
    void wakeIfIdle()
    {
        if (m_idle) {
            m_idle = false;
            request(false);
        }
    }

    // A batch now, without waiting for more lines: something fills up.
    void hurry()
    {
        if (!m_hurried.load(std::memory_order_relaxed) && !m_hurried.exchange(true))
            request(true);
    }

    void start()
    {
        if (!m_running.load(std::memory_order_acquire))
            std::call_once(m_started, [this] {
                m_thread = std::thread([this] { run(); });
                m_running.store(true, std::memory_order_release);
            });
    }

private:
    void request(bool urgent)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requested = true;
            m_urgent = m_urgent || urgent;
        }
        m_wake.notify_one();
    }

    // Before sleeping: true when nothing waits, and the next record will wake the thread.
    bool mayIdle();
    void run();

    bool m_idle = false; // under LogLock
    std::atomic<bool> m_sleeping{false};
    std::atomic<bool> m_hurried{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_requested = false;
    bool m_urgent = false;
    std::once_flag m_started;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

// Created on first use and never destroyed: threads and signal handlers may use them until the process ends.
struct Parts
{
    LogQueue queue;
    LogWriter writer;
    Worker worker;
};

// Read by every line: kept apart from data that changes.
alignas(64) std::atomic<Parts*> s_parts{nullptr};

void writeAtExit()
{
    RunLog::flush();
}

Parts& createParts()
{
    static Parts* const created = [] {
        auto* made = new Parts;
        s_parts.store(made, std::memory_order_release);
        std::atexit(writeAtExit);
        return made;
    }();
    return *created;
}

Parts& parts()
{
    Parts* run = s_parts.load(std::memory_order_acquire);
    return run ? *run : createParts();
}

// With LogLock held: a record to the day's log file, once the configuration manager names it.
void appendToFile(Parts& run, const char* record, std::size_t size)
{
    ConfigManager* config = ConfigManager::existingInstance();
    if (!config)
        return;
    if (!run.writer.hasPath())
        run.writer.setPath(config->getDailyLogFile());
    const std::size_t pending = run.writer.append(record, size);
    run.worker.wakeIfIdle();
    if (pending > LogWriter::kDefaultCapacity / 4)
        run.worker.hurry();
}

// With LogLock held: a line to the collection and the file.
void takeLine(Parts& run, const LogQueue::Line& line)
{
    LogInfo::instance()->appendLogText(line.line, line.lineSize);
    appendToFile(run, line.record, line.recordSize);
}

void takeQueuedLine(void* context, const LogQueue::Line& line)
{
    takeLine(*static_cast<Parts*>(context), line);
}

bool Worker::mayIdle()
{
    Parts& run = parts();
    {
        LogLock take; // moves the queued lines on
        m_idle = run.writer.pendingBytes() == 0;
        if (!m_idle)
            return false;
    }
    m_sleeping.store(true);
    if (run.queue.isEmpty())
        return true;
    m_sleeping.store(false);
    return false;
}

void Worker::run()
{
    Parts& run = parts();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (!m_requested) {
            lock.unlock();
            const bool idle = mayIdle();
            lock.lock();
            if (idle)
                m_wake.wait(lock, [this] { return m_requested; });
            m_sleeping.store(false);
            m_requested = true;
            continue;
        }
        // Let the batch gather, unless something fills up.
        m_wake.wait_for(lock, std::chrono::milliseconds(RunLog::kFlushDelayMs), [this] { return m_urgent; });
        m_requested = false;
        m_urgent = false;
        lock.unlock();
        m_hurried.store(false);
        {
            LogLock take; // moves the queued lines on
        }
        run.writer.flush();
        LogLineStore::prepareBlocks();
        lock.lock();
    }
}

} // namespace

namespace RunLog {

void writeLine(std::int64_t time, const char* line, std::size_t lineSize, const char* record, std::size_t recordSize)
{
    Parts& run = parts();
    run.worker.start();
    const LogQueue::Line entry{line, lineSize, record, recordSize};
    if (run.queue.isEmpty()) {
        // A free lock and nothing queued: the line goes straight on.
        LogLock lock(std::try_to_lock);
        if (lock.ownsLock()) {
            takeLine(run, entry);
            if (LogLineStore::blocksWanted())
                run.worker.hurry();
            return;
        }
    }
    // A taken lock, or lines queued before: the line waits in the queue, and the next holder of the lock or the
    // background thread moves it on.
    std::size_t queued = 0;
    if (run.queue.push(time, line, lineSize, record, recordSize, &queued)) {
        run.worker.wakeIfSleeping();
        // A ring filling up: this thread moves the queued lines on when it gets the lock (taking it does),
        // else the background thread.
        if (queued > LogQueue::kDefaultRingCapacity / 4 && !LogLock(std::try_to_lock).ownsLock())
            run.worker.hurry();
        return;
    }
    // A full queue: waits for the lock.
    LogLock lock;
    takeLine(run, entry);
}

void appendRecord(const char* record, std::size_t size)
{
    Parts& run = parts();
    run.worker.start();
    takeQueuedLines();
    appendToFile(run, record, size);
}

void takeQueuedLines()
{
    Parts* run = s_parts.load(std::memory_order_acquire);
    if (run && !run->queue.isEmpty())
        run->queue.takeAll(&takeQueuedLine, run);
}

bool flush()
{
    Parts& run = parts();
    LogLock lock;
    takeQueuedLines();
    return run.writer.flush();
}

bool close()
{
    Parts& run = parts();
    LogLock lock;
    takeQueuedLines();
    return run.writer.close();
}

void writeForExit()
{
    Parts* run = s_parts.load(std::memory_order_acquire);
    if (!run)
        return;
    // The queue first: no lines move into the file's ring while its pending bytes are written.
    const bool queueHeld = run->queue.beginExit(kExitWaitMs);
    if (run->writer.beginExitWrite(kExitWaitMs)) {
        if (queueHeld)
            run->queue.writeRecordsForExit(
                [](void* writer, const char* data, std::size_t size) {
                    static_cast<LogWriter*>(writer)->exitWrite(data, size);
                },
                &run->writer);
        run->writer.endExitWrite();
    }
    if (queueHeld)
        run->queue.endExit();
}

} // namespace RunLog
