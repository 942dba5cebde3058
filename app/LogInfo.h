#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// The run's collected log lines, one JSON string per line, and the document they are written out in.
// The process-wide object is created by the first line and released after an uploaded log archive; every
// use of it (appending, reading, writing out, releasing) happens under LogLock.
class LogInfo
{
public:
    // The process-wide collection, created on first use. Callers hold LogLock.
    static LogInfo* instance();

    // Deletes the process-wide collection; the next line starts a new one. Callers hold LogLock.
    static void release();

    bool appendLine(const QString& line);

    const QJsonArray& lines() const { return m_lines; }
    int lineCount() const { return m_lines.size(); }
    QJsonObject& document() { return m_document; }

private:
    QJsonObject m_document;
    QJsonArray m_lines;
};
