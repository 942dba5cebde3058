#pragma once

#include "live/rtc/engine/RtcEngineTypes.h"

namespace agora {
namespace rtc {

// Device names and ids are UTF-8 texts in buffers of MAX_DEVICE_ID_LENGTH bytes, always terminated. Every
// object here is given back with release(); it stays usable after the engine that made it was released.

// A snapshot of the microphones or of the speakers.
class IAudioDeviceCollection
{
public:
    virtual int getCount() = 0;
    // 0 and the entry's name and id; negative for an index out of range.
    virtual int getDevice(int index, char deviceName[MAX_DEVICE_ID_LENGTH], char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    // Makes the device current; negative when it is gone or refuses.
    virtual int setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual void release() = 0;

protected:
    virtual ~IAudioDeviceCollection() = default;
};

// Microphones and speakers of an engine (queryInterface with AGORA_IID_AUDIO_DEVICE_MANAGER). Volumes are 0-255.
class IAudioDeviceManager
{
public:
    // A new collection, or null.
    virtual IAudioDeviceCollection* enumeratePlaybackDevices() = 0;
    virtual IAudioDeviceCollection* enumerateRecordingDevices() = 0;

    virtual int setPlaybackDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    // The current device's id; empty when there is none.
    virtual int getPlaybackDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int setPlaybackDeviceVolume(int volume) = 0;
    virtual int getPlaybackDeviceVolume(int* volume) = 0;

    virtual int setRecordingDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int getRecordingDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int setRecordingDeviceVolume(int volume) = 0;
    virtual int getRecordingDeviceVolume(int* volume) = 0;

    // Plays the (UTF-8) file on the current speaker until stopped.
    virtual int startPlaybackDeviceTest(const char* testAudioFilePath) = 0;
    virtual int stopPlaybackDeviceTest() = 0;
    // Reports the current microphone's level through onAudioVolumeIndication every indicationInterval ms.
    virtual int startRecordingDeviceTest(int indicationInterval) = 0;
    virtual int stopRecordingDeviceTest() = 0;

    virtual void release() = 0;

protected:
    virtual ~IAudioDeviceManager() = default;
};

// A snapshot of the cameras.
class IVideoDeviceCollection
{
public:
    virtual int getCount() = 0;
    virtual int getDevice(int index, char deviceName[MAX_DEVICE_ID_LENGTH], char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual void release() = 0;

protected:
    virtual ~IVideoDeviceCollection() = default;
};

// Cameras of an engine (queryInterface with AGORA_IID_VIDEO_DEVICE_MANAGER).
class IVideoDeviceManager
{
public:
    virtual IVideoDeviceCollection* enumerateVideoDevices() = 0;
    virtual int setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual int getDevice(char deviceId[MAX_DEVICE_ID_LENGTH]) = 0;
    virtual void release() = 0;

protected:
    virtual ~IVideoDeviceManager() = default;
};

} // namespace rtc
} // namespace agora
