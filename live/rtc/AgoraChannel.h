#pragma once

#include "live/rtc/RtcMetaTypes.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QByteArray>
#include <QObject>
#include <qwindowdefs.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A class room's connection to the RTC service: owns one engine, initialises it, joins and leaves the lesson's
// channel, binds local and remote video to native windows, sets the publishing role and engine parameters, and
// turns the engine's callbacks into signals. The signals are emitted on the engine's threads, so receivers get them
// queued. It keeps the set of online user ids, changed only on its own (GUI) thread.
class AgoraChannel : public QObject, public agora::rtc::IRtcEngineEventHandler
{
    Q_OBJECT

public:
    explicit AgoraChannel(QObject* parent = nullptr);
    ~AgoraChannel() override;

    // Creates and initialises the engine with the URL configuration's RTC application id and sets its start-up
    // parameters. 0, or -1 (no engine) when the engine cannot start.
    int initialize();

    // The channel profile (0 communication, 1 live broadcasting, 2 game), audio and video on; modes 0 and 2
    // publish at once, mode 1 leaves it to setPublishRole.
    void setChannelMode(int mode);

    // Joins and waits up to 5 s for the engine's confirmation: 0 when joined, -1 when refused or not confirmed in
    // time (the engine goes on trying; a late success still counts). Blocks the calling thread.
    int joinChannel(const char* channelName, const char* key, unsigned int uid);
    void leaveChannel();

    // Mode 1 only: publisher or audience. 0 on success; -1 in other modes or without an engine; the engine's
    // refusal as it came (the role then stays as it was).
    int setPublishRole(bool publish);
    // Whether the local user publishes (modes 0 and 2, or the publisher role of mode 1).
    bool isPublishing() const { return m_publishing; }
    // Publishing and not muted.
    bool isLocalAudioLive() const;

    int muteLocalAudio(bool mute);
    int enableLocalVideo(bool on);
    int disableDualStreamMode();
    void enableAudioVolumeIndication();
    int setRemoteVideoStreamType(unsigned int uid);
    bool setMonitorClient(bool on);
    bool setVideoCaptureType(int type);
    int setLocalMirror(bool mirror);
    // path is UTF-8.
    void setLogFile(const char* path);
    void setVideoProfile(int profile);
    void startPreview();

    // Bind the local camera or a remote user's video to a native window (render mode 1 fills, 2 fits); the
    // engine's result, -1 without an engine.
    int set_local_preview(WId window, unsigned int uid, int renderMode = 1);
    int setupRemoteVideo(WId window, unsigned int uid, int renderMode = 1);

    // Shares the primary screen (15 frames a second); the engine's result, -1 without an engine or a screen.
    int start_screen_capture();
    void stopScreenCapture();
    // Records the channel's audio into the file (UTF-8 path): the engine's result, -1 without an engine.
    int startRecording(const char* file);
    void stopRecording();

    std::set<int> onlineUserSet() const;
    agora::rtc::IRtcEngine* engine() const { return m_engine; }

    // Detaches the video frame observer, leaves the channel and releases the engine. Afterwards the object may be
    // deleted; calling it again only leaves (there is no engine).
    void uninitialize();

    // The statistics map of signal_rtcStats.
    static QMapStrVar rtcStatsToMap(const agora::rtc::RtcStats& stats);
    // The payload of signal_volume_indication: 8 bytes per speaker, uid then volume, unsigned little-endian.
    static QByteArray volumeRecords(const agora::rtc::AudioVolumeInfo* speakers, unsigned int count);
    // The speakers of such a payload, in order; a partial record at the end is ignored.
    static std::vector<agora::rtc::AudioVolumeInfo> readVolumeRecords(const QByteArray& records);

signals:
    void signal_user_joined(unsigned int user_id, int elapsed);
    void signal_user_offline(unsigned int user_id, int reason);
    void signal_network_quality(unsigned int uid, int txQuality, int rxQuality);
    void signal_network_down();
    void signal_network_lost();
    void signal_network_rejoin(unsigned int user_id);
    void signal_recv_stream_msg(unsigned int uid, QString sMsg);
    void signal_local_video_ready(int width, int height, int elapsed);
    void signal_remote_video_ready(int uid);
    void signal_volume_indication(QByteArray data);
    void signal_audio_device_changed(std::string deviceId, int deviceType, int deviceState);
    void signal_video_device_changed(std::string deviceId, int deviceType, int deviceState);
    void signal_error(int err, std::string msg);
    void signal_AudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE deviceType, int volume, bool muted);
    void signal_rtcStats(QMapStrVar rtcStats);

public slots:
    // Adds uid when the lesson knows it (a member, the teacher or the local user); removes it.
    void insertOnlineUserSet(int uid);
    void eraseOnlineUserSet(int uid);

protected:
    // The engine's callbacks (engine threads).
    void onJoinChannelSuccess(const char* channel, agora::rtc::uid_t uid, int elapsed) override;
    void onRejoinChannelSuccess(const char* channel, agora::rtc::uid_t uid, int elapsed) override;
    void onWarning(int warn, const char* msg) override;
    void onError(int err, const char* msg) override;
    void onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo* speakers, unsigned int speakerNumber,
                                 int totalVolume) override;
    void onLeaveChannel(const agora::rtc::RtcStats& stats) override;
    void onRtcStats(const agora::rtc::RtcStats& stats) override;
    void onAudioDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) override;
    void onVideoDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) override;
    void onNetworkQuality(agora::rtc::uid_t uid, int txQuality, int rxQuality) override;
    void onFirstLocalVideoFrame(int width, int height, int elapsed) override;
    void onFirstRemoteVideoDecoded(agora::rtc::uid_t uid, int width, int height, int elapsed) override;
    void onVideoSizeChanged(agora::rtc::uid_t uid, int width, int height, int rotation) override;
    void onUserJoined(agora::rtc::uid_t uid, int elapsed) override;
    void onUserOffline(agora::rtc::uid_t uid, int reason) override;
    void onConnectionLost() override;
    void onConnectionInterrupted() override;
    void onStreamMessage(agora::rtc::uid_t uid, int streamId, const char* data, std::size_t length) override;
    void onAudioDeviceVolumeChanged(agora::rtc::MEDIA_DEVICE_TYPE deviceType, int volume, bool muted) override;

private:
    int bindVideo(bool local, WId window, unsigned int uid, int renderMode);
    // Logs where the window bound to uid is and whether it is visible, under label.
    void logWndInfo(unsigned int uid, const char* label) const;
    // The uid the local preview was bound with (the own user id until then).
    unsigned int localViewUid() const;
    void queueOnlineChange(const char* slot, int uid);
    void releaseEngine();

    agora::rtc::IRtcEngine* m_engine = nullptr;
    agora::rtc::RtcEngineContext m_context;

    mutable std::mutex m_joinMutex;
    std::condition_variable m_joinCondition;
    std::atomic<bool> m_joining{false};
    std::atomic<bool> m_joined{false};

    bool m_publishing = false;
    bool m_localAudioMuted = false;
    int m_channelMode = 0;

    // Windows bound per uid, for the diagnostics the callbacks log; its own lock, never held with the join lock.
    mutable std::mutex m_viewMutex;
    std::map<unsigned int, WId> m_views;
    std::optional<unsigned int> m_localViewUid;

    std::set<int> m_onlineUsers;
};
