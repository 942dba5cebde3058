#include "live/messages/ProblemReportQueue.h"

#include "app/AppGlobalData.h"
#include "app/records/LessonContext.h"
#include "net/api/ZmNetAPI.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>

#include <atomic>

namespace {

std::atomic<int> s_pending{0};
QThreadPool* s_pool = nullptr;
QMutex s_poolMutex;

void releasePool()
{
    QMutexLocker locker(&s_poolMutex);
    if (!s_pool)
        return;
    s_pool->waitForDone();
    delete s_pool;
    s_pool = nullptr;
}

QThreadPool* pool()
{
    QMutexLocker locker(&s_poolMutex);
    if (!s_pool) {
        s_pool = new QThreadPool;
        s_pool->setMaxThreadCount(1);
        s_pool->setExpiryTimeout(30000);
        // Sent before the application object (and the data the reports read) goes.
        qAddPostRoutine(releasePool);
    }
    return s_pool;
}

} // namespace

namespace ProblemReportQueue {

bool file(int problemType, int errorCode, const QString& remark, const QString& errorDescription)
{
    if (s_pending.fetch_add(1) >= kMaxPending) {
        s_pending.fetch_sub(1);
        qWarning().noquote() << "ProblemReportQueue::file dropped, too many waiting:" << problemType << errorCode
                             << remark;
        return false;
    }
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    pool()->start([lesson, problemType, errorCode, remark, errorDescription] {
        ZmNetAPI::instance()->reportDeviceProblem(lesson, problemType, errorCode, remark, errorDescription);
        s_pending.fetch_sub(1);
    });
    return true;
}

bool waitForIdle(int timeoutMs)
{
    QThreadPool* reports = nullptr;
    {
        QMutexLocker locker(&s_poolMutex);
        reports = s_pool;
    }
    return !reports || reports->waitForDone(timeoutMs);
}

} // namespace ProblemReportQueue
