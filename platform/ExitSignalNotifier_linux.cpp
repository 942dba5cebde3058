#include "platform/ExitSignalNotifier.h"

#include "platform/ExitSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

ExitSignalNotifier::ExitSignalNotifier(int graceMs, QObject* parent)
    : QObject(parent)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ExitSignalNotifier::readSignal);
    handExitSignalsTo(m_writeFd, graceMs);
}

ExitSignalNotifier::~ExitSignalNotifier()
{
    if (m_writeFd < 0)
        return;
    handExitSignalsTo(-1, 0);
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
}

void ExitSignalNotifier::readSignal()
{
    unsigned char signalNumber = 0;
    if (::read(m_readFd, &signalNumber, 1) == 1)
        emit exitSignal(int(signalNumber));
}

} // namespace Platform
