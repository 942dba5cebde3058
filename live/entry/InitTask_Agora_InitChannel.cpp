#include "live/entry/InitTask_Agora_InitChannel.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "live/entry/FrameObserverParam.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/FrameObserverRegistration.h"

#include <QDebug>

namespace {

constexpr int kProfileDefault = 20;
constexpr int kProfileSmallGroupPupil = 0;

} // namespace

InitTask_Agora_InitChannel::InitTask_Agora_InitChannel(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(Agora_InitChannel, params, parent)
{
}

void InitTask_Agora_InitChannel::runTask()
{
    AgoraChannel* channel = params() ? params()->channel_ : nullptr;
    if (!channel || channel->initialize() < 0) {
        qWarning() << "InitTask_Agora_InitChannel::runTask() - the channel did not initialise";
        finishTask(-1);
        return;
    }
    const AppGlobalData* data = AppGlobalData::instance();
    const int role = data->launch.accountType;
    const bool publishes = data->isStudent() || data->isTeacher();
    if (role == 3)
        channel->setMonitorClient(true);
    channel->disableDualStreamMode();
    channel->setLogFile(ConfigManager::instance()->getAgoraLogPath().toUtf8().constData());

    QVariant value;
    const int mode =
        params()->getExtendParam(QLatin1String(EXTEND_PARAM_AgoraEngine_ChannelMode), &value) ? value.toInt() : 0;
    channel->setChannelMode(mode);
    if (mode == 1) {
        if (!publishes) {
            channel->setPublishRole(false);
            channel->enableLocalVideo(false);
        } else {
            channel->setPublishRole(true);
            const bool smallGroupPupil = data->isStudent() && data->launch.teachType == 2 && data->launch.classType > 2;
            channel->setVideoProfile(smallGroupPupil ? kProfileSmallGroupPupil : kProfileDefault);
        }
    }
    channel->enableAudioVolumeIndication();

    if (params()->getExtendParam(QLatin1String(EXTEND_PARAM_AgoraEngine_VideoFrameObserver), &value)) {
        agora::media::IVideoFrameObserver* observer = frameObserverFromParam(value);
        if (observer && registerFrameObserver(channel->engine(), observer) == kNoMediaInterface)
            qWarning() << "InitTask_Agora_InitChannel::runTask() - the engine has no media interface";
    }
    finishTask(1);
}
