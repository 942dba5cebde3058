#pragma once

#include <functional>

class InitTask;
class QObject;
struct s_InitTask_Params;

// A new step of the kind (InitTaskType 1 to 512) over the current parameter block, or null for any other kind
// or when no block is current. owner is kept by the wiring step (kind 128) only. The caller owns the step.
InitTask* createInitTaskByType(int kind, QObject* owner);
// The same over a given block (null: none).
InitTask* createInitTaskByType(int kind, QObject* owner, s_InitTask_Params* params);

// What the runner makes its steps with: createInitTaskByType unless a test set another maker.
using InitTaskMaker = std::function<InitTask*(int kind, QObject* owner, s_InitTask_Params* params)>;
InitTask* makeInitTask(int kind, QObject* owner, s_InitTask_Params* params);

// Tests only: the runner makes its steps with maker from now on; an empty maker restores the factory.
void setInitTaskMakerForTesting(InitTaskMaker maker);
