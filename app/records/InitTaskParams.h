#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

class AgoraChannel;
class AgoraAudioDevice;
class AgoraVideoDevice;
class Whiteboard;

// Class-entry step kinds: one bit each.
enum InitTaskType : unsigned int
{
    Agora_InitChannel = 1,
    Agora_CheckCamera = 2,
    Agora_CheckMicphone = 4,
    Agora_CheckSpeaker = 8,
    API_LoadClassInfo = 16,
    API_EnterClass = 32,
    Agora_JoinChannel = 64,
    NormalClass_InitUI = 128,
    WebEngine_LoadWhiteboard = 256,
    WebSocket_Link = 512,
    WebSocket_Init = 1024, // no step object: the caller acts on it after the run
};

// Result of one class-entry step.
enum Init_Task_Result : int
{
    Init_Task_Done = 1,
    Init_Task_NotStarted = 0,
    Init_Task_Failed = -1,
    Init_Task_TimedOut = -2,
    Init_Task_FailedAfterRetries = -3,
    Init_Task_Interrupted = -4,
};

// Result of a whole list of steps: 0 success, non-zero failure.
using Init_Tasks_Result = int;

// Selected devices found on the not-recommended list.
enum NotRecommendDeviceType : int
{
    NotRecommend_Camera = 1,
    NotRecommend_Microphone = 2,
    NotRecommend_Speaker = 4,
};
Q_DECLARE_METATYPE(NotRecommendDeviceType)

// Why a run of the steps happens.
enum InitTaskCase : int
{
    InitCase_ClassEntry = 0,
    InitCase_DeviceUnplugged = 1,
    InitCase_Reset = 2,
    InitCase_GuestWhiteboard = 3,
};

extern const char EXTEND_PARAM_AgoraEngine_ChannelMode[];
extern const char EXTEND_PARAM_AgoraEngine_VideoFrameObserver[];
extern const char EXTEND_PARAM_WhiteBoard_URL[];
extern const char EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale[];

// The parameter block the class-entry steps share. One is current at a time; only the GUI thread uses it.
struct s_InitTask_Params
{
    bool stop_ = false;
    int forCase_ = InitCase_ClassEntry;
    AgoraChannel* channel_ = nullptr;
    Whiteboard* whiteboard_ = nullptr;
    AgoraAudioDevice** audioDevice_ = nullptr;
    AgoraVideoDevice** videoDevice_ = nullptr;
    int notRecommendDevices_ = 0;
    unsigned int currentType_ = 0;
    int lastResult_ = Init_Task_NotStarted;
    int lastDetail_ = 0;
    QMap<QString, QVariant> extendParams_;

    // True when key is present; copies its value through value when given.
    bool getExtendParam(const QString& key, QVariant* value) const;
};

// Creates a block and makes it the current one. A current block is not freed: it is current again once every
// block created after it has been freed, so a block made for a single step while a run is going (the guest's
// whiteboard load) hands the run its own block back when it is freed.
s_InitTask_Params* createInitTaskParams(int forCase, AgoraChannel* channel, AgoraAudioDevice** audioDevice,
                                        AgoraVideoDevice** videoDevice, Whiteboard* whiteboard);

// Frees the caller's block and clears the caller's pointer. The current block becomes the newest block still
// alive, or none.
void freeInitTaskParams(s_InitTask_Params*& block);

// The current block (the newest one alive), or null.
s_InitTask_Params* getInitTaskParams();
