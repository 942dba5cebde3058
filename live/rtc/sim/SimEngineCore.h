#pragma once

#include "live/rtc/engine/IRtcEngineEventHandler.h"
#include "live/rtc/sim/I420Frame.h"
#include "live/rtc/sim/SimDeviceModel.h"
#include "live/rtc/sim/SimEngineLog.h"
#include "live/rtc/sim/SimMediaEngine.h"
#include "live/rtc/sim/SimScenario.h"
#include "live/rtc/sim/SimWorkerThread.h"

#include <QJsonObject>
#include <QJsonValue>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

class SimTraceWriter;
class SimWindowPainter;

// The state and behaviour of one simulated engine, shared by the engine object and the device managers it hands
// out (which may outlive it). Callbacks run on its callback thread, frames on its video thread; both end at
// shutdown, after which no callback runs.
class SimEngineCore
{
public:
    using Clock = std::chrono::steady_clock;

    SimEngineCore(SimScenario scenario, std::shared_ptr<SimMediaSource> realDevices);
    ~SimEngineCore();

    SimEngineCore(const SimEngineCore&) = delete;
    SimEngineCore& operator=(const SimEngineCore&) = delete;

    int id() const { return m_id; }
    const SimScenario& scenario() const { return m_scenario; }
    SimDeviceModel& devices() { return m_devices; }
    SimMediaEngine& media() { return m_media; }
    SimEngineLog& log() { return m_log; }

    // Trace lines: a call with its arguments and result, a callback with its arguments.
    void traceCall(const char* call, QJsonObject args, int result);
    void traceCallback(const char* name, QJsonObject args);

    // The scenario's next result for call (or "call:key"): true with result when the scenario scripts one.
    bool scriptedResult(const char* call, const char* key, int& result);
    // One call of the engine, traced: refused with the scenario's negative result, else apply runs; its error
    // (negative), or else the scenario's result (0 when none is scripted), is the call's result.
    template <typename Apply> int scriptedCall(const char* call, const QJsonObject& args, Apply apply)
    {
        int result = 0;
        if (!(scriptedResult(call, nullptr, result) && result < 0)) {
            const int applied = apply();
            if (applied < 0)
                result = applied;
        }
        traceCall(call, args, result);
        return result;
    }

    // Lifecycle.
    int initialize(agora::rtc::IRtcEngineEventHandler* handler, const char* appId);
    // Stops both threads: no callback runs afterwards. Not from a callback (then the threads end after it).
    void shutdown();
    // Initialised and not shut down.
    bool isRunning() const;
    bool isOwnThread() const;

    // The engine's calls (SimRtcEngine forwards them), each traced.
    int joinChannel(const char* token, const char* channelId, const char* info, agora::rtc::uid_t uid);
    int leaveChannel();
    int setChannelProfile(int profile);
    int setClientRole(int role, const char* permissionKey);
    int setAudioEnabled(bool on);
    int setVideoEnabled(bool on);
    int setVideoProfile(int profile, bool swapWidthAndHeight);
    int setupVideo(bool local, const agora::rtc::VideoCanvas& canvas);
    int setPreview(bool on);

    // The parameter interface's calls: kind is "setBool", "setInt", "setString", "setObject" or "setParameters";
    // text is the value as sent (JSON for the last two). Null key for setParameters.
    int setParameter(const char* kind, const char* key, const QJsonValue& value, const QByteArray& text);

    // The device managers' tests.
    int setRecordingTest(int intervalMs);
    int setPlaybackTest(const char* path, bool on);

    // Runs the event on the callback thread after delayMs; channel events take effect only while in the channel.
    void post(const SimEvent& event, int delayMs);

    // What the engine knows; for tests.
    struct Snapshot
    {
        bool initialized = false;
        bool inChannel = false;
        bool joining = false;
        std::string channel;
        std::string token;
        agora::rtc::uid_t uid = 0;
        int profile = 0;
        int role = 0;
        bool audioEnabled = false;
        bool videoEnabled = false;
        bool muted = false;
        bool localCapture = true;
        bool preview = false;
        bool capturing = false;
        int volumeIndicationMs = 0;
        int recordingTestMs = 0;
        bool playbackTest = false;
        bool recording = false;
        bool screenCapture = false;
        int mirrorMode = 0;
        std::set<agora::rtc::uid_t> remoteUsers;
    };
    Snapshot snapshot() const;

private:
    struct RemoteUser
    {
        bool video = true;
        int volume = -1;
        int width = 0;
        int height = 0;
    };

