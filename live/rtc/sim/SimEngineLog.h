#pragma once

#include <QFile>
#include <QString>

#include <mutex>

// The simulated engine's own log, written where the parameter "rtc.log_file" points (nothing is written before).
// Lines: the local time, the engine number and the text. Thread-safe.
class SimEngineLog
{
public:
    explicit SimEngineLog(int engineId);

    // Opens path for appending; false (the previous file kept) when it cannot be opened.
    bool setFile(const QString& path);

    // The filter of "rtc.log_filter": 0 writes nothing, any other value everything.
    void setFilter(int filter);

    void write(const QString& text);

private:
    const int m_engineId;
    std::mutex m_mutex;
    QFile m_file;
    int m_filter = 15;
};
