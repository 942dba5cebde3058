#pragma once

#include "live/rtc/DeviceCollections.h"

#include <QString>

// The speakers of the device-test engine and its test sound, for the device check's worker. Volumes are the
// engine's 0-255.
class CAgoraPlayoutManager
{
public:
    CAgoraPlayoutManager() = default;
    ~CAgoraPlayoutManager();

    CAgoraPlayoutManager(const CAgoraPlayoutManager&) = delete;
    CAgoraPlayoutManager& operator=(const CAgoraPlayoutManager&) = delete;

    bool Create(agora::rtc::IRtcEngine* engine);
    // Stops a running test sound and gives everything back.
    void Close();

    int GetDeviceCount();
    bool GetDevice(int index, QString& name, QString& id);
    QString GetCurDeviceID();
    // Selects the speaker, then raises a playback volume below 127 to 127; true when the selection succeeded.
    bool SetCurDevice(const QString& id);
    bool SetVolume(int volume);

    // With a manager: on (while not testing) plays the program folder + relativePath as the test sound; off (while
    // testing) stops it.
    void TestPlaybackDevice(const QString& relativePath, bool on);
    bool isPlaybackTest() const { return m_testing; }

private:
    DeviceCollections::AudioDeviceList m_speakers;
    bool m_testing = false;
};
