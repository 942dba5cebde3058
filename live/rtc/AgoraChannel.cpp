#include "live/rtc/AgoraChannel.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "live/rtc/FrameObserverRegistration.h"
#include "live/rtc/RtcEngineParameters.h"
#include "live/rtc/WindowDiagnostics.h"
#include "net/http/SecretMask.h"

#include <QDebug>
#include <QGuiApplication>
#include <QScreen>

#include <chrono>

using namespace agora::rtc;

namespace {

constexpr auto kJoinWait = std::chrono::seconds(5);

} // namespace

AgoraChannel::AgoraChannel(QObject* parent)
    : QObject(parent)
{
    registerRtcMetaTypes();
}

AgoraChannel::~AgoraChannel()
{
    if (m_engine) {
        m_engine->release(false);
        m_engine = nullptr;
    }
}

int AgoraChannel::initialize()
{
    // A second initialisation starts from a fresh engine; the old one must not go on calling this channel.
    if (m_engine) {
        qWarning() << "AgoraChannel::initialize releases the engine it already had";
        releaseEngine();
    }
    const QByteArray appId = UrlConfig::instance()->rtcAppId;
    m_engine = createAgoraRtcEngine();
    if (!m_engine) {
        qCritical() << "Agora engine fail to initialize";
        return -1;
    }
    m_context.eventHandler = this;
    m_context.appId = appId.constData();
    const int result = m_engine->initialize(m_context);
    m_context.appId = nullptr; // valid during the call only
    if (result < 0) {
        qCritical() << "Agora engine fail to initialize";
        m_engine->release(false);
        m_engine = nullptr;
        return -1;
    }

    m_engine->setVideoProfile(ConfigManager::instance()->getVideoResolution(), false);
    RtcEngineParameters(m_engine).setInt("che.video.renderer.type", 9);
    int captureType = 0;
    if (ConfigManager::instance()->ini_GetParam_Int("AppInfo/VideoCaptureType", captureType))
        setVideoCaptureType(captureType);
    RtcEngineParameters(m_engine).setParameters(
        "{\"rtc.video.web_h264_interop_enable\":%s,\"che.video.web_h264_interop_enable\":%s}",
        RtcEngineParameters::jsonBool(true), RtcEngineParameters::jsonBool(true));
    return 0;
}

void AgoraChannel::setChannelMode(int mode)
{
    if (!m_engine) {
        qWarning() << "AgoraChannel::setChannelMode without an engine";
        return;
    }
    m_engine->setChannelProfile(CHANNEL_PROFILE_TYPE(mode));
    m_engine->enableAudio();
    m_engine->enableVideo();
    RtcEngineParameters(m_engine).setParameters(
        "{\"rtc.video.prefer_frame_rate\":%s,\"che.video.prefer_frame_rate\":%s}", RtcEngineParameters::jsonBool(false),
        RtcEngineParameters::jsonBool(false));
    m_channelMode = mode;
    if (mode == CHANNEL_PROFILE_COMMUNICATION || mode == CHANNEL_PROFILE_GAME)
        m_publishing = true;
}

int AgoraChannel::joinChannel(const char* channelName, const char* key, unsigned int uid)
{
    if (!m_engine)
        return -1;
    // The key is the channel's secret: the log shows only whether there is one.
    const QByteArray shownKey = key && *key ? SecretMask::maskText().toLatin1() : QByteArray();
    qInfo("join_channel name(%s) key(%s)", channelName ? channelName : "", shownKey.constData());

    // Locked before the engine is asked, so a success that arrives at once waits for the wait below.
    std::unique_lock<std::mutex> lock(m_joinMutex);
    m_joining = true;
    if (m_engine->joinChannel(key, channelName, nullptr, uid) < 0) {
        qCritical() << "Agora engine fail to join channel";
        m_joining = false;
        return -1;
    }
    m_joinCondition.wait_until(lock, std::chrono::steady_clock::now() + kJoinWait, [this] { return m_joined.load(); });
    m_joining = false;
    return m_joined ? 0 : -1;
}

void AgoraChannel::leaveChannel()
{
    if (m_engine)
        m_engine->leaveChannel();
}

int AgoraChannel::setPublishRole(bool publish)
{
    if (m_channelMode != CHANNEL_PROFILE_LIVE_BROADCASTING || !m_engine)
        return -1;
    const int result = m_engine->setClientRole(publish ? CLIENT_ROLE_BROADCASTER : CLIENT_ROLE_AUDIENCE, nullptr);
    if (result < 0) {
        qWarning() << "AgoraChannel::setPublishRole the engine refused" << publish << result;
        return result;
    }
    m_publishing = publish;
    return 0;
}

bool AgoraChannel::isLocalAudioLive() const
{
    return m_publishing && !m_localAudioMuted;
}

int AgoraChannel::muteLocalAudio(bool mute)
{
    if (!m_engine)
        return -1;
    const char* flag = RtcEngineParameters::jsonBool(mute);
    const int result =
        RtcEngineParameters(m_engine).setParameters("{\"rtc.audio.mute_me\":%s,\"che.audio.mute_me\":%s}", flag, flag);
    if (result == 0)
        m_localAudioMuted = mute;
    return result;
}

