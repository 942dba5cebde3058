#include "app/startup/InstanceLockWait.h"

#include "platform/SingleInstance.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int kRetryPauseMs = 100;

} // namespace

bool acquireInstanceLock(Platform::SingleInstanceLock& lock, int waitMs)
{
    if (lock.tryAcquire() || !lock.heldElsewhere() || waitMs <= 0)
        return lock.isHeld();

    qInfo() << "acquireInstanceLock waits up to" << waitMs << "ms for the running copy to end";
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < waitMs) {
        QThread::msleep(kRetryPauseMs);
        if (lock.tryAcquire()) {
            qInfo() << "acquireInstanceLock the running copy ended after" << waited.elapsed() << "ms";
            return true;
        }
        if (!lock.heldElsewhere())
            break;
    }
    qWarning().noquote() << "acquireInstanceLock gives up:" << lock.errorString();
    return false;
}
