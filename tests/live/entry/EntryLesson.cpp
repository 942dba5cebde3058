#include "EntryLesson.h"

#include "app/AppGlobalData.h"

void setUpEntryLesson(int accountType)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.accountType = accountType;
    data->launch.userId = accountType == 2 ? QStringLiteral("300451")
                                           : (accountType == 1 ? QStringLiteral("100234") : QStringLiteral("100999"));
    data->launch.token = QStringLiteral("lesson-token");
    data->launch.appType = AppType_JoinClass;
    data->launch.teachType = 1;
    data->launch.classType = 1;
    data->launch.uiType = 1;
    data->lesson = LessonInfo();
    data->lesson.lessonId = QStringLiteral("880213");
    data->lesson.periodId = QStringLiteral("20240611093");
    data->clearUsers();
    data->enteredClass = false;
}
