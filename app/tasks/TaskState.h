#pragma once

#include <QMetaType>

// State of a task. Single bits, so that the states of several tasks can be OR-ed together.
enum TaskState : int
{
    TaskState_Initial = 1,     // created, not yet launched
    TaskState_Running = 2,     // launched; its body has been started
    TaskState_Succeeded = 16,  // ended well
    TaskState_Failed = 32,     // ended badly
    TaskState_Cancelled = 256, // cancelled before or while running
};
Q_DECLARE_METATYPE(TaskState)

// The bits of the two unfinished states and of the ended ones.
constexpr int TaskState_UnfinishedMask = 0x0F;
constexpr int TaskState_EndedMask = 0xFF0;

// Task flags: the kind (set by the factory), the member bit (set by a group) and the trigger (set by then).
enum TaskFlag : int
{
    TaskFlag_Async = 0x11,
    TaskFlag_Sync = 0x12,
    TaskFlag_Group = 0x20,
    TaskFlag_Member = 0x40,
    TaskFlag_OnRunning = 0x100,
    TaskFlag_OnSucceeded = 0x200,
    TaskFlag_OnFailed = 0x400,
};

// A follower is launched by its predecessor only when its trigger bits are exactly one of the three triggers.
constexpr int TaskFlag_TriggerMask = 0xFF00;
