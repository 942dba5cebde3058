#pragma once

#include "live/rtc/DeviceInfo.h"
#include "live/rtc/engine/IDeviceManagers.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QString>

#include <string>
#include <vector>

// The microphones and speakers of an RTC engine (a room's channel or the device check's engine): lists, the
// current device, selection (saved under "SelectedDeviceID/AudioIN" / "AudioOUT"), volumes in percent, and the
// not-recommended checks. Close before the engine is released; the destructor closes.
class AgoraAudioDevice
{
public:
    AgoraAudioDevice() = default;
    ~AgoraAudioDevice();

    AgoraAudioDevice(const AgoraAudioDevice&) = delete;
    AgoraAudioDevice& operator=(const AgoraAudioDevice&) = delete;

    // Enables audio on the engine and takes its device manager and both device lists: 0, or -1 without a manager.
    int Create(agora::rtc::IRtcEngine* engine);
    // Gives everything back; harmless when nothing is held.
    void Close();

    // Append one record per device; return the vector's size.
    int GetRecordingDevices(std::vector<device_info>& devices);
    int GetPlaybackDevices(std::vector<device_info>& devices);

    // The number of devices, 0 without the list (two spellings each).
    int GetRecordingDeviceCount();
    int GetRecordingCollection() { return GetRecordingDeviceCount(); }
    int GetPlaybackDeviceCount();
    int GetPlaybackCollection() { return GetPlaybackDeviceCount(); }

    // The current device's id; empty without a manager.
    QString GetCurRecordingDeviceID();
    QString GetCurPlaybackDeviceID();

    // Volumes in percent: set sends percent * 255 / 100 (false without a manager or when refused); get reads the
    // engine's volume back to the nearest percent (-1 without a manager or when it cannot be read).
    bool SetRecordingVolume(int percent);
    bool SetPlaybackVolume(int percent);
    int GetRecordingVolume();
    int GetPlaybackVolume();

    // Makes the device current: -1 without devices, 0 (nothing done) for an empty id, else the engine's result.
    // On success a volume below 50 % is raised to 50 % and the current id is saved.
    int SetCurRecordingDevice(const std::string& id);
    int SetCurPlaybackDevice(const std::string& id);

    // True when the name holds an entry of the class service's not-recommended microphones / speakers.
    static bool IsNotRecommendAudioInWithDeviceName(const QString& deviceName);
    static bool IsNotRecommendAudioOutWithDeviceName(const QString& deviceName);

private:
    int selectDevice(bool recording, const std::string& id);

    agora::rtc::IAudioDeviceManager* m_manager = nullptr;
    agora::rtc::IAudioDeviceCollection* m_recording = nullptr;
    agora::rtc::IAudioDeviceCollection* m_playback = nullptr;
};
