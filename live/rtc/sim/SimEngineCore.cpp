#include "live/rtc/sim/SimEngineCore.h"

#include "live/rtc/sim/SimMediaSource.h"
#include "live/rtc/sim/SimTraceWriter.h"
#include "live/rtc/sim/SimWindowPainter.h"

#include <QFile>

#include <atomic>
#include <cstring>
#include <thread>

using namespace agora::rtc;

namespace {

constexpr int kCallbackTickMs = 20;
constexpr int kMaxChannelNameBytes = 64;

int nextEngineId()
{
    static std::atomic<int> counter{0};
    return ++counter;
}

QJsonValue textValue(const char* text)
{
    return text ? QJsonValue(QString::fromUtf8(text)) : QJsonValue(QJsonValue::Null);
}

QJsonObject canvasArgs(const VideoCanvas& canvas)
{
    return QJsonObject{
        {"view", QString::number(canvas.view)}, {"renderMode", canvas.renderMode}, {"uid", double(canvas.uid)}};
}

} // namespace

SimEngineCore::SimEngineCore(SimScenario scenario, std::shared_ptr<SimMediaSource> realDevices)
    : m_id(nextEngineId())
    , m_scenario(std::move(scenario))
    , m_trace(SimTraceWriter::forPath(m_scenario.tracePath))
    , m_log(m_id)
    , m_devices(m_scenario, std::move(realDevices))
    , m_media([this] { return m_videoThread.isCurrent(); },
              [this](const char* call, agora::media::IVideoFrameObserver* observer) {
                  QJsonObject args;
                  if (std::string(call) == "registerVideoFrameObserver") {
                      args.insert("observer", observer ? QJsonValue(QString::number(quintptr(observer), 16))
                                                       : QJsonValue(QJsonValue::Null));
                  }
                  traceCall(call, args, 0);
              })
    , m_callbackThread("rtc-callbacks")
    , m_videoThread("rtc-video")
{
    traceCall("createAgoraRtcEngine", QJsonObject{}, 0);
}

SimEngineCore::~SimEngineCore()
{
    shutdown();
}

void SimEngineCore::traceCall(const char* call, QJsonObject args, int result)
{
    if (!m_trace)
        return;
    m_trace->write(QJsonObject{{"engine", m_id}, {"call", call}, {"args", args}, {"result", result}});
}

void SimEngineCore::traceCallback(const char* name, QJsonObject args)
{
    if (!m_trace)
        return;
    m_trace->write(QJsonObject{{"engine", m_id}, {"callback", name}, {"args", args}});
}

bool SimEngineCore::scriptedResult(const char* call, const char* key, int& result)
{
    std::string name = call;
    auto scripted = key ? m_scenario.results.find(name + ':' + key) : m_scenario.results.end();
    if (scripted == m_scenario.results.end()) {
        scripted = m_scenario.results.find(name);
    } else {
        name += ':';
        name += key;
    }
    if (scripted == m_scenario.results.end())
        return false;
    std::lock_guard<std::mutex> lock(m_resultsMutex);
    std::size_t& used = m_resultsUsed[name];
    result = scripted->second[std::min(used, scripted->second.size() - 1)];
    ++used;
    return true;
}

IRtcEngineEventHandler* SimEngineCore::handler() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handler;
}

int SimEngineCore::initialize(IRtcEngineEventHandler* eventHandler, const char* appId)
{
    const QJsonObject args{{"appId", textValue(appId)}, {"eventHandler", eventHandler != nullptr}};
    int result = 0;
    if (scriptedResult("initialize", nullptr, result) && result < 0) {
        traceCall("initialize", args, result);
        return result;
    }
    if (!appId || !*appId) {
        traceCall("initialize", args, -ERR_INVALID_ARGUMENT);
        return -ERR_INVALID_ARGUMENT;
    }
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_shutDown) {
            result = -ERR_NOT_INITIALIZED;
        } else {
            m_handler = eventHandler;
            first = !m_initialized;
            if (first) {
                m_initialized = true;
                m_initTime = Clock::now();
            }
        }
    }
    traceCall("initialize", args, result);
    if (result < 0 || !first)
        return result;

    m_log.write(QStringLiteral("initialize with application id %1").arg(QString::fromUtf8(appId)));
    m_callbackThread.start(kCallbackTickMs, [this] { callbackTick(); });
    m_videoThread.start(1000 / std::max(1, m_scenario.fps), [this] { videoTick(); });
    for (const SimEvent& event : m_scenario.events) {
        if (!event.fromJoin)
            post(event, event.atMs);
    }
    return result;
}

