#pragma once

#include "live/entry/InitTask.h"

// Kinds 2, 4 and 8: each replaces the owner's device manager in its slot with a fresh one on the channel's engine,
// then selects a device of its kind (DeviceChoice: the stored one, else the first recommended one) and sets the
// kind's bit in notRecommendDevices_ when every device of the kind is not recommended. Failed when the kind has no
// device or the engine refuses the selection.

// Kind 2: the camera.
class InitTask_Agora_CheckCamera : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_Agora_CheckCamera(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
};

// Kind 4: the microphone.
class InitTask_Agora_CheckMicphone : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_Agora_CheckMicphone(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
};

// Kind 8: the speaker. Also replaces the manager object the microphone step put into the shared audio slot.
class InitTask_Agora_CheckSpeaker : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_Agora_CheckSpeaker(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
};
