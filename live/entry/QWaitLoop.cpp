#include "live/entry/QWaitLoop.h"

QWaitLoop::QWaitLoop(QObject* parent)
    : QEventLoop(parent)
{
}

void QWaitLoop::quit_bool(bool bQuitCode)
{
    m_quitValue = bQuitCode;
    quit();
}

void QWaitLoop::quit_timeOut()
{
    m_timedOut = true;
    quit();
}
