#pragma once

#include "app/tasks/QTaskItem.h"
#include "app/tasks/QTaskParallelGroup.h"

#include <cstddef>

// Registers the meta types "QTaskItem*" and "TaskState" and creates the sentinel task and group; once.
void initTaskFramework();

// The stand-ins that factories and then() return instead of null. Never launched, never freed.
QTaskItem* sentinelTask();
QTaskParallelGroup* sentinelGroup();

// True for null, the sentinel task and the sentinel group.
bool isSentinelTask(const QTaskItem* task);
bool isSentinelTask(const QTaskParallelGroup* group);
bool isSentinelTask(std::nullptr_t);

// A task whose body runs on the thread that launches it.
QTaskItem* createSyncTask(TaskBody body);
// A task whose body runs on a thread of its own, started by launch(); the body ends the task from there.
QTaskItem* createAsyncTask(TaskBody body);
// A parallel group; an empty policy means defaultTaskGroupPolicy().
QTaskParallelGroup* createParallelGroup(TaskGroupPolicy policy = TaskGroupPolicy());

// Frees a task or group (not its sub-tasks). A task whose body still runs on its thread is freed when the
// body returns; a released task no longer launches. Sentinels are left alone.
void releaseTask(QTaskItem* task);
void releaseTask(QTaskParallelGroup* group);
