#pragma once

#include "live/rtc/engine/IRtcEngineEventHandler.h"
#include "live/rtc/engine/RtcEngineTypes.h"

namespace agora {
namespace rtc {

// One RTC engine: a channel connection with its audio, video and devices. Calls return 0 (or positive) on success
// and a negative ERROR_CODE_TYPE on failure. Results of the channel arrive later through the event handler given to
// initialize, on the engine's threads.
class IRtcEngine
{
public:
    // Negative when the engine cannot start (then it sends no callbacks).
    virtual int initialize(const RtcEngineContext& context) = 0;

    // Ends the engine and frees it; no callback runs after it has returned. sync waits for the whole tear-down;
    // otherwise what remains of it finishes on a thread of the engine's own.
    virtual void release(bool sync = false) = 0;

    // Asks for one of the INTERFACE_ID_TYPE interfaces: 0 and *inter set, or non-zero when it is not available.
    virtual int queryInterface(INTERFACE_ID_TYPE iid, void** inter) = 0;

    // Starts joining: negative when refused at once; success arrives through onJoinChannelSuccess. uid 0 lets the
    // engine choose one. info may be null.
    virtual int joinChannel(const char* token, const char* channelId, const char* info, uid_t uid) = 0;
    virtual int leaveChannel() = 0;

    virtual int setChannelProfile(CHANNEL_PROFILE_TYPE profile) = 0;
    // Only in the live-broadcasting profile. permissionKey may be null.
    virtual int setClientRole(CLIENT_ROLE_TYPE role, const char* permissionKey) = 0;

    virtual int enableAudio() = 0;
    virtual int disableAudio() = 0;
    virtual int enableVideo() = 0;
    virtual int disableVideo() = 0;
    virtual int setVideoProfile(VIDEO_PROFILE_TYPE profile, bool swapWidthAndHeight) = 0;

    // Binds the local camera's or a remote user's video to a native window (view 0 unbinds).
    virtual int setupLocalVideo(const VideoCanvas& canvas) = 0;
    virtual int setupRemoteVideo(const VideoCanvas& canvas) = 0;
    virtual int startPreview() = 0;
    virtual int stopPreview() = 0;

protected:
    virtual ~IRtcEngine() = default;
};

} // namespace rtc
} // namespace agora

// The engine factory: a new engine (not initialised), or null.
agora::rtc::IRtcEngine* createAgoraRtcEngine();

// The engine's version text; *build (when given) receives its build number.
const char* getAgoraRtcEngineVersion(int* build);