void SimEngineCore::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_shutDown)
            return;
        m_shutDown = true;
        m_handler = nullptr;
        m_channelState = ChannelState::Idle;
        ++m_generation;
    }
    m_callbackThread.stop();
    m_videoThread.stop();
    if (SimMediaSource* real = m_devices.realDevices()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_capturing)
            real->setCameraActive(m_devices.current(SimDeviceKind::Camera), false);
        m_capturing = false;
        if (m_realMicrophoneActive)
            real->setMicrophoneActive(m_devices.current(SimDeviceKind::Microphone), false);
        m_realMicrophoneActive = false;
        if (m_playbackTest)
            real->setPlaybackTest(m_devices.current(SimDeviceKind::Speaker), QString(), false);
    }
    m_painter.reset();
    m_log.write(QStringLiteral("released"));
}

bool SimEngineCore::isRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_initialized && !m_shutDown;
}

bool SimEngineCore::isOwnThread() const
{
    return m_callbackThread.isCurrent() || m_videoThread.isCurrent();
}

int SimEngineCore::joinChannel(const char* token, const char* channelId, const char* info, uid_t uid)
{
    // The token is a secret: the trace shows only whether one was given.
    const QJsonObject args{{"token", token && *token ? QJsonValue(QStringLiteral("***")) : textValue(token)},
                           {"channelId", textValue(channelId)},
                           {"info", textValue(info)},
                           {"uid", double(uid)}};
    int result = 0;
    if (scriptedResult("joinChannel", nullptr, result) && result < 0) {
        traceCall("joinChannel", args, result);
        return result;
    }
    unsigned int generation = 0;
    uid_t joinedUid = uid;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialized || m_shutDown)
            result = -ERR_NOT_INITIALIZED;
        else if (!channelId || !*channelId || std::strlen(channelId) > std::size_t(kMaxChannelNameBytes))
            result = -ERR_INVALID_ARGUMENT;
        else if (m_channelState != ChannelState::Idle)
            result = -ERR_JOIN_CHANNEL_REJECTED;
        if (result >= 0) {
            const bool capturedBefore = shouldCapture();
            if (joinedUid == 0)
                joinedUid = 100000000u + unsigned(m_id) * 1000u + ++m_assignedUids;
            m_channelState = ChannelState::Joining;
            generation = ++m_generation;
            m_channel = channelId;
            m_token = token ? token : "";
            m_uid = joinedUid;
            m_joinTime = Clock::now();
            m_connectionDown = false;
            m_remoteUsers.clear();
            updateRealMicrophone();
            noteCaptureStart(capturedBefore);
        }
    }
    traceCall("joinChannel", args, result);
    if (result < 0 || !m_scenario.joinSucceeds)
        return result;

    m_log.write(QStringLiteral("joining channel %1 as %2").arg(QString::fromUtf8(channelId)).arg(joinedUid));
    m_callbackThread.post(m_scenario.joinSuccessDelayMs, [this, generation]() {
        std::string channel;
        uid_t joined = 0;
        int elapsed = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (generation != m_generation || m_channelState != ChannelState::Joining)
                return;
            m_channelState = ChannelState::InChannel;
            // Elapsed since the join was asked for; the call's duration counts from now.
            elapsed = elapsedSinceJoin();
            m_joinTime = Clock::now();
            m_totals = RtcStats();
            const Clock::time_point now = Clock::now();
            m_nextStats = now + std::chrono::milliseconds(m_scenario.statsIntervalMs);
            m_nextQuality = now + std::chrono::milliseconds(m_scenario.qualityIntervalMs);
            m_nextVolume = now;
            channel = m_channel;
            joined = m_uid;
        }
        m_log.write(QStringLiteral("joined channel %1").arg(QString::fromStdString(channel)));
        IRtcEngineEventHandler* target = handler();
        traceCallback("onJoinChannelSuccess",
                      QJsonObject{{"channel", QString::fromStdString(channel)}, {"uid", double(joined)}});
        if (target)
            target->onJoinChannelSuccess(channel.c_str(), joined, elapsed);
        scheduleJoinEvents(generation);
    });
    return result;
}

