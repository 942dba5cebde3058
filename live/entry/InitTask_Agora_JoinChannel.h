#pragma once

#include "live/entry/InitTask.h"

// Kind 64: joins the lesson's RTC channel as the local user (an auditor with local video off and audio muted).
// Blocks up to the channel's join wait. A failed join files problem report 5.
class InitTask_Agora_JoinChannel : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_Agora_JoinChannel(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
};
