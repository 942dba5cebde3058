#pragma once

#include "app/tasks/QTaskParallelGroup.h"

// The first sub-task to succeed wins and its properties are copied into the group; the first failure
// before any success or cancellation fails the group. When every sub-task has ended without a success the
// group fails, or is cancelled when all of them were. Sub-tasks that lose are not stopped.
const TaskGroupPolicy& defaultTaskGroupPolicy();

// The group succeeds when every sub-task succeeded and fails once all have ended and one failed.
const TaskGroupPolicy& allMustSucceedTaskGroupPolicy();
