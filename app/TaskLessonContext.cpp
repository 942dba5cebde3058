#include "app/TaskLessonContext.h"

#include "app/AppGlobalData.h"
#include "app/tasks/QTaskItem.h"
#include "app/tasks/TaskProperties.h"

void setTaskLessonContext(QTaskItem* task, const LessonContext& context)
{
    if (task)
        task->setProperty(QLatin1String(TaskProperty_LessonContext), QVariant::fromValue(context));
}

LessonContext taskLessonContext(QTaskItem* task)
{
    const QVariant stored = task ? task->property(QLatin1String(TaskProperty_LessonContext)) : QVariant();
    if (stored.canConvert<LessonContext>())
        return stored.value<LessonContext>();
    return AppGlobalData::instance()->lessonContext();
}
