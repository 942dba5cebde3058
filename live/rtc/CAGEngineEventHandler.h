#pragma once

#include "live/rtc/engine/IRtcEngineEventHandler.h"

#include <QObject>
#include <QString>

// The device-test engine's callbacks as signals, emitted on the engine's threads (receivers get them queued).
class CAGEngineEventHandler : public QObject, public agora::rtc::IRtcEngineEventHandler
{
    Q_OBJECT

public:
    explicit CAGEngineEventHandler(QObject* parent = nullptr);

signals:
    void sig_local_audio_volume(int volume);
    void sig_audio_device_changed(QString deviceId, int deviceType, int deviceState);
    void sig_video_device_changed(QString deviceId, int deviceType, int deviceState);
    void sig_lastmile_quality(int quality);
    void sig_local_video_ready(int width, int height, int elapsed);

protected:
    void onAudioVolumeIndication(const agora::rtc::AudioVolumeInfo* speakers, unsigned int speakerNumber,
                                 int totalVolume) override;
    void onAudioDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) override;
    void onVideoDeviceStateChanged(const char* deviceId, int deviceType, int deviceState) override;
    void onLastmileQuality(int quality) override;
    void onFirstLocalVideoFrame(int width, int height, int elapsed) override;
};