    // Runs fn with the handler on the callback thread after delayMs, traced as name (periodic reports pass null:
    // they would fill the trace).
    template <typename Fn> void callback(int delayMs, const char* name, QJsonObject args, Fn fn)
    {
        m_callbackThread.post(delayMs, [this, name, args, fn]() {
            agora::rtc::IRtcEngineEventHandler* target = handler();
            if (name)
                traceCallback(name, args);
            if (target)
                fn(target);
        });
    }
    agora::rtc::IRtcEngineEventHandler* handler() const;

    int elapsedSinceJoin() const; // with m_mutex held
    void applyEvent(const SimEvent& event, unsigned int generation);
    void scheduleJoinEvents(unsigned int generation);
    void callbackTick();
    void videoTick();
    agora::rtc::RtcStats currentStats(bool advance);
    bool shouldCapture() const; // with m_mutex held
    // After a call changed what shouldCapture depends on (m_mutex held): a capture that was off and runs now is
    // followed by a first local frame, as the vendor's engine reports one whenever its capture starts.
    void noteCaptureStart(bool capturedBefore);
    void updateRealMicrophone(); // with m_mutex held
    int applyKnownParameter(const std::string& key, const QJsonValue& value);

    const int m_id;
    const SimScenario m_scenario;
    std::shared_ptr<SimTraceWriter> m_trace;
    SimEngineLog m_log;
    SimDeviceModel m_devices;
    SimMediaEngine m_media;
    SimWorkerThread m_callbackThread;
    SimWorkerThread m_videoThread;
    std::unique_ptr<SimWindowPainter> m_painter; // video thread only

    std::mutex m_resultsMutex;
    std::map<std::string, std::size_t> m_resultsUsed;

    mutable std::mutex m_mutex;
    bool m_initialized = false;
    bool m_shutDown = false;
    agora::rtc::IRtcEngineEventHandler* m_handler = nullptr;
    Clock::time_point m_initTime;

    enum class ChannelState
    {
        Idle,
        Joining,
        InChannel,
    };
    ChannelState m_channelState = ChannelState::Idle;
    unsigned int m_generation = 0;
    std::string m_channel;
    std::string m_token;
    agora::rtc::uid_t m_uid = 0;
    unsigned int m_assignedUids = 0;
    Clock::time_point m_joinTime;
    bool m_connectionDown = false;
    std::map<agora::rtc::uid_t, RemoteUser> m_remoteUsers;

    int m_profile = 0;
    int m_role = 1;
    bool m_audioEnabled = false;
    bool m_videoEnabled = false;
    bool m_muted = false;
    bool m_localCapture = true;
    bool m_localRender = true;
    bool m_localSend = true;
    int m_mirrorMode = 0; // 0 default, 1 forced, 2 disabled
    int m_volumeIntervalMs = 0;
    bool m_preview = false;
    bool m_captureStarted = false; // a (re)start of the capture the video thread has not seen yet
    agora::rtc::VideoCanvas m_localCanvas;
    std::map<agora::rtc::uid_t, agora::rtc::VideoCanvas> m_remoteCanvases;
    int m_recordingTestMs = 0;
    bool m_playbackTest = false;
    bool m_recording = false;
    bool m_screenCapture = false;
    bool m_realMicrophoneActive = false;

    // Callback thread only.
    Clock::time_point m_nextStats;
    Clock::time_point m_nextQuality;
    Clock::time_point m_nextVolume;
    Clock::time_point m_nextRecordingLevel;
    agora::rtc::RtcStats m_totals;

    // Video thread only.
    struct RemoteStream
    {
        I420Frame frame;
        bool firstSent = false;
    };
    unsigned int m_frameNumber = 0;
    bool m_capturing = false; // also read by snapshot, under m_mutex
    bool m_firstLocalSent = false;
    std::string m_captureCamera;
    I420Frame m_captureFrame;
    std::map<agora::rtc::uid_t, RemoteStream> m_remoteStreams;
};
