#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <mutex>

// The JSON-lines trace of the simulated engines: one object per line for every call into an engine and every
// callback it makes, written and flushed at once. Engines tracing to one path share one writer, so their lines
// keep the order in which they happened.
class SimTraceWriter
{
public:
    // The writer for path (created on first use; appends to an existing file); null when path is empty or the file
    // cannot be opened (logged once).
    static std::shared_ptr<SimTraceWriter> forPath(const QString& path);

    explicit SimTraceWriter(const QString& path);

    bool isOpen() const { return m_file.isOpen(); }

    // Writes entry with "seq" (1, 2, ... per writer) added.
    void write(QJsonObject entry);

private:
    std::mutex m_mutex;
    QFile m_file;
    qint64 m_sequence = 0;
};
