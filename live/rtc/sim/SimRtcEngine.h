#pragma once

#include "live/rtc/engine/IRtcEngine.h"
#include "live/rtc/sim/SimEngineCore.h"

#include <memory>

// The simulated RTC engine: the program's engine wherever the vendor's is not available. It behaves as the Parts of
// the program expect of an engine (callbacks on threads of its own, a channel join that succeeds later, remote users,
// frames on a video thread painted into bound windows, statistics, devices) as its scenario says, and traces every
// call. Tests reach it through from() to inject events and read its state.
class SimRtcEngine final : public agora::rtc::IRtcEngine
{
public:
    SimRtcEngine(SimScenario scenario, std::shared_ptr<SimMediaSource> realDevices);

    // The simulated engine behind an engine pointer; null for any other engine.
    static SimRtcEngine* from(agora::rtc::IRtcEngine* engine);

    int initialize(const agora::rtc::RtcEngineContext& context) override;
    void release(bool sync = false) override;
    int queryInterface(agora::rtc::INTERFACE_ID_TYPE iid, void** inter) override;
    int joinChannel(const char* token, const char* channelId, const char* info, agora::rtc::uid_t uid) override;
    int leaveChannel() override;
    int setChannelProfile(agora::rtc::CHANNEL_PROFILE_TYPE profile) override;
    int setClientRole(agora::rtc::CLIENT_ROLE_TYPE role, const char* permissionKey) override;
    int enableAudio() override;
    int disableAudio() override;
    int enableVideo() override;
    int disableVideo() override;
    int setVideoProfile(agora::rtc::VIDEO_PROFILE_TYPE profile, bool swapWidthAndHeight) override;
    int setupLocalVideo(const agora::rtc::VideoCanvas& canvas) override;
    int setupRemoteVideo(const agora::rtc::VideoCanvas& canvas) override;
    int startPreview() override;
    int stopPreview() override;

    // For tests and the scenario: the engine's number in traces, an event after delayMs, the device model (which
    // may be changed directly, without callbacks) and the engine's state.
    int id() const { return m_core->id(); }
    void post(const SimEvent& event, int delayMs = 0) { m_core->post(event, delayMs); }
    SimDeviceModel& devices() { return m_core->devices(); }
    SimEngineCore::Snapshot snapshot() const { return m_core->snapshot(); }

private:
    ~SimRtcEngine() override = default;

    std::shared_ptr<SimEngineCore> m_core;
};
