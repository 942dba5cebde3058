#include "live/entry/InitTaskFactory.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/InitTask_NormalClass_InitUI.h"
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
    case API_LoadClassInfo:
        return new InitTask_API_LoadClassInfo(params);
    case API_EnterClass:
        return new InitTask_API_EnterClass(params);
    case NormalClass_InitUI:
        return new InitTask_NormalClass_InitUI(params, owner);
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
