#include "app/LogHandler.h"

#include "app/ConfigManager.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"

#include <QDebug>
#include <QThread>

#include <cstdio>
#include <ctime>

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

const char* levelTemplate(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "%1 Debug: %2\r\n";
    case QtWarningMsg:
        return "%1 Warning: %2\r\n";
    case QtCriticalMsg:
        return "%1 Critical: %2\r\n";
    case QtFatalMsg:
        return "%1 Fatal: %2\r\n";
    case QtInfoMsg:
        return "%1 Info: %2\r\n";
    }
    return "%1 Unknow: %2\r\n";
}

// The local time as "hh:mm:ss.zzz". QTime::currentTime() re-reads the time zone on every call, which
// costs more than the rest of a log line together; localtime_r reads it once per process.
QString currentTimeText()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  int(now.tv_nsec / 1000000));
    return QString::fromLatin1(text);
}

void writeToStandardError(const QString& line)
{
    const QByteArray bytes = line.trimmed().toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// Tells once on standard error that the log file can't be written, and again after it recovered.
void noteLogFileState(bool written, ConfigManager& config)
{
    static bool failing = false;
    if (written || failing) {
        failing = !written;
        return;
    }
    failing = true;
    writeToStandardError(QString("logMessageHandler cannot write %1; lines are kept in memory and the file is "
                                 "tried again with the next line")
                             .arg(config.getDailyLogFile()));
}

} // namespace

void installLogHandler()
{
    ConfigManager::instance();
    qInstallMessageHandler(logMessageHandler);
}

QString formatLogLine(QtMsgType type, const QString& message)
{
    const QString threadId =
        QString("0x%1").arg(QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()), 16).toUpper());
    return QString("(ThreadID:%1)").arg(threadId) + QString(levelTemplate(type)).arg(currentTimeText(), message);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context);
    const QString line = formatLogLine(type, message);
    if (line.contains(QLatin1String("Warning: Property '")))
        return;
    // A message from a thread that holds the log lock (one logged while a line is being written, or while
    // the collected lines are written out) would wait for itself.
    if (LogLock::isHeldByCurrentThread()) {
        writeToStandardError(line);
        return;
    }
    const QByteArray record = line.toUtf8() + '\n';

    LogLock lock;
    LogInfo::instance()->appendLine(line);
    if (ConfigManager* config = ConfigManager::existingInstance())
        noteLogFileState(config->appendToDailyLog(record), *config);
}

void logEmitSignal(const char* signalName)
{
    if (kLogEmitSignals)
        qDebug() << "Emit:" << signalName;
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
        qDebug() << "ThreadLog:" << text;
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
