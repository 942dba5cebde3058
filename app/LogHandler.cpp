#include "app/LogHandler.h"

#include "app/ConfigManager.h"
#include "app/LogLock.h"
#include "app/LogText.h"
#include "app/RunLog.h"
#include "platform/ExitSignals.h"

#include <QDebug>
#include <QThread>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

// Build-time switches for the two kinds of trace.
#ifndef ZM_LOG_EMIT_SIGNALS
#define ZM_LOG_EMIT_SIGNALS 1
#endif
#ifndef ZM_LOG_THREADS
#define ZM_LOG_THREADS 1
#endif

namespace {

constexpr bool kLogEmitSignals = ZM_LOG_EMIT_SIGNALS;
constexpr bool kLogThreads = ZM_LOG_THREADS;
constexpr int kFormatBufferSize = 1024;

constexpr char kPropertyWarning[] = "Warning: Property '";

QLatin1String levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QLatin1String("Debug");
    case QtWarningMsg:
        return QLatin1String("Warning");
    case QtCriticalMsg:
        return QLatin1String("Critical");
    case QtFatalMsg:
        return QLatin1String("Fatal");
    case QtInfoMsg:
        return QLatin1String("Info");
    }
    return QLatin1String("Unknow");
}

// The parts of a line that change rarely, made once per thread (its id) and once per second (the local time
// of day): the time zone is read for a new second only.
struct LinePrefixParts
{
    bool hasThreadId = false;
    int threadIdLength = 0;
    char threadId[2 * sizeof(quintptr)] = {};
    time_t second = -1;
    char timeOfDay[8] = {}; // "hh:mm:ss"
};

thread_local LinePrefixParts t_prefixParts;

char* writeText(char* out, const char* text, std::size_t length)
{
    std::memcpy(out, text, length);
    return out + length;
}

char* writeTwoDigits(char* out, int value)
{
    *out++ = char('0' + value / 10 % 10);
    *out++ = char('0' + value % 10);
    return out;
}

// "(ThreadID:0x<id>)hh:mm:ss.zzz <level>: " into out (at most kMaxPrefixBytes); the end. *levelOffset: where
// the level word starts.
constexpr std::size_t kMaxPrefixBytes = 64;
char* writeLinePrefix(char* out, QtMsgType type, std::size_t* levelOffset, std::int64_t* time)
{
    char* const start = out;
    LinePrefixParts& parts = t_prefixParts;
    if (!parts.hasThreadId) {
        static const char kHex[] = "0123456789ABCDEF";
        auto id = reinterpret_cast<quintptr>(QThread::currentThreadId());
        char reversed[sizeof parts.threadId];
        int length = 0;
        do {
            reversed[length++] = kHex[id & 0xF];
            id >>= 4;
        } while (id != 0);
        for (int i = 0; i < length; ++i)
            parts.threadId[i] = reversed[length - 1 - i];
        parts.threadIdLength = length;
        parts.hasThreadId = true;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec != parts.second) {
        tm local{};
        localtime_r(&now.tv_sec, &local);
        char* time = parts.timeOfDay;
        time = writeTwoDigits(time, local.tm_hour);
        *time++ = ':';
        time = writeTwoDigits(time, local.tm_min);
        *time++ = ':';
        writeTwoDigits(time, local.tm_sec);
        parts.second = now.tv_sec;
    }
    *time = std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
    const int milliseconds = int(now.tv_nsec / 1000000);
    out = writeText(out, "(ThreadID:0x", 12);
    out = writeText(out, parts.threadId, std::size_t(parts.threadIdLength));
    *out++ = ')';
    out = writeText(out, parts.timeOfDay, sizeof parts.timeOfDay);
    *out++ = '.';
    *out++ = char('0' + milliseconds / 100);
    out = writeTwoDigits(out, milliseconds);
    *out++ = ' ';
    *levelOffset = std::size_t(out - start);
    const QLatin1String word = levelWord(type);
    out = writeText(out, word.data(), std::size_t(word.size()));
    return writeText(out, ": ", 2);
}

// One message's line in the kept form (app/LogText.h), followed by the extra line feed of the file's record.
// Lines of usual length are built on the stack.
class LogLineBuilder
{
public:
    LogLineBuilder(QtMsgType type, const QString& message)
    {
        const std::size_t needed = kMaxPrefixBytes + maxLogTextSize(std::size_t(message.size())) + 3;
        if (needed > sizeof m_stack) {
            m_heap.reset(new char[needed]);
            m_data = m_heap.get();
        }
        char* out = writeLinePrefix(m_data, type, &m_levelOffset, &m_time);
        out += writeLogText(out, message.constData(), std::size_t(message.size()), &m_loneSurrogate);
        out = writeText(out, "\r\n\n", 3);
        m_lineSize = std::size_t(out - m_data) - 1;
        m_recordSize = m_lineSize + 1;
        if (m_loneSurrogate) {
            m_record.reset(new char[m_recordSize]);
            std::memcpy(m_record.get(), m_data, m_recordSize);
            m_recordSize = replaceLoneSurrogates(m_record.get(), m_recordSize);
        }
    }

    const char* line() const { return m_data; }
    std::int64_t time() const { return m_time; }
    std::size_t lineSize() const { return m_lineSize; }

