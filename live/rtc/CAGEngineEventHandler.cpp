#include "live/rtc/CAGEngineEventHandler.h"

#include "app/LogHandler.h"

CAGEngineEventHandler::CAGEngineEventHandler(QObject* parent)
    : QObject(parent)
{
}

void CAGEngineEventHandler::onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo*, unsigned int, int totalVolume)
{
    logEmitSignal("sig_local_audio_volume");
    emit sig_local_audio_volume(totalVolume);
}

void CAGEngineEventHandler::onAudioDeviceStateChanged(const char* deviceId, int deviceType, int deviceState)
{
    logEmitSignal("sig_audio_device_changed");
    emit sig_audio_device_changed(QString::fromUtf8(deviceId ? deviceId : ""), deviceType, deviceState);
}

void CAGEngineEventHandler::onVideoDeviceStateChanged(const char* deviceId, int deviceType, int deviceState)
{
    logEmitSignal("sig_video_device_changed");
    emit sig_video_device_changed(QString::fromUtf8(deviceId ? deviceId : ""), deviceType, deviceState);
}

void CAGEngineEventHandler::onLastmileQuality(int quality)
{
    logEmitSignal("sig_lastmile_quality");
    emit sig_lastmile_quality(quality);
}

void CAGEngineEventHandler::onFirstLocalVideoFrame(int width, int height, int elapsed)
{
    logEmitSignal("sig_local_video_ready");
    emit sig_local_video_ready(width, height, elapsed);
}
