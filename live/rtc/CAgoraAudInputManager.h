#pragma once

#include <QObject>
#include <QString>

namespace agora {
namespace rtc {
class IRtcEngine;
class IAudioDeviceManager;
class IAudioDeviceCollection;
} // namespace rtc
} // namespace agora

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
    void release();

    agora::rtc::IAudioDeviceManager* m_manager = nullptr;
    agora::rtc::IAudioDeviceCollection* m_collection = nullptr;
    bool m_testing = false;
};
