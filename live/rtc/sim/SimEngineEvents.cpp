#include "live/rtc/sim/SimEngineCore.h"

#include <cmath>
#include <vector>

using namespace agora::rtc;

namespace {

int deviceTypeOf(SimDeviceKind kind)
{
    switch (kind) {
    case SimDeviceKind::Camera:
        return VIDEO_CAPTURE_DEVICE;
    case SimDeviceKind::Microphone:
        return AUDIO_RECORDING_DEVICE;
    case SimDeviceKind::Speaker:
        return AUDIO_PLAYOUT_DEVICE;
    }
    return UNKNOWN_AUDIO_DEVICE;
}

unsigned int clampedStat(const std::map<std::string, int>& fixed, const char* name, unsigned int value)
{
    const auto it = fixed.find(name);
    return it == fixed.end() ? value : unsigned(it->second);
}

// A remote speaker's level: its fixed volume, or a voice of its own pace.
unsigned int remoteVolume(uid_t uid, int fixed, double seconds)
{
    if (fixed >= 0)
        return unsigned(fixed);
    const double phase = double(uid % 97) / 7.0;
    return unsigned(150.0 * std::fabs(std::sin(seconds * 5.0 + phase)) * (0.6 + 0.4 * std::sin(seconds * 0.7 + phase)));
}

} // namespace

int SimEngineCore::elapsedSinceJoin() const
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_joinTime).count());
}

void SimEngineCore::post(const SimEvent& event, int delayMs)
{
    unsigned int generation = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        generation = m_generation;
    }
    m_callbackThread.post(delayMs, [this, event, generation]() { applyEvent(event, generation); });
}

void SimEngineCore::scheduleJoinEvents(unsigned int generation)
{
    for (const SimEvent& event : m_scenario.events) {
        if (event.fromJoin)
            m_callbackThread.post(event.atMs, [this, event, generation]() { applyEvent(event, generation); });
    }
}

