#include "live/rtc/AgoraChannel.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"

#include <QDebug>

#include <climits>

using namespace agora::rtc;

void AgoraChannel::queueOnlineChange(const char* slot, int uid)
{
    QMetaObject::invokeMethod(this, slot, Qt::QueuedConnection, Q_ARG(int, uid));
}

void AgoraChannel::insertOnlineUserSet(int uid)
{
    UserInfo record;
    if (AppGlobalData::instance()->findUserOrSelf(uid, record))
        m_onlineUsers.insert(uid);
}

void AgoraChannel::eraseOnlineUserSet(int uid)
{
    m_onlineUsers.erase(uid);
}

void AgoraChannel::onJoinChannelSuccess(const char* channel, uid_t uid, int elapsed)
{
    queueOnlineChange("insertOnlineUserSet", int(uid));
    std::lock_guard<std::mutex> lock(m_joinMutex);
    m_joined = true;
    m_joinCondition.notify_all();
}

void AgoraChannel::onRejoinChannelSuccess(const char* channel, uid_t uid, int elapsed)
{
    queueOnlineChange("insertOnlineUserSet", int(uid));
    qInfo("signal_network_rejoin(%d)", int(uid));
    emit signal_network_rejoin(uid);
}

void AgoraChannel::onWarning(int warn, const char* msg)
{
    qWarning().noquote() << QStringLiteral("Agora::onWarning(%1, %2)").arg(warn).arg(QString::fromUtf8(msg ? msg : ""));
}

void AgoraChannel::onError(int err, const char* msg)
{
    qWarning().noquote() << QStringLiteral("Agora::onError(%1, %2)").arg(err).arg(QString::fromUtf8(msg ? msg : ""));
    if (!m_joining)
        return;
    std::string text = "AgoraChannel onError:";
    text += msg ? std::string(msg) : "0x" + QString::number(uint(err), 16).toStdString();
    logEmitSignal("signal_error");
    emit signal_error(err, text);
    qWarning().noquote() << QString::fromStdString(text);
}

void AgoraChannel::onAudioVolumeIndication(const AudioVolumeInfo* speakers, unsigned int speakerNumber, int totalVolume)
{
    emit signal_volume_indication(volumeRecords(speakers, speakerNumber));
}

void AgoraChannel::onLeaveChannel(const RtcStats& stats)
{
    // The own user id of the application data (not the RTC uid), read on the GUI thread that owns it.
    QMetaObject::invokeMethod(
        this, [this] { eraseOnlineUserSet(AppGlobalData::instance()->userIdAsInt()); }, Qt::QueuedConnection);
}

void AgoraChannel::onRtcStats(const RtcStats& stats)
{
    emit signal_rtcStats(rtcStatsToMap(stats));
}

void AgoraChannel::onAudioDeviceStateChanged(const char* deviceId, int deviceType, int deviceState)
{
    logEmitSignal("signal_audio_device_changed");
    emit signal_audio_device_changed(std::string(deviceId ? deviceId : ""), deviceType, deviceState);
}

void AgoraChannel::onVideoDeviceStateChanged(const char* deviceId, int deviceType, int deviceState)
{
    logEmitSignal("signal_video_device_changed");
    emit signal_video_device_changed(std::string(deviceId ? deviceId : ""), deviceType, deviceState);
}

void AgoraChannel::onNetworkQuality(uid_t uid, int txQuality, int rxQuality)
{
    emit signal_network_quality(uid, txQuality, rxQuality);
}

void AgoraChannel::onFirstLocalVideoFrame(int width, int height, int elapsed)
{
    logEmitSignal("signal_local_video_ready");
    emit signal_local_video_ready(width, height, elapsed);
    logWndInfo(localViewUid(), "onFirstLocalVideoFrame");
}

void AgoraChannel::onFirstRemoteVideoDecoded(uid_t uid, int width, int height, int elapsed)
{
    ThreadLogF("AgoraChannel::onFirstRemoteVideoDecoded: %d x %d", width, height);
    logEmitSignal("signal_remote_video_ready");
    emit signal_remote_video_ready(int(uid));
    logWndInfo(uid, "onFirstRemoteVideoDecoded");
}

void AgoraChannel::onVideoSizeChanged(uid_t uid, int width, int height, int rotation)
{
    ThreadLogF("AgoraChannel::onVideoSizeChanged: %d x %d", width, height);
}

void AgoraChannel::onUserJoined(uid_t uid, int elapsed)
{
    queueOnlineChange("insertOnlineUserSet", int(uid));
    logEmitSignal("signal_user_joined");
    emit signal_user_joined(uid, elapsed);
}

void AgoraChannel::onUserOffline(uid_t uid, int reason)
{
    queueOnlineChange("eraseOnlineUserSet", int(uid));
    logEmitSignal("signal_user_offline");
    emit signal_user_offline(uid, reason);
}

void AgoraChannel::onConnectionLost()
{
    logEmitSignal("signal_network_lost");
    emit signal_network_lost();
}

void AgoraChannel::onConnectionInterrupted()
{
    logEmitSignal("signal_network_down");
    emit signal_network_down();
}

void AgoraChannel::onStreamMessage(uid_t uid, int streamId, const char* data, std::size_t length)
{
    const QString text = data ? QString::fromLatin1(data, int(std::min<std::size_t>(length, INT_MAX))) : QString();
    logEmitSignal("signal_recv_stream_msg");
    emit signal_recv_stream_msg(uid, text);
}

void AgoraChannel::onAudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE deviceType, int volume, bool muted)
{
    logEmitSignal("signal_AudioDeviceVolumeChanged");
    emit signal_AudioDeviceVolumeChanged(deviceType, volume, muted);
}
