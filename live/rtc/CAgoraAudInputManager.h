#pragma once

#include "live/rtc/DeviceCollections.h"

#include <QObject>
#include <QString>

// The microphones of the device-test engine and its level test, for the device check's worker.
class CAgoraAudInputManager : public QObject
{
    Q_OBJECT

public:
    CAgoraAudInputManager() = default;
    // Stops a running level test, then gives the manager back.
    ~CAgoraAudInputManager() override;

    bool createRecordingDeviceManager(agora::rtc::IRtcEngine* engine);

    int recordingDeviceCount();
    bool recordingDeviceAt(int index, QString& name, QString& id);
    QString currentRecordingDevice();
    bool setRecordingDevice(const QString& id);

    // With a manager: on (while not testing) starts the level test, reported every 100 ms through the engine's
    // volume callback; off (while testing) stops it. Without a manager nothing happens.
    void setRecordingDeviceTest(bool on);
    bool isRecordingTest() const { return m_testing; }

private:
    DeviceCollections::AudioDeviceList m_microphones;
    bool m_testing = false;
};