int AgoraChannel::enableLocalVideo(bool on)
{
    if (!m_engine)
        return -1;
    const char* flag = RtcEngineParameters::jsonBool(on);
    return RtcEngineParameters(m_engine).setParameters(
        "{\"rtc.video.capture\":%s,\"che.video.local.capture\":%s,\"che.video.local.render\":%s,"
        "\"che.video.local.send\":%s}",
        flag, flag, flag, flag);
}

int AgoraChannel::disableDualStreamMode()
{
    return RtcEngineParameters(m_engine).setParameters(
        "{\"rtc.dual_stream_mode\":%s,\"che.video.enableLowBitRateStream\":%d}", RtcEngineParameters::jsonBool(false),
        0);
}

void AgoraChannel::enableAudioVolumeIndication()
{
    RtcEngineParameters(m_engine).setObject("che.audio.volume_indication", "{\"interval\":%d,\"smooth\":%d}", 200, 3);
}

int AgoraChannel::setRemoteVideoStreamType(unsigned int uid)
{
    return RtcEngineParameters(m_engine).setParameters(
        "{\"rtc.video.set_remote_video_stream\":{\"uid\":%u,\"stream\":%d}, "
        "\"che.video.setstream\":{\"uid\":%u,\"stream\":%d}}",
        uid, 0, uid, 0);
}

bool AgoraChannel::setMonitorClient(bool on)
{
    return RtcEngineParameters(m_engine).setBool("che.video.monitorClient", on) == 0;
}

bool AgoraChannel::setVideoCaptureType(int type)
{
    const int result = RtcEngineParameters(m_engine).setInt("che.video.videoCaptureType", type);
    qInfo().noquote() << QStringLiteral("set:che.video.videoCaptureType(%1)=%2").arg(type).arg(result);
    return result == 0;
}

int AgoraChannel::setLocalMirror(bool mirror)
{
    return RtcEngineParameters(m_engine).setString("che.video.localViewMirrorSetting",
                                                   mirror ? "forceMirror" : "disableMirror");
}

void AgoraChannel::setLogFile(const char* path)
{
    RtcEngineParameters parameters(m_engine);
    parameters.setString("rtc.log_file", path ? path : "");
    parameters.setInt("rtc.log_filter", 15);
}

void AgoraChannel::setVideoProfile(int profile)
{
    if (m_engine)
        m_engine->setVideoProfile(profile, false);
}

void AgoraChannel::startPreview()
{
    if (m_engine)
        m_engine->startPreview();
}

int AgoraChannel::set_local_preview(WId window, unsigned int uid, int renderMode)
{
    return bindVideo(true, window, uid, renderMode);
}

int AgoraChannel::setupRemoteVideo(WId window, unsigned int uid, int renderMode)
{
    return bindVideo(false, window, uid, renderMode);
}

int AgoraChannel::bindVideo(bool local, WId window, unsigned int uid, int renderMode)
{
    {
        std::lock_guard<std::mutex> lock(m_viewMutex);
        m_views[uid] = window;
        if (local)
            m_localViewUid = uid;
    }
    const char* label = local ? "set_local_preview" : "setupRemoteVideo";
    logWndInfo(uid, label);
    if (!m_engine) {
        qWarning() << "AgoraChannel::" << label << "without an engine";
        return -1;
    }
    VideoCanvas canvas;
    canvas.view = view_t(window);
    canvas.renderMode = renderMode;
    canvas.uid = uid;
    const int result = local ? m_engine->setupLocalVideo(canvas) : m_engine->setupRemoteVideo(canvas);
    qInfo().noquote() << QStringLiteral("[%1] =").arg(QLatin1String(label)) << result;
    return result;
}

int AgoraChannel::start_screen_capture()
{
    const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    QScreen* screen = application ? QGuiApplication::primaryScreen() : nullptr;
    if (!m_engine || !screen || screen->geometry().height() <= 0) {
        qWarning() << "AgoraChannel::start_screen_capture without an engine or a screen";
        return -1;
    }
    const QRect area = screen->geometry();
    const int result = RtcEngineParameters(m_engine).setObject(
        "che.video.start_screen_capture",
        "{\"id\":%u,\"captureFreq\":%d,\"top\":%d,\"left\":%d,\"bottom\":%d,\"right\":%d}", 0u, 15, 0, 0, area.height(),
        area.width());
    const int shareWidth = area.width() * 720 / area.height() / 4 * 4;
    qInfo() << "AgoraChannel::start_screen_capture:" << shareWidth << " x " << 720;
    return result;
}

void AgoraChannel::stopScreenCapture()
{
    RtcEngineParameters(m_engine).setBool("che.video.stop_screen_capture", true);
}

int AgoraChannel::startRecording(const char* file)
{
    if (!m_engine)
        return -1;
    // The path goes into a JSON text: quotes and backslashes in it must not end the string.
    const QByteArray path = RtcEngineParameters::jsonEscaped(file);
    return RtcEngineParameters(m_engine).setObject("che.audio.start_recording", "{\"filePath\":\"%s\",\"quality\":%d}",
                                                   path.constData(), 2);
}

