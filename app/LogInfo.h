#pragma once

#include "app/LogLineStore.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <cstddef>

class QDateTime;

// The run's collected log lines and the document they are written out in, one JSON string per line. The lines
// are kept compactly (LogLineStore): little more than their UTF-8 bytes. A copy is cheap and shares them.
// The process-wide object is created by the first line and released after an uploaded log archive; every
// use of it (appending, reading, copying, releasing) happens under LogLock.
class LogInfo
{
public:
    // The process-wide collection, created on first use. Callers hold LogLock.
    static LogInfo* instance();

    // Deletes the process-wide collection; the next line starts a new one. Callers hold LogLock.
    static void release();

    bool appendLine(const QString& line);
    // A line already in the kept form (app/LogText.h).
    void appendLogText(const char* data, std::size_t size) { m_lines.append(data, size); }

    // Fills the lines from a text file: its last 300 KiB (possibly starting inside a line), each line trimmed,
    // empty lines skipped. False when the file can't be opened.
    bool loadLinesFromFile(const QString& path);

    // Writes the log-information document to path (indented JSON): "timeStamp", with withContext the lesson's
    // "contextInfo", "systemInfo" and the lines as "logs". False when the file can't be written.
    bool writeLogInfoJson(const QString& path, bool withContext);

    // The lines as JSON strings (built on each call).
    QJsonArray lines() const;
    QString lastLine() const;
    int lineCount() const { return int(m_lines.count()); }
    // The document's other keys; "logs" is added when it is written.
    QJsonObject& document() { return m_document; }

    // Bytes of a file that loadLinesFromFile reads.
    static constexpr qint64 kMaxLoadedBytes = 300 * 1024;

private:
    QJsonObject m_document;
    LogLineStore m_lines;
};

// The current run's document (with context) written to path, or, when path is empty, to the default file in
// this start's log folder (createLogFileName with the user id and the period id). The lines are copied under
// LogLock, so other threads may go on logging. The path written, or an empty text on failure.
QString writeLogInfoFile(const QString& path);

// The default file of writeLogInfoFile for the given time; empty when there is no log folder.
QString defaultLogInfoFilePath(const QDateTime& time);

// A document without context from the lines of logFile (see LogInfo::loadLinesFromFile).
bool writeLogInfoJsonFromText(const QString& logFile, const QString& jsonPath);

// folder "/" a "_" b "_" time as "yyyy_MM_dd_HH_mm" "." extension, made absolute.
QString createLogPathWithExtension(const QString& extension, const QString& folder, const QString& a, const QString& b,
                                   const QDateTime& time);
// The same with the extension "txt".
QString createLogFileName(const QString& folder, const QString& a, const QString& b, const QDateTime& time);

// The document's parts: "contextInfo" from the application data, "systemInfo" from the system information.
QJsonObject logContextInfo();
QJsonObject logSystemInfo();

// "Student", "Teacher", "Auditor" for account types 1, 2, 3; "Unknow" otherwise.
QString accountTypeWord(int accountType);
