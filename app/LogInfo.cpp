#include "app/LogInfo.h"

#include "app/LogLock.h"

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
    m_lines.append(line);
    return true;
}
