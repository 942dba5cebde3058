#pragma once

#include "app/records/LessonContext.h"

class QTaskItem;

// The lesson context a task runs for. Its creator stores a snapshot in the task (the task property
// TaskProperty_LessonContext) before launching it; the body reads it on the task's thread.
void setTaskLessonContext(QTaskItem* task, const LessonContext& context);

// The context stored in the task; without one, the application data's context, read on the task's thread (the
// records it reads were written before the task started).
LessonContext taskLessonContext(QTaskItem* task);
