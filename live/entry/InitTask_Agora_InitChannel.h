#pragma once

#include "live/entry/InitTask.h"

// Kind 1: initialises the room's RTC channel and its engine options: monitor mode for an auditor, dual stream off,
// the engine's log file, the channel mode (extend parameter, 0 when absent) with, in mode 1, the publish role and
// the video profile, volume indication, and the frame observer the block carries (when it carries one).
class InitTask_Agora_InitChannel : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_Agora_InitChannel(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
};