int SimEngineCore::leaveChannel()
{
    int result = 0;
    if (scriptedResult("leaveChannel", nullptr, result) && result < 0) {
        traceCall("leaveChannel", QJsonObject{}, result);
        return result;
    }
    bool wasInChannel = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialized || m_shutDown) {
            result = -ERR_NOT_INITIALIZED;
        } else if (m_channelState != ChannelState::Idle) {
            wasInChannel = true;
            m_channelState = ChannelState::Idle;
            ++m_generation;
            m_remoteUsers.clear();
            m_connectionDown = false;
            updateRealMicrophone();
        }
    }
    traceCall("leaveChannel", QJsonObject{}, result);
    if (wasInChannel) {
        m_log.write(QStringLiteral("left the channel"));
        const RtcStats stats = currentStats(false);
        callback(0, "onLeaveChannel", QJsonObject{{"duration", double(stats.duration)}},
                 [stats](IRtcEngineEventHandler* target) { target->onLeaveChannel(stats); });
    }
    return result;
}

int SimEngineCore::setChannelProfile(int profile)
{
    return scriptedCall("setChannelProfile", QJsonObject{{"profile", profile}}, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (profile < CHANNEL_PROFILE_COMMUNICATION || profile > CHANNEL_PROFILE_GAME)
            return -ERR_INVALID_ARGUMENT;
        if (m_channelState != ChannelState::Idle)
            return -ERR_REFUSED;
        m_profile = profile;
        return 0;
    });
}

int SimEngineCore::setClientRole(int role, const char* permissionKey)
{
    const QJsonObject args{{"role", role}, {"permissionKey", textValue(permissionKey)}};
    return scriptedCall("setClientRole", args, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (role != CLIENT_ROLE_BROADCASTER && role != CLIENT_ROLE_AUDIENCE)
            return -ERR_INVALID_ARGUMENT;
        if (m_profile != CHANNEL_PROFILE_LIVE_BROADCASTING)
            return -ERR_REFUSED;
        m_role = role;
        return 0;
    });
}

int SimEngineCore::setAudioEnabled(bool on)
{
    return scriptedCall(on ? "enableAudio" : "disableAudio", QJsonObject{}, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_audioEnabled = on;
        updateRealMicrophone();
        return 0;
    });
}

int SimEngineCore::setVideoEnabled(bool on)
{
    return scriptedCall(on ? "enableVideo" : "disableVideo", QJsonObject{}, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool capturedBefore = shouldCapture();
        m_videoEnabled = on;
        noteCaptureStart(capturedBefore);
        return 0;
    });
}

int SimEngineCore::setVideoProfile(int profile, bool swapWidthAndHeight)
{
    const QJsonObject args{{"profile", profile}, {"swapWidthAndHeight", swapWidthAndHeight}};
    return scriptedCall("setVideoProfile", args, [profile] { return profile < 0 ? -ERR_INVALID_ARGUMENT : 0; });
}

