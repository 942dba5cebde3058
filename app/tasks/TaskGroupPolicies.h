#pragma once

#include "app/tasks/QTaskParallelGroup.h"

// The first sub-task to succeed wins and its properties are copied into the group; the first failure
// before any success fails the group. Sub-tasks that lose are not stopped.
const TaskGroupPolicy& defaultTaskGroupPolicy();

// The group succeeds when every sub-task succeeded and fails once all have ended and one failed.
const TaskGroupPolicy& allMustSucceedTaskGroupPolicy();
