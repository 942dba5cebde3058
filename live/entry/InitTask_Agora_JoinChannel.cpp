#include "live/entry/InitTask_Agora_JoinChannel.h"

#include "app/AppGlobalData.h"
#include "app/records/InitTaskParams.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraChannel.h"

#include <QDebug>

InitTask_Agora_JoinChannel::InitTask_Agora_JoinChannel(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(Agora_JoinChannel, params, parent)
{
}

void InitTask_Agora_JoinChannel::runTask()
{
    AgoraChannel* channel = params() ? params()->channel_ : nullptr;
    const AppGlobalData* data = AppGlobalData::instance();
    int result = -1;
    if (channel) {
        if (data->launch.accountType == 3) {
            channel->enableLocalVideo(false);
            channel->muteLocalAudio(true);
        }
        const int userId = data->userIdAsInt();
        result = channel->joinChannel(data->lesson.channel.toUtf8().constData(),
                                      data->lesson.channelKey.toUtf8().constData(), static_cast<unsigned int>(userId));
        qInfo() << "Agora_JoinChannel:" << userId << "result" << result;
    } else {
        qWarning() << "InitTask_Agora_JoinChannel::runTask() - no channel";
    }
    if (result == 0) {
        finishTask(1);
        return;
    }
    ProblemReportQueue::file(5, -1, QStringLiteral("JOINCHANNEL Failed"), QStringLiteral("Agora Error"));
    finishTask(-1);
}
