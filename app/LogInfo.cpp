#include "app/LogInfo.h"

#include "app/LogLock.h"
#include "app/LogText.h"

namespace {

LogInfo* s_logInfo = nullptr;

} // namespace

LogInfo* LogInfo::instance()
{
    Q_ASSERT(LogLock::isHeldByCurrentThread());
    if (!s_logInfo)
        s_logInfo = new LogInfo;
    return s_logInfo;
}

void LogInfo::release()
{
    Q_ASSERT(LogLock::isHeldByCurrentThread());
    delete s_logInfo;
    s_logInfo = nullptr;
}

bool LogInfo::appendLine(const QString& line)
{
    const QByteArray text = toLogText(line);
    m_lines.append(text.constData(), std::size_t(text.size()));
    return true;
}

QJsonArray LogInfo::lines() const
{
    QJsonArray lines;
    m_lines.forEach([&lines](const char* data, std::size_t size) { lines.append(logTextToString(data, size)); });
    return lines;
}

QString LogInfo::lastLine() const
{
    const QByteArray last = m_lines.last();
    return logTextToString(last.constData(), std::size_t(last.size()));
}
