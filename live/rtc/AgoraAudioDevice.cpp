#include "live/rtc/AgoraAudioDevice.h"

#include "live/rtc/DeviceCollections.h"
#include "live/rtc/engine/IRtcEngine.h"
#include "net/api/DeviceNameChecks.h"

#include <QDebug>

using namespace agora::rtc;
using namespace DeviceCollections;

AgoraAudioDevice::~AgoraAudioDevice()
{
    Close();
}

int AgoraAudioDevice::Create(IRtcEngine* engine)
{
    Close();
    void* manager = nullptr;
    if (engine) {
        engine->enableAudio();
        if (engine->queryInterface(AGORA_IID_AUDIO_DEVICE_MANAGER, &manager) != 0)
            manager = nullptr;
    }
    if (!manager) {
        qCritical() << "Fail to create audio_device_manager";
        return -1;
    }
    m_manager = static_cast<IAudioDeviceManager*>(manager);
    m_recording = m_manager->enumerateRecordingDevices();
    if (!m_recording)
        qCritical() << "Fail to get capture_device_enumerator";
    m_playback = m_manager->enumeratePlaybackDevices();
    if (!m_playback)
        qCritical() << "Fail to get palyback_device_enumerator";
    return 0;
}

void AgoraAudioDevice::Close()
{
    if (m_recording)
        m_recording->release();
    m_recording = nullptr;
    if (m_playback)
        m_playback->release();
    m_playback = nullptr;
    if (m_manager)
        m_manager->release();
    m_manager = nullptr;
}

int AgoraAudioDevice::GetRecordingDevices(std::vector<device_info>& devices)
{
    return appendDevices(m_recording, devices);
}

int AgoraAudioDevice::GetPlaybackDevices(std::vector<device_info>& devices)
{
    return appendDevices(m_playback, devices);
}

int AgoraAudioDevice::GetRecordingDeviceCount()
{
    return countOf(m_recording);
}

int AgoraAudioDevice::GetPlaybackDeviceCount()
{
    return countOf(m_playback);
}

QString AgoraAudioDevice::GetCurRecordingDeviceID()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getRecordingDevice(id); });
}

QString AgoraAudioDevice::GetCurPlaybackDeviceID()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getPlaybackDevice(id); });
}

bool AgoraAudioDevice::SetRecordingVolume(int percent)
{
    return m_manager && m_manager->setRecordingDeviceVolume(engineVolumeOf(percent)) == 0;
}

bool AgoraAudioDevice::SetPlaybackVolume(int percent)
{
    return m_manager && m_manager->setPlaybackDeviceVolume(engineVolumeOf(percent)) == 0;
}

int AgoraAudioDevice::GetRecordingVolume()
{
    int volume = 0;
    if (!m_manager || m_manager->getRecordingDeviceVolume(&volume) != 0)
        return -1;
    return percentOf(volume);
}

int AgoraAudioDevice::GetPlaybackVolume()
{
    int volume = 0;
    if (!m_manager || m_manager->getPlaybackDeviceVolume(&volume) != 0)
        return -1;
    return percentOf(volume);
}

int AgoraAudioDevice::SetCurRecordingDevice(const std::string& id)
{
    return selectDevice(true, id);
}

int AgoraAudioDevice::SetCurPlaybackDevice(const std::string& id)
{
    return selectDevice(false, id);
}

int AgoraAudioDevice::selectDevice(bool recording, const std::string& id)
{
    IAudioDeviceCollection* collection = recording ? m_recording : m_playback;
    if (countOf(collection) < 1)
        return -1;
    if (id.empty())
        return 0;
    const int result = setCurrentDevice(collection, id);
    if (result != 0)
        return result;
    const int volume = recording ? GetRecordingVolume() : GetPlaybackVolume();
    if (volume >= 0 && volume < 50) {
        if (recording)
            SetRecordingVolume(50);
        else
            SetPlaybackVolume(50);
    }
    saveSelectedDevice(recording ? kSelectedMicrophoneKey : kSelectedSpeakerKey,
                       recording ? GetCurRecordingDeviceID() : GetCurPlaybackDeviceID());
    return result;
}

bool AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName(const QString& deviceName)
{
    return logNotRecommended("IsNotRecommendAudioInWithDeviceName", deviceName,
                             DeviceNameChecks::IsNotRecommendAudioInWithDeviceName(deviceName), "ture");
}

bool AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName(const QString& deviceName)
{
    return logNotRecommended("IsNotRecommendAudioOutWithDeviceName", deviceName,
                             DeviceNameChecks::IsNotRecommendAudioOutWithDeviceName(deviceName));
}
