#include "live/rtc/sim/SimRtcEngine.h"

#include "live/rtc/sim/SimDeviceManagers.h"
#include "live/rtc/sim/SimParameters.h"

#include <QDebug>

#include <thread>

using namespace agora::rtc;

SimRtcEngine::SimRtcEngine(SimScenario scenario, std::shared_ptr<SimMediaSource> realDevices)
    : m_core(std::make_shared<SimEngineCore>(std::move(scenario), std::move(realDevices)))
{
}

SimRtcEngine* SimRtcEngine::from(IRtcEngine* engine)
{
    return dynamic_cast<SimRtcEngine*>(engine);
}

int SimRtcEngine::initialize(const RtcEngineContext& context)
{
    return m_core->initialize(context.eventHandler, context.appId);
}

void SimRtcEngine::release(bool sync)
{
    std::shared_ptr<SimEngineCore> core = std::move(m_core);
    delete this;
    core->traceCall("release", QJsonObject{{"sync", sync}}, 0);
    const int delayMs = core->scenario().releaseDelayMs;
    if (core->isOwnThread()) {
        // Released from one of its own callbacks: the threads can only end after that callback.
        qWarning() << "SimRtcEngine released from its own callback thread";
        std::thread([core, delayMs] {
            core->shutdown();
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        }).detach();
        return;
    }
    core->shutdown();
    if (delayMs <= 0)
        return;
    if (sync)
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    else
        std::thread([core, delayMs] { std::this_thread::sleep_for(std::chrono::milliseconds(delayMs)); }).detach();
}

int SimRtcEngine::queryInterface(INTERFACE_ID_TYPE iid, void** inter)
{
    const SimScenario& scenario = m_core->scenario();
    void* given = nullptr;
    switch (iid) {
    case AGORA_IID_AUDIO_DEVICE_MANAGER:
        if (scenario.audioDeviceManager)
            given = static_cast<IAudioDeviceManager*>(new SimAudioDeviceManager(m_core));
        break;
    case AGORA_IID_VIDEO_DEVICE_MANAGER:
        if (scenario.videoDeviceManager)
            given = static_cast<IVideoDeviceManager*>(new SimVideoDeviceManager(m_core));
        break;
    case AGORA_IID_RTC_ENGINE_PARAMETER:
        if (scenario.parameterInterface)
            given = static_cast<IRtcEngineParameter*>(new SimParameters(m_core));
        break;
    case AGORA_IID_MEDIA_ENGINE:
        if (scenario.mediaEngine)
            given = static_cast<agora::media::IMediaEngine*>(&m_core->media());
        break;
    }
    const int result = given ? 0 : -ERR_NOT_SUPPORTED;
    if (inter)
        *inter = given;
    m_core->traceCall("queryInterface", QJsonObject{{"iid", int(iid)}}, result);
    return result;
}

int SimRtcEngine::joinChannel(const char* token, const char* channelId, const char* info, uid_t uid)
{
    return m_core->joinChannel(token, channelId, info, uid);
}

int SimRtcEngine::leaveChannel()
{
    return m_core->leaveChannel();
}

int SimRtcEngine::setChannelProfile(CHANNEL_PROFILE_TYPE profile)
{
    return m_core->setChannelProfile(profile);
}

int SimRtcEngine::setClientRole(CLIENT_ROLE_TYPE role, const char* permissionKey)
{
    return m_core->setClientRole(role, permissionKey);
}

int SimRtcEngine::enableAudio()
{
    return m_core->setAudioEnabled(true);
}

int SimRtcEngine::disableAudio()
{
    return m_core->setAudioEnabled(false);
}

int SimRtcEngine::enableVideo()
{
    return m_core->setVideoEnabled(true);
}

int SimRtcEngine::disableVideo()
{
    return m_core->setVideoEnabled(false);
}

int SimRtcEngine::setVideoProfile(VIDEO_PROFILE_TYPE profile, bool swapWidthAndHeight)
{
    return m_core->setVideoProfile(profile, swapWidthAndHeight);
}

int SimRtcEngine::setupLocalVideo(const VideoCanvas& canvas)
{
    return m_core->setupVideo(true, canvas);
}

int SimRtcEngine::setupRemoteVideo(const VideoCanvas& canvas)
{
    return m_core->setupVideo(false, canvas);
}

int SimRtcEngine::startPreview()
{
    return m_core->setPreview(true);
}

int SimRtcEngine::stopPreview()
{
    return m_core->setPreview(false);
}