void SimEngineCore::applyEvent(const SimEvent& event, unsigned int generation)
{
    IRtcEngineEventHandler* target = nullptr;
    std::string channel;
    uid_t ownUid = 0;
    int elapsed = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Channel events of a join that has ended in the meantime are dropped.
        if (event.fromJoin && (generation != m_generation || m_channelState != ChannelState::InChannel))
            return;
        target = m_handler;
        channel = m_channel;
        ownUid = m_uid;
        elapsed = elapsedSinceJoin();
        switch (event.type) {
        case SimEvent::UserJoined:
            if (m_remoteUsers.count(event.uid) || event.uid == m_uid)
                return;
            m_remoteUsers[event.uid] = RemoteUser{event.video, event.volume, event.width, event.height};
            break;
        case SimEvent::UserOffline:
            if (m_remoteUsers.erase(event.uid) == 0)
                return;
            break;
        case SimEvent::UserVolume:
            if (m_remoteUsers.count(event.uid))
                m_remoteUsers[event.uid].volume = event.volume;
            return;
        case SimEvent::ConnectionInterrupted:
            m_connectionDown = true;
            break;
        case SimEvent::Rejoin:
            m_connectionDown = false;
            break;
        default:
            break;
        }
    }

    const auto run = [&](const char* name, QJsonObject args, const std::function<void()>& call) {
        traceCallback(name, args);
        if (target)
            call();
    };
    const QByteArray message = QByteArray::fromStdString(event.message);
    const char* messageText = event.hasMessage ? message.constData() : nullptr;
    switch (event.type) {
    case SimEvent::UserJoined:
        run("onUserJoined", {{"uid", double(event.uid)}}, [&] { target->onUserJoined(event.uid, elapsed); });
        break;
    case SimEvent::UserOffline:
        run("onUserOffline", {{"uid", double(event.uid)}, {"reason", event.reason}},
            [&] { target->onUserOffline(event.uid, event.reason); });
        break;
    case SimEvent::ConnectionInterrupted:
        run("onConnectionInterrupted", {}, [&] { target->onConnectionInterrupted(); });
        break;
    case SimEvent::ConnectionLost:
        run("onConnectionLost", {}, [&] { target->onConnectionLost(); });
        break;
    case SimEvent::Rejoin:
        run("onRejoinChannelSuccess", {{"channel", QString::fromStdString(channel)}, {"uid", double(ownUid)}},
            [&] { target->onRejoinChannelSuccess(channel.c_str(), ownUid, elapsed); });
        break;
    case SimEvent::Error:
        run("onError",
            {{"code", event.code},
             {"message", event.hasMessage ? QJsonValue(QString::fromUtf8(message)) : QJsonValue(QJsonValue::Null)}},
            [&] { target->onError(event.code, messageText); });
        break;
    case SimEvent::Warning:
        run("onWarning", {{"code", event.code}}, [&] { target->onWarning(event.code, messageText); });
        break;
    case SimEvent::NetworkQuality:
        run("onNetworkQuality", {{"uid", double(event.uid)}, {"tx", event.tx}, {"rx", event.rx}},
            [&] { target->onNetworkQuality(event.uid, event.tx, event.rx); });
        break;
    case SimEvent::LastmileQuality:
        run("onLastmileQuality", {{"quality", event.quality}}, [&] { target->onLastmileQuality(event.quality); });
        break;
    case SimEvent::Plug:
    case SimEvent::Unplug:
    case SimEvent::DeviceState: {
        int state = event.state;
        if (event.type == SimEvent::Plug) {
            if (!m_devices.plug(event.kind, SimDeviceSpec{event.deviceName, event.deviceId, false, -1}))
                break;
            state = MEDIA_DEVICE_STATE_ACTIVE;
        } else if (event.type == SimEvent::Unplug) {
            if (!m_devices.unplug(event.kind, event.deviceId))
                break;
            state = MEDIA_DEVICE_STATE_UNPLUGGED;
        }
        const int type = deviceTypeOf(event.kind);
        const QJsonObject args{
            {"deviceId", QString::fromStdString(event.deviceId)}, {"deviceType", type}, {"deviceState", state}};
        if (event.kind == SimDeviceKind::Camera) {
            run("onVideoDeviceStateChanged", args,
                [&] { target->onVideoDeviceStateChanged(event.deviceId.c_str(), type, state); });
        } else {
            run("onAudioDeviceStateChanged", args,
                [&] { target->onAudioDeviceStateChanged(event.deviceId.c_str(), type, state); });
        }
        break;
    }
    case SimEvent::StreamMessage:
        run("onStreamMessage", {{"uid", double(event.uid)}, {"streamId", event.streamId}},
            [&] { target->onStreamMessage(event.uid, event.streamId, event.data.data(), event.data.size()); });
        break;
    case SimEvent::AudioDeviceVolume:
        run("onAudioDeviceVolumeChanged",
            {{"deviceType", event.deviceType}, {"volume", event.volume}, {"muted", event.muted}}, [&] {
                target->onAudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE(event.deviceType), event.volume, event.muted);
            });
        break;
    case SimEvent::UserVolume:
        break;
    }
}

RtcStats SimEngineCore::currentStats(bool advance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::map<std::string, int>& fixed = m_scenario.fixedStats;
    unsigned int remoteVideo = 0;
    for (const auto& user : m_remoteUsers) {
        if (user.second.video)
            ++remoteVideo;
    }
    const bool publishing = m_profile != CHANNEL_PROFILE_LIVE_BROADCASTING || m_role == CLIENT_ROLE_BROADCASTER;
    RtcStats stats = m_totals;
    stats.duration = clampedStat(fixed, "duration", unsigned(elapsedSinceJoin() / 1000));
    stats.txAudioKBitRate =
        (unsigned short)clampedStat(fixed, "txAudioKBitRate", publishing && m_audioEnabled && !m_muted ? 24 : 0);
    stats.txVideoKBitRate =
        (unsigned short)clampedStat(fixed, "txVideoKBitRate", publishing && m_capturing && m_localSend ? 420 : 0);
    stats.rxAudioKBitRate =
        (unsigned short)clampedStat(fixed, "rxAudioKBitRate", m_audioEnabled ? 24 * unsigned(m_remoteUsers.size()) : 0);
    stats.rxVideoKBitRate =
        (unsigned short)clampedStat(fixed, "rxVideoKBitRate", m_videoEnabled ? 480 * remoteVideo : 0);
    stats.txKBitRate =
        (unsigned short)clampedStat(fixed, "txKBitRate", stats.txAudioKBitRate + stats.txVideoKBitRate + 6);
    stats.rxKBitRate =
        (unsigned short)clampedStat(fixed, "rxKBitRate", stats.rxAudioKBitRate + stats.rxVideoKBitRate + 6);
    stats.lastmileDelay = (unsigned short)clampedStat(fixed, "lastmileDelay", 18);
    stats.userCount = clampedStat(fixed, "userCount", 1 + unsigned(m_remoteUsers.size()));
    stats.cpuAppUsage = double(clampedStat(fixed, "cpuAppUsage", 8));
    stats.cpuTotalUsage = double(clampedStat(fixed, "cpuTotalUsage", 27));
    if (advance) {
        const unsigned int seconds = unsigned(std::max(1, m_scenario.statsIntervalMs / 1000));
        m_totals.txBytes += unsigned(stats.txKBitRate) * 125u * seconds;
        m_totals.rxBytes += unsigned(stats.rxKBitRate) * 125u * seconds;
    }
    stats.txBytes = clampedStat(fixed, "txBytes", m_totals.txBytes);
    stats.rxBytes = clampedStat(fixed, "rxBytes", m_totals.rxBytes);
    return stats;
}