    bool isPropertyWarning() const
    {
        // The thread id and the time hold no 'W': the search starts at the level word.
        constexpr std::size_t kLength = sizeof kPropertyWarning - 1;
        const char* const end = m_data + m_lineSize;
        for (const char* at = m_data + m_levelOffset; std::size_t(end - at) >= kLength; ++at) {
            at = static_cast<const char*>(std::memchr(at, kPropertyWarning[0], std::size_t(end - at) - kLength + 1));
            if (!at)
                return false;
            if (std::memcmp(at, kPropertyWarning, kLength) == 0)
                return true;
        }
        return false;
    }

    // The record for the file: the line as UTF-8 and one more line feed; the line itself with its line feed,
    // unless the line holds a lone surrogate, which the file gets as '?'.
    const char* record() const { return m_record ? m_record.get() : m_data; }
    std::size_t recordSize() const { return m_recordSize; }

    QString lineText() const { return logTextToString(m_data, m_lineSize); }

private:
    char m_stack[1024];
    std::unique_ptr<char[]> m_heap;
    char* m_data = m_stack;
    std::size_t m_lineSize = 0;
    std::size_t m_levelOffset = 0;
    std::int64_t m_time = 0;
    bool m_loneSurrogate = false;
    std::unique_ptr<char[]> m_record;
    std::size_t m_recordSize = 0;
};

void writeToStandardError(const QString& line)
{
    const QByteArray bytes = line.trimmed().toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// Appends text (UTF-8) to message; ASCII text is Latin-1 as well, which Qt widens fastest.
void appendUtf8(QString& message, const char* text, std::size_t length)
{
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (std::uint64_t eight; i + 8 <= length; i += 8) {
        std::memcpy(&eight, text + i, sizeof eight);
        high |= eight;
    }
    for (; i < length; ++i)
        high |= static_cast<unsigned char>(text[i]);
    if ((high & 0x8080808080808080ULL) == 0)
        message.append(QLatin1String(text, int(length)));
    else
        message.append(QString::fromUtf8(text, int(length)));
}

// The message buffer a thread keeps (made on its first trace, let go with the thread), whether it is in use, and
// whether it is gone already (a thread's last destructors may still log).
struct MessageBuffer
{
    QString* text = nullptr;
    bool busy = false;
    bool gone = false;
};
thread_local MessageBuffer t_messageBuffer;

struct MessageBufferRelease
{
    ~MessageBufferRelease()
    {
        delete t_messageBuffer.text;
        t_messageBuffer.text = nullptr;
        t_messageBuffer.gone = true;
    }
};

// Logs prefix followed by text (UTF-8) as one debug message, what a debug stream makes of the two. The message is
// built in the buffer the thread keeps, so that a trace costs no allocation (a message logged while the buffer is
// in use, or after it is gone, gets one of its own).
void logPrefixed(const char* prefix, const char* text)
{
    MessageBuffer& buffer = t_messageBuffer;
    const bool mine = !buffer.busy && !buffer.gone;
    if (mine && !buffer.text) {
        thread_local MessageBufferRelease release;
        (void)release;
        buffer.text = new QString;
    }
    QString own;
    QString& message = mine ? *buffer.text : own;
    buffer.busy = buffer.busy || mine;
    message.resize(0);
    appendUtf8(message, prefix, std::strlen(prefix));
    if (text)
        appendUtf8(message, text, std::strlen(text));
    logDebugMessage(message);
    if (mine)
        buffer.busy = false;
}

} // namespace

void logDebugMessage(const QString& message)
{
    qt_message_output(QtDebugMsg, QMessageLogContext(), message);
}

void installLogHandler()
{
    ConfigManager::instance();
    Platform::installExitSignalHook(&RunLog::writeForExit);
    qInstallMessageHandler(logMessageHandler);
}

QString formatLogLine(QtMsgType type, const QString& message)
{
    return LogLineBuilder(type, message).lineText();
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context);
    LogLineBuilder line(type, message);
    if (line.isPropertyWarning())
        return;
    // A message from a thread that holds the log lock (one logged while the collected lines are copied or
    // released) goes to standard error only: the holder is in the middle of using them.
    if (LogLock::isHeldByCurrentThread()) {
        writeToStandardError(line.lineText());
        return;
    }
    RunLog::writeLine(line.time(), line.line(), line.lineSize(), line.record(), line.recordSize());
    // qFatal ends the process next: its line is written now.
    if (type == QtFatalMsg)
        RunLog::flush();
}

void logEmitSignal(const char* signalName)
{
    if (kLogEmitSignals)
        logPrefixed("Emit: ", signalName);
}

void logEmitFormat(const char* format, ...)
{
    if (!kLogEmitSignals)
        return;
    char buffer[kFormatBufferSize];
    va_list arguments;
    va_start(arguments, format);
    formatToBuffer1024(buffer, format, arguments);
    va_end(arguments);
    logEmitSignal(buffer);
}

void ThreadLog(const QString& text)
{
    if (kLogThreads)
        qDebug() << "ThreadLog:" << text;
}

void ThreadLog(const char* text)
{
    if (kLogThreads)
        logPrefixed("ThreadLog: ", text);
}

void ThreadLogF(const char* format, ...)
{
    if (!kLogThreads)
        return;
    char buffer[kFormatBufferSize];
    va_list arguments;
    va_start(arguments, format);
    formatToBuffer1024(buffer, format, arguments);
    va_end(arguments);
    ThreadLog(static_cast<const char*>(buffer));
}

int formatToBuffer1024(char* buffer, const char* format, va_list arguments)
{
    const int length = std::vsnprintf(buffer, kFormatBufferSize, format, arguments);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return length < kFormatBufferSize ? length : kFormatBufferSize - 1;
}
