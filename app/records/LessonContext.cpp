#include "app/records/LessonContext.h"

LessonContext::LessonContext(const LaunchInfo& launch, const LessonInfo& lesson)
    : m_userId(launch.userId)
    , m_token(launch.token)
    , m_accountType(launch.accountType)
    , m_appType(launch.appType)
    , m_startAppType(launch.startAppType)
    , m_paramA(launch.paramA)
    , m_language(launch.language)
    , m_lessonId(lesson.lessonId)
    , m_periodId(lesson.periodId)
{
}

int LessonContext::userIdAsInt() const
{
    if (m_userId.isEmpty())
        return -1;
    return m_userId.toInt();
}
