#include "live/rtc/sim/SimEngineLog.h"

#include <QDateTime>

SimEngineLog::SimEngineLog(int engineId)
    : m_engineId(engineId)
{
}

bool SimEngineLog::setFile(const QString& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    file.close();
    m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void SimEngineLog::setFilter(int filter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_filter = filter;
}

void SimEngineLog::write(const QString& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_file.isOpen() || m_filter == 0)
        return;
    const QString line = QStringLiteral("%1 [engine %2] %3\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")))
                             .arg(m_engineId)
                             .arg(text);
    m_file.write(line.toUtf8());
    m_file.flush();
}
