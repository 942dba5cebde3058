#include "net/logs/ResumeLogThread.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "net/logs/LogFolders.h"
#include "net/logs/ResumeLogInfo.h"
#include "platform/CrashHandler.h"

#include <QDateTime>
#include <QDebug>
#include <QMutex>

ResumeLogThread::ResumeLogThread(QObject* parent)
    : QThread(parent)
    , m_lesson(AppGlobalData::instance()->lessonContext())
{
}

void ResumeLogThread::run()
{
    static QMutex runMutex;
    if (!runMutex.tryLock(kRunLockTimeoutMs)) {
        qDebug() << "ResumeLogThread::run another run is busy";
        return;
    }
    Platform::installCrashStackForCurrentThread();
    removeExpiredLogFolders(kExpiryDays);
    ResumeLogInfo& owed = ResumeLogInfo::instance();
    owed.resumeUploadLogFile(m_lesson);
    owed.appendResumeLogInfo(m_lesson.periodId(), m_lesson.lessonId(), QDateTime::currentDateTime(),
                             ConfigManager::instance()->getDailyLogFile(), m_lesson.userId(), m_lesson.token());
    runMutex.unlock();
}
