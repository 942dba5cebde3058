#include "app/records/InitTaskParams.h"

#include <QDebug>
#include <QList>

const char EXTEND_PARAM_AgoraEngine_ChannelMode[] = "EXTEND_PARAM_AgoraEngine_ChannelMode";
const char EXTEND_PARAM_AgoraEngine_VideoFrameObserver[] = "EXTEND_PARAM_AgoraEngine_VideoFrameObserver";
const char EXTEND_PARAM_WhiteBoard_URL[] = "EXTEND_PARAM_WhiteBoard_URL";
const char EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale[] = "EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale";

namespace {
// The blocks alive, oldest first; the last one is current.
QList<s_InitTask_Params*> s_blocks;
} // namespace

bool s_InitTask_Params::getExtendParam(const QString& key, QVariant* value) const
{
    const auto found = extendParams_.constFind(key);
    if (found == extendParams_.constEnd())
        return false;
    if (value)
        *value = found.value();
    return true;
}

s_InitTask_Params* createInitTaskParams(int forCase, AgoraChannel* channel, AgoraAudioDevice** audioDevice,
                                        AgoraVideoDevice** videoDevice, Whiteboard* whiteboard)
{
    if (!s_blocks.isEmpty())
        qWarning() << "createInitTaskParams : nullptr != s_InitTask_Params !";
    auto* block = new s_InitTask_Params;
    block->forCase_ = forCase;
    block->channel_ = channel;
    block->audioDevice_ = audioDevice;
    block->videoDevice_ = videoDevice;
    block->whiteboard_ = whiteboard;
    s_blocks.append(block);
    return block;
}

void freeInitTaskParams(s_InitTask_Params*& block)
{
    if (!block)
        return;
    if (block != getInitTaskParams())
        qWarning() << "freeInitTaskParams : pInitTaskParams != s_InitTask_Params !";
    s_blocks.removeOne(block);
    delete block;
    block = nullptr;
}

s_InitTask_Params* getInitTaskParams()
{
    return s_blocks.isEmpty() ? nullptr : s_blocks.constLast();
}
