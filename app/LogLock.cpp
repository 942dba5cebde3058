#include "app/LogLock.h"

#include <QMutex>

namespace {

// Constant-initialised with a trivial destructor, so it outlives every other static at exit.
QBasicMutex s_logMutex;

thread_local int t_depth = 0;

} // namespace

LogLock::LogLock()
{
    if (t_depth++ == 0)
        s_logMutex.lock();
}

LogLock::~LogLock()
{
    if (--t_depth == 0)
        s_logMutex.unlock();
}

bool LogLock::isHeldByCurrentThread()
{
    return t_depth > 0;
}
