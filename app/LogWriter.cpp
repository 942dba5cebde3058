#include "app/LogWriter.h"

#include "platform/AppendFile.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <string>

LogWriter::LogWriter(std::size_t capacity)
    : m_capacity(capacity)
    , m_ring(new char[capacity])
{
}

LogWriter::~LogWriter()
{
    close();
}

void LogWriter::setPath(const QString& path)
{
    if (hasPath())
        return;
    const QByteArray bytes = path.toUtf8();
    if (std::size_t(bytes.size()) < kMaxPathBytes)
        std::memcpy(m_pathBytes, bytes.constData(), std::size_t(bytes.size()) + 1);
    m_hasPath.store(true, std::memory_order_release);
}

std::size_t LogWriter::append(const char* data, std::size_t size)
{
    if (size > m_capacity / 2) {
        // Too big for the ring: written at once, after what is pending.
        std::lock_guard<std::mutex> lock(m_writeMutex);
        while (!m_writer.tryTake())
            Platform::sleepMilliseconds(1); // the exit write is busy; it ends soon
        writePending(false);
        writeBytes(data, size, false);
        m_writer.give();
        return 0;
    }
    const std::uint64_t head = m_head.load(std::memory_order_relaxed);
    while (head + size - m_knownTail > m_capacity) {
        m_knownTail = m_tail.load(std::memory_order_acquire);
        if (head + size - m_knownTail > m_capacity && !flush())
            Platform::sleepMilliseconds(1);
    }
    const std::size_t offset = std::size_t(head % m_capacity);
    const std::size_t first = std::min(size, m_capacity - offset);
    std::memcpy(m_ring.get() + offset, data, first);
    std::memcpy(m_ring.get(), data + first, size - first);
    m_head.store(head + size, std::memory_order_release);
    // The tail as seen last may be far behind: looked at again once the ring seems a quarter full.
    if (head + size - m_knownTail > m_capacity / 4)
        m_knownTail = m_tail.load(std::memory_order_acquire);
    return std::size_t(head + size - m_knownTail);
}

std::size_t LogWriter::pendingBytes() const
{
    return std::size_t(m_head.load() - m_tail.load());
}

bool LogWriter::flush()
{
    std::lock_guard<std::mutex> lock(m_writeMutex);
    if (!m_writer.tryTake())
        return false;
    const bool written = writePending(false);
    m_writer.give();
    return written;
}

bool LogWriter::close()
{
    std::lock_guard<std::mutex> lock(m_writeMutex);
    if (!m_writer.tryTake())
        return false;
    const bool written = writePending(false);
    Platform::closeFile(m_fd.exchange(-1));
    m_writer.give();
    return written;
}

bool LogWriter::beginExitWrite(int waitMs)
{
    if (!m_writer.takeForExit(waitMs))
        return false;
    writePending(true);
    return true;
}

void LogWriter::exitWrite(const char* data, std::size_t size)
{
    writeBytes(data, size, true);
}

void LogWriter::endExitWrite()
{
    m_writer.giveAfterExit();
}

bool LogWriter::writePending(bool inSignalHandler)
{
    bool written = true;
    std::uint64_t tail = m_tail.load();
    const std::uint64_t head = m_head.load(std::memory_order_acquire);
    while (tail < head) {
        const std::size_t offset = std::size_t(tail % m_capacity);
        const std::size_t size = std::size_t(std::min<std::uint64_t>(head - tail, m_capacity - offset));
        written = writeBytes(m_ring.get() + offset, size, inSignalHandler) && written;
        tail += size;
        m_tail.store(tail, std::memory_order_release);
    }
    return written;
}

bool LogWriter::writeBytes(const char* data, std::size_t size, bool inSignalHandler)
{
    int fd = m_fd.load();
    int error = 0;
    if (fd < 0 && hasPath() && m_pathBytes[0] != '\0') {
        fd = Platform::openAppendFile(m_pathBytes, &error);
        m_fd.store(fd);
    }
    std::size_t written = 0;
    if (fd >= 0) {
        written = Platform::writeToFile(fd, data, size, &error);
        if (written < size) // the next flush opens the file again
            Platform::closeFile(m_fd.exchange(-1));
    }
    if (written == size) {
        m_failing = false;
        return true;
    }
    if (!inSignalHandler)
        noteFailure(error);
    Platform::writeToFile(Platform::standardErrorFile(), data + written, size - written);
    return false;
}

void LogWriter::noteFailure(int error)
{
    if (m_failing)
        return;
    m_failing = true;
    std::string notice;
    if (m_pathBytes[0] == '\0') {
        notice = "There is no log file; log lines go to standard error.\n";
    } else {
        notice = std::string("The log file ") + m_pathBytes + " cannot be written";
        if (error != 0)
            notice += std::string(": ") + std::strerror(error);
        notice += "; log lines go to standard error until it can.\n";
    }
    Platform::writeToFile(Platform::standardErrorFile(), notice.data(), notice.size());
}
