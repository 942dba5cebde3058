#pragma once

#include <cstdint>

// Values and records the RTC engine's interfaces exchange with the program.
namespace agora {
namespace rtc {

// A user of a channel. 0 stands for the local user in callbacks and canvases.
using uid_t = unsigned int;

// A native window handle. Pointer-sized: on X11 it holds the window id.
using view_t = std::uintptr_t;

// Device names and ids travel in buffers of this size (terminator included).
enum MAX_DEVICE_ID_LENGTH_TYPE
{
    MAX_DEVICE_ID_LENGTH = 512
};

// Results are 0 or positive on success; a failure is one of these, negated.
enum ERROR_CODE_TYPE
{
    ERR_OK = 0,
    ERR_FAILED = 1,
    ERR_INVALID_ARGUMENT = 2,
    ERR_NOT_READY = 3,
    ERR_NOT_SUPPORTED = 4,
    ERR_REFUSED = 5,
    ERR_NOT_INITIALIZED = 7,
    ERR_JOIN_CHANNEL_REJECTED = 17,
};

// Ids for IRtcEngine::queryInterface.
enum INTERFACE_ID_TYPE
{
    AGORA_IID_AUDIO_DEVICE_MANAGER = 1,
    AGORA_IID_VIDEO_DEVICE_MANAGER = 2,
    AGORA_IID_RTC_ENGINE_PARAMETER = 3,
    AGORA_IID_MEDIA_ENGINE = 4,
};

enum CHANNEL_PROFILE_TYPE
{
    CHANNEL_PROFILE_COMMUNICATION = 0,
    CHANNEL_PROFILE_LIVE_BROADCASTING = 1,
    CHANNEL_PROFILE_GAME = 2,
};

enum CLIENT_ROLE_TYPE
{
    CLIENT_ROLE_BROADCASTER = 1,
    CLIENT_ROLE_AUDIENCE = 2,
};

// How a video fills its window: 1 fills it and crops, 2 fits it whole.
enum RENDER_MODE_TYPE
{
    RENDER_MODE_HIDDEN = 1,
    RENDER_MODE_FIT = 2,
};

// The video profile number of setVideoProfile (0 smallest; 20, 30, 40 larger captures).
using VIDEO_PROFILE_TYPE = int;

enum MEDIA_DEVICE_TYPE
{
    UNKNOWN_AUDIO_DEVICE = -1,
    AUDIO_PLAYOUT_DEVICE = 0,
    AUDIO_RECORDING_DEVICE = 1,
    VIDEO_RENDER_DEVICE = 2,
    VIDEO_CAPTURE_DEVICE = 3,
};

enum MEDIA_DEVICE_STATE_TYPE
{
    MEDIA_DEVICE_STATE_ACTIVE = 1,
    MEDIA_DEVICE_STATE_DISABLED = 2,
    MEDIA_DEVICE_STATE_NOT_PRESENT = 4,
    MEDIA_DEVICE_STATE_UNPLUGGED = 8,
};

enum USER_OFFLINE_REASON_TYPE
{
    USER_OFFLINE_QUIT = 0,
    USER_OFFLINE_DROPPED = 1,
    USER_OFFLINE_BECOME_AUDIENCE = 2,
};

// Network quality: 0 unknown, 1 excellent ... 6 down.
enum QUALITY_TYPE
{
    QUALITY_UNKNOWN = 0,
    QUALITY_EXCELLENT = 1,
    QUALITY_GOOD = 2,
    QUALITY_POOR = 3,
    QUALITY_BAD = 4,
    QUALITY_VBAD = 5,
    QUALITY_DOWN = 6,
};

// Call statistics of onRtcStats and onLeaveChannel.
struct RtcStats
{
    unsigned int duration = 0; // seconds in the channel
    unsigned int txBytes = 0;
    unsigned int rxBytes = 0;
    unsigned short txKBitRate = 0;
    unsigned short rxKBitRate = 0;
    unsigned short rxAudioKBitRate = 0;
    unsigned short txAudioKBitRate = 0;
    unsigned short rxVideoKBitRate = 0;
    unsigned short txVideoKBitRate = 0;
    unsigned short lastmileDelay = 0; // ms
    unsigned int userCount = 0;
    double cpuAppUsage = 0;   // percent
    double cpuTotalUsage = 0; // percent
};

// One speaker of onAudioVolumeIndication: uid 0 is the local user; volume 0-255.
struct AudioVolumeInfo
{
    uid_t uid = 0;
    unsigned int volume = 0;
};

// Where a user's video is shown.
struct VideoCanvas
{
    view_t view = 0; // 0 unbinds
    int renderMode = RENDER_MODE_HIDDEN;
    uid_t uid = 0;
};

class IRtcEngineEventHandler;

// What initialize needs: the handler that receives the callbacks and the application id (read during the call only).
struct RtcEngineContext
{
    IRtcEngineEventHandler* eventHandler = nullptr;
    const char* appId = nullptr;
};

} // namespace rtc
} // namespace agora
