#include "live/entry/OwedLogUpload.h"

#include "net/logs/ResumeLogThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QThread>

namespace {

// The uploads started and not yet freed (GUI thread only).
QList<QPointer<ResumeLogThread>>& uploads()
{
    static QList<QPointer<ResumeLogThread>> list;
    return list;
}

bool anyAlive()
{
    QList<QPointer<ResumeLogThread>>& list = uploads();
    list.removeAll(nullptr);
    return !list.isEmpty();
}

} // namespace

void startOwedLogUpload()
{
    auto* thread = new ResumeLogThread;
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    uploads().append(thread);
    thread->start();
}

bool waitForOwedLogUploads(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (anyAlive()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}
