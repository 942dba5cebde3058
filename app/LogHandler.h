#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdarg>

// Creates the configuration manager (and with it this start's log folder), makes the signals that end the
// process write out pending log lines first, then installs logMessageHandler. Call once the application object
// exists; messages before that go to Qt's default output. Calling it again changes nothing.
void installLogHandler();

// The log line for a message: "(ThreadID:0x<id>)", the time "hh:mm:ss.zzz", the level word, the text and
// "\r\n".
QString formatLogLine(QtMsgType type, const QString& message);

// The process's message handler: every line is collected in LogInfo and appended to the day's log file
// (followed by one more line feed) through the run log (app/RunLog.h), which writes it out within
// RunLog::kFlushDelayMs; a fatal message's line is written at once. Warnings about properties
// ("Warning: Property '") are dropped.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// A debug message as qDebug() writes it, without building a debug stream: the default category's filter, the
// installed handler, and standard error for a message logged from inside a handler.
void logDebugMessage(const QString& message);

// "Emit: <signalName>" as a debug message, written right before a signal is emitted.
void logEmitSignal(const char* signalName);
void logEmitFormat(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

// "ThreadLog: <text>" as a debug message, for traces of worker threads (a QString text is quoted).
void ThreadLog(const QString& text);
void ThreadLog(const char* text);
void ThreadLogF(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

// printf-style formatting into a buffer of 1024 bytes (terminator included); longer texts are cut.
int formatToBuffer1024(char* buffer, const char* format, va_list arguments);
