#pragma once

#include "live/rtc/engine/RtcEngineTypes.h"

#include <cstddef>

namespace agora {
namespace rtc {

// The engine's callbacks. They run on the engine's own threads, never inside a call into the engine; the engine
// calls none of them after IRtcEngine::release has returned. Every callback does nothing unless overridden.
class IRtcEngineEventHandler
{
public:
    virtual ~IRtcEngineEventHandler() = default;

    // The local user is in the channel (uid as joined, or as assigned when 0 was asked for).
    virtual void onJoinChannelSuccess(const char* channel, uid_t uid, int elapsed) {}
    // Back in the channel after the connection was interrupted.
    virtual void onRejoinChannelSuccess(const char* channel, uid_t uid, int elapsed) {}
    // msg may be null.
    virtual void onWarning(int warn, const char* msg) {}
    virtual void onError(int err, const char* msg) {}
    // Speakers of the last interval (uid 0 the local user) and the mixed volume, 0-255. During a recording-device
    // test, count is 0 and totalVolume is the microphone's level.
    virtual void onAudioVolumeIndication(const AudioVolumeInfo* speakers, unsigned int speakerNumber, int totalVolume)
    {
    }
    virtual void onLeaveChannel(const RtcStats& stats) {}
    virtual void onRtcStats(const RtcStats& stats) {}
    // deviceType is a MEDIA_DEVICE_TYPE, deviceState a MEDIA_DEVICE_STATE_TYPE.
    virtual void onAudioDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) {}
    virtual void onVideoDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) {}
    // txQuality and rxQuality are QUALITY_TYPE values; uid 0 is the local user.
    virtual void onNetworkQuality(uid_t uid, int txQuality, int rxQuality) {}
    virtual void onLastmileQuality(int quality) {}
    virtual void onFirstLocalVideoFrame(int width, int height, int elapsed) {}
    virtual void onFirstRemoteVideoDecoded(uid_t uid, int width, int height, int elapsed) {}
    virtual void onVideoSizeChanged(uid_t uid, int width, int height, int rotation) {}
    virtual void onUserJoined(uid_t uid, int elapsed) {}
    // reason is a USER_OFFLINE_REASON_TYPE.
    virtual void onUserOffline(uid_t uid, int reason) {}
    // The connection is gone for good.
    virtual void onConnectionLost() {}
    // The connection dropped; the engine tries to get back (onRejoinChannelSuccess).
    virtual void onConnectionInterrupted() {}
    virtual void onStreamMessage(uid_t uid, int streamId, const char* data, std::size_t length) {}
    // The system changed a device's volume or muted it.
    virtual void onAudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE deviceType, int volume, bool muted) {}
};

} // namespace rtc
} // namespace agora