void AgoraChannel::stopRecording()
{
    if (m_engine)
        RtcEngineParameters(m_engine).setBool("che.audio.stop_recording", true);
}

std::set<int> AgoraChannel::onlineUserSet() const
{
    return m_onlineUsers;
}

void AgoraChannel::uninitialize()
{
    registerFrameObserver(m_engine, nullptr);
    leaveChannel();
    if (m_engine)
        releaseEngine();
}

void AgoraChannel::releaseEngine()
{
    qInfo() << "AgoraChannel::uninitialize releaseEngine begin.";
    bool released = true;
    try {
        m_engine->release(false);
    } catch (...) {
        released = false;
    }
    m_engine = nullptr;
    if (released)
        qInfo() << "AgoraChannel::uninitialize releaseEngine finished.";
    else
        qCritical() << "AgoraChannel::uninitialize releaseEngine failed.";
}

QMapStrVar AgoraChannel::rtcStatsToMap(const RtcStats& stats)
{
    QMapStrVar map;
    map.insert(QStringLiteral("duration"), int(stats.duration));
    map.insert(QStringLiteral("txBytes"), int(stats.txBytes));
    map.insert(QStringLiteral("rxBytes"), int(stats.rxBytes));
    map.insert(QStringLiteral("txKBitRate"), int(stats.txKBitRate));
    map.insert(QStringLiteral("rxKBitRate"), int(stats.rxKBitRate));
    map.insert(QStringLiteral("rxAudioKBitRate"), int(stats.rxAudioKBitRate));
    map.insert(QStringLiteral("txAudioKBitRate"), int(stats.txAudioKBitRate));
    map.insert(QStringLiteral("rxVideoKBitRate"), int(stats.rxVideoKBitRate));
    map.insert(QStringLiteral("txVideoKBitRate"), int(stats.txVideoKBitRate));
    map.insert(QStringLiteral("lastmileDelay"), int(stats.lastmileDelay));
    map.insert(QStringLiteral("userCount"), int(stats.userCount));
    map.insert(QStringLiteral("cpuAppUsage"), int(stats.cpuAppUsage));
    map.insert(QStringLiteral("cpuTotalUsage"), int(stats.cpuTotalUsage));
    return map;
}

QByteArray AgoraChannel::volumeRecords(const AudioVolumeInfo* speakers, unsigned int count)
{
    QByteArray records;
    if (!speakers)
        return records;
    records.reserve(int(count) * 8);
    for (unsigned int i = 0; i < count; ++i) {
        const quint32 fields[2] = {speakers[i].uid, speakers[i].volume};
        for (quint32 field : fields) {
            for (int byte = 0; byte < 4; ++byte)
                records.append(char((field >> (8 * byte)) & 0xff));
        }
    }
    return records;
}

std::vector<AudioVolumeInfo> AgoraChannel::readVolumeRecords(const QByteArray& records)
{
    std::vector<AudioVolumeInfo> speakers;
    const int count = records.size() / 8;
    speakers.reserve(std::size_t(count));
    const auto field = [&records](int offset) {
        quint32 value = 0;
        for (int byte = 0; byte < 4; ++byte)
            value |= quint32(quint8(records[offset + byte])) << (8 * byte);
        return value;
    };
    for (int i = 0; i < count; ++i)
        speakers.push_back({field(i * 8), field(i * 8 + 4)});
    return speakers;
}

unsigned int AgoraChannel::localViewUid() const
{
    {
        std::lock_guard<std::mutex> lock(m_viewMutex);
        if (m_localViewUid)
            return *m_localViewUid;
    }
    // Nothing bound yet: the own user id, written once at start-up.
    return unsigned(AppGlobalData::instance()->userIdAsInt());
}

void AgoraChannel::logWndInfo(unsigned int uid, const char* label) const
{
    WId window = 0;
    {
        std::lock_guard<std::mutex> lock(m_viewMutex);
        const auto bound = m_views.find(uid);
        if (bound == m_views.end()) {
            qInfo() << "[logWndInfo] Fail to FindWindow UserID =" << uid;
            return;
        }
        window = bound->second;
    }
    qInfo().noquote() << "[logWndInfo] for-> " + QLatin1String(label);
    const NativeWindowState state = queryNativeWindow(window);
    if (!state.readable) {
        qInfo().noquote()
            << QStringLiteral("[logWndInfo] Fail to GetWindowRect hwnd=%1, error=%2").arg(window).arg(state.error);
        return;
    }
    qInfo().noquote() << QStringLiteral("[logWndInfo] GetWindowRect hwnd=%1, L=%2, R=%3, T=%4, B=%5")
                             .arg(window)
                             .arg(state.left)
                             .arg(state.right)
                             .arg(state.top)
                             .arg(state.bottom);
    qInfo() << "[logWndInfo] IsWindowVisible =" << state.visible;
}
