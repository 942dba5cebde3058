#pragma once

#include "live/rtc/engine/IDeviceManagers.h"
#include "live/rtc/sim/SimScenario.h"

#include <memory>
#include <vector>

class SimEngineCore;

// The device managers and collections of a simulated engine, over its device model. Each object is made by one
// query or enumeration, traced, and deletes itself on release(); it keeps the engine's state alive, so it stays
// usable after the engine was released.

// One device list of the engine (cameras through IVideoDeviceCollection, microphones or speakers through
// IAudioDeviceCollection): the snapshot taken at enumeration, traced under the list's name.
template <typename Collection> class SimDeviceCollection final : public Collection
{
public:
    SimDeviceCollection(std::shared_ptr<SimEngineCore> core, SimDeviceKind kind);

    int getCount() override;
    int getDevice(int index, char deviceName[agora::rtc::MAX_DEVICE_ID_LENGTH],
                  char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int setDevice(const char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    void release() override;

private:
    ~SimDeviceCollection() override = default;

    std::shared_ptr<SimEngineCore> m_core;
    SimDeviceKind m_kind;
    std::vector<SimDeviceSpec> m_devices; // the snapshot taken at enumeration
};

using SimAudioDeviceCollection = SimDeviceCollection<agora::rtc::IAudioDeviceCollection>;
using SimVideoDeviceCollection = SimDeviceCollection<agora::rtc::IVideoDeviceCollection>;

// The engine's audio device manager: both device lists, the current microphone and speaker, their volumes and the
// two device tests.
class SimAudioDeviceManager final : public agora::rtc::IAudioDeviceManager
{
public:
    explicit SimAudioDeviceManager(std::shared_ptr<SimEngineCore> core);

    agora::rtc::IAudioDeviceCollection* enumeratePlaybackDevices() override;
    agora::rtc::IAudioDeviceCollection* enumerateRecordingDevices() override;
    int setPlaybackDevice(const char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int getPlaybackDevice(char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int setPlaybackDeviceVolume(int volume) override;
    int getPlaybackDeviceVolume(int* volume) override;
    int setRecordingDevice(const char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int getRecordingDevice(char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int setRecordingDeviceVolume(int volume) override;
    int getRecordingDeviceVolume(int* volume) override;
    int startPlaybackDeviceTest(const char* testAudioFilePath) override;
    int stopPlaybackDeviceTest() override;
    int startRecordingDeviceTest(int indicationInterval) override;
    int stopRecordingDeviceTest() override;
    void release() override;

private:
    ~SimAudioDeviceManager() override = default;

    std::shared_ptr<SimEngineCore> m_core;
};

// The engine's video device manager: the camera list and the current camera.
class SimVideoDeviceManager final : public agora::rtc::IVideoDeviceManager
{
public:
    explicit SimVideoDeviceManager(std::shared_ptr<SimEngineCore> core);

    agora::rtc::IVideoDeviceCollection* enumerateVideoDevices() override;
    int setDevice(const char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    int getDevice(char deviceId[agora::rtc::MAX_DEVICE_ID_LENGTH]) override;
    void release() override;

private:
    ~SimVideoDeviceManager() override = default;

    std::shared_ptr<SimEngineCore> m_core;
};

// Copies a UTF-8 text into a device buffer: at most MAX_DEVICE_ID_LENGTH - 1 bytes, never ending inside a
// character, always terminated.
void copyDeviceText(const std::string& text, char* buffer);

// The text of a device buffer (read up to its terminator, at most MAX_DEVICE_ID_LENGTH bytes); empty for null.
std::string deviceTextOf(const char* buffer);
