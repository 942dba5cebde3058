#include "live/entry/InitTaskFactory.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/InitTask_AgoraDevices.h"
#include "live/entry/InitTask_Agora_InitChannel.h"
#include "live/entry/InitTask_Agora_JoinChannel.h"
#include "live/entry/InitTask_NormalClass_InitUI.h"
#include "live/entry/InitTask_WebEngine_LoadWhiteboard.h"
#include "live/entry/InitTask_WebSocket_Link.h"

namespace {

InitTaskMaker& makerForTesting()
{
    static InitTaskMaker maker;
    return maker;
}

} // namespace

InitTask* createInitTaskByType(int kind, QObject* owner)
{
    return createInitTaskByType(kind, owner, getInitTaskParams());
}

InitTask* createInitTaskByType(int kind, QObject* owner, s_InitTask_Params* params)
{
    if (!params)
        return nullptr;
    switch (kind) {
    case Agora_InitChannel:
        return new InitTask_Agora_InitChannel(params);
    case Agora_CheckCamera:
        return new InitTask_Agora_CheckCamera(params);
    case Agora_CheckMicphone:
        return new InitTask_Agora_CheckMicphone(params);
    case Agora_CheckSpeaker:
        return new InitTask_Agora_CheckSpeaker(params);
    case API_LoadClassInfo:
        return new InitTask_API_LoadClassInfo(params);
    case API_EnterClass:
        return new InitTask_API_EnterClass(params);
    case Agora_JoinChannel:
        return new InitTask_Agora_JoinChannel(params);
    case NormalClass_InitUI:
        return new InitTask_NormalClass_InitUI(params, owner);
    case WebEngine_LoadWhiteboard:
        return new InitTask_WebEngine_LoadWhiteboard(params);
    case WebSocket_Link:
        return new InitTask_WebSocket_Link(params);
    default:
        return nullptr;
    }
}

InitTask* makeInitTask(int kind, QObject* owner, s_InitTask_Params* params)
{
    const InitTaskMaker& maker = makerForTesting();
    return maker ? maker(kind, owner, params) : createInitTaskByType(kind, owner, params);
}

void setInitTaskMakerForTesting(InitTaskMaker maker)
{
    makerForTesting() = std::move(maker);
}