int SimEngineCore::setupVideo(bool local, const VideoCanvas& canvas)
{
    return scriptedCall(local ? "setupLocalVideo" : "setupRemoteVideo", canvasArgs(canvas), [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (canvas.renderMode != RENDER_MODE_HIDDEN && canvas.renderMode != RENDER_MODE_FIT)
            return -ERR_INVALID_ARGUMENT;
        if (local)
            m_localCanvas = canvas;
        else if (canvas.view == 0)
            m_remoteCanvases.erase(canvas.uid);
        else
            m_remoteCanvases[canvas.uid] = canvas;
        return 0;
    });
}

int SimEngineCore::setPreview(bool on)
{
    return scriptedCall(on ? "startPreview" : "stopPreview", QJsonObject{}, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialized || m_shutDown)
            return -ERR_NOT_INITIALIZED;
        m_preview = on;
        // Every start of the preview is followed by a first local frame, as with the vendor's engine.
        if (on)
            m_captureStarted = true;
        return 0;
    });
}

int SimEngineCore::setRecordingTest(int intervalMs)
{
    const char* call = intervalMs > 0 ? "startRecordingDeviceTest" : "stopRecordingDeviceTest";
    const QJsonObject args = intervalMs > 0 ? QJsonObject{{"indicationInterval", intervalMs}} : QJsonObject{};
    return scriptedCall(call, args, [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialized || m_shutDown)
            return -ERR_NOT_INITIALIZED;
        m_recordingTestMs = intervalMs > 0 ? std::max(10, intervalMs) : 0;
        m_nextRecordingLevel = Clock::now() + std::chrono::milliseconds(m_recordingTestMs);
        updateRealMicrophone();
        return 0;
    });
}

int SimEngineCore::setPlaybackTest(const char* path, bool on)
{
    const char* call = on ? "startPlaybackDeviceTest" : "stopPlaybackDeviceTest";
    const QJsonObject args = on ? QJsonObject{{"testAudioFilePath", textValue(path)}} : QJsonObject{};
    const QString file = path ? QString::fromUtf8(path) : QString();
    return scriptedCall(call, args, [&] {
        if (!isRunning())
            return -ERR_NOT_INITIALIZED;
        if (on && (file.isEmpty() || !QFile(file).open(QIODevice::ReadOnly)))
            return -ERR_INVALID_ARGUMENT;
        // The machine's speaker may take a moment to start: not under the engine's lock.
        if (SimMediaSource* real = m_devices.realDevices()) {
            if (!real->setPlaybackTest(m_devices.current(SimDeviceKind::Speaker), file, on) && on)
                return -ERR_FAILED;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_playbackTest = on;
        return 0;
    });
}

void SimEngineCore::updateRealMicrophone()
{
    SimMediaSource* real = m_devices.realDevices();
    if (!real)
        return;
    const bool wanted =
        !m_shutDown && (m_recordingTestMs > 0 || (m_audioEnabled && m_channelState != ChannelState::Idle));
    if (wanted == m_realMicrophoneActive)
        return;
    m_realMicrophoneActive = wanted;
    real->setMicrophoneActive(m_devices.current(SimDeviceKind::Microphone), wanted);
}

SimEngineCore::Snapshot SimEngineCore::snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Snapshot state;
    state.initialized = m_initialized && !m_shutDown;
    state.inChannel = m_channelState == ChannelState::InChannel;
    state.joining = m_channelState == ChannelState::Joining;
    state.channel = m_channel;
    state.token = m_token;
    state.uid = m_uid;
    state.profile = m_profile;
    state.role = m_role;
    state.audioEnabled = m_audioEnabled;
    state.videoEnabled = m_videoEnabled;
    state.muted = m_muted;
    state.localCapture = m_localCapture;
    state.preview = m_preview;
    state.capturing = m_capturing;
    state.volumeIndicationMs = m_volumeIntervalMs;
    state.recordingTestMs = m_recordingTestMs;
    state.playbackTest = m_playbackTest;
    state.recording = m_recording;
    state.screenCapture = m_screenCapture;
    state.mirrorMode = m_mirrorMode;
    for (const auto& user : m_remoteUsers)
        state.remoteUsers.insert(user.first);
    return state;
}