void SimEngineCore::callbackTick()
{
    const Clock::time_point now = Clock::now();
    bool sendStats = false;
    bool sendQuality = false;
    bool sendVolumes = false;
    bool sendLevel = false;
    std::vector<AudioVolumeInfo> speakers;
    std::vector<uid_t> remoteUids;
    long long sinceInit = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialized || m_shutDown)
            return;
        sinceInit = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_initTime).count();
        const bool live = m_channelState == ChannelState::InChannel && !m_connectionDown;
        if (live && now >= m_nextStats) {
            sendStats = true;
            m_nextStats = now + std::chrono::milliseconds(m_scenario.statsIntervalMs);
        }
        if (live && now >= m_nextQuality) {
            sendQuality = true;
            m_nextQuality = now + std::chrono::milliseconds(m_scenario.qualityIntervalMs);
            for (const auto& user : m_remoteUsers)
                remoteUids.push_back(user.first);
        }
        if (live && m_volumeIntervalMs > 0 && now >= m_nextVolume) {
            sendVolumes = true;
            m_nextVolume = now + std::chrono::milliseconds(m_volumeIntervalMs);
            const bool publishing = m_profile != CHANNEL_PROFILE_LIVE_BROADCASTING || m_role == CLIENT_ROLE_BROADCASTER;
            if (m_audioEnabled && publishing && !m_muted)
                speakers.push_back(AudioVolumeInfo{0, 0});
            const double seconds = double(sinceInit) / 1000.0;
            for (const auto& user : m_remoteUsers)
                speakers.push_back(AudioVolumeInfo{user.first, remoteVolume(user.first, user.second.volume, seconds)});
        }
        if (m_recordingTestMs > 0 && now >= m_nextRecordingLevel) {
            sendLevel = true;
            m_nextRecordingLevel = now + std::chrono::milliseconds(m_recordingTestMs);
        }
    }

    if (sendStats) {
        const RtcStats stats = currentStats(true);
        callback(0, nullptr, QJsonObject{}, [stats](IRtcEngineEventHandler* target) { target->onRtcStats(stats); });
    }
    if (sendQuality) {
        const int tx = m_scenario.txQuality;
        const int rx = m_scenario.rxQuality;
        remoteUids.insert(remoteUids.begin(), 0);
        for (uid_t uid : remoteUids) {
            callback(0, nullptr, QJsonObject{},
                     [uid, tx, rx](IRtcEngineEventHandler* target) { target->onNetworkQuality(uid, tx, rx); });
        }
    }
    if (sendVolumes) {
        int total = 0;
        for (AudioVolumeInfo& speaker : speakers) {
            if (speaker.uid == 0)
                speaker.volume = unsigned(m_devices.microphoneLevel(sinceInit));
            total = std::max(total, int(speaker.volume));
        }
        callback(0, nullptr, QJsonObject{}, [speakers, total](IRtcEngineEventHandler* target) {
            target->onAudioVolumeIndication(speakers.data(), unsigned(speakers.size()), total);
        });
    }
    if (sendLevel) {
        const int level = m_devices.microphoneLevel(sinceInit);
        callback(0, nullptr, QJsonObject{},
                 [level](IRtcEngineEventHandler* target) { target->onAudioVolumeIndication(nullptr, 0, level); });
    }
}
