#include "live/rtc/CAgoraAudInputManager.h"

#include "live/rtc/CAgoraObject.h"

using namespace agora::rtc;
using namespace DeviceCollections;

namespace {

constexpr int kLevelIntervalMs = 100;

} // namespace

CAgoraAudInputManager::~CAgoraAudInputManager()
{
    setRecordingDeviceTest(false);
}

bool CAgoraAudInputManager::createRecordingDeviceManager(IRtcEngine* engine)
{
    setRecordingDeviceTest(false);
    return takeRecordingDevices(m_microphones, engine);
}

int CAgoraAudInputManager::recordingDeviceCount()
{
    return countOf(m_microphones.collection());
}

bool CAgoraAudInputManager::recordingDeviceAt(int index, QString& name, QString& id)
{
    return deviceAt(m_microphones.collection(), index, name, id);
}

QString CAgoraAudInputManager::currentRecordingDevice()
{
    IAudioDeviceManager* manager = m_microphones.manager();
    return manager ? currentDeviceOf([manager](char* id) { return manager->getRecordingDevice(id); }) : QString();
}

bool CAgoraAudInputManager::setRecordingDevice(const QString& id)
{
    IAudioDeviceManager* manager = m_microphones.manager();
    return manager && manager->setRecordingDevice(IdBuffer(id.toUtf8()).text()) == 0;
}

void CAgoraAudInputManager::setRecordingDeviceTest(bool on)
{
    IAudioDeviceManager* manager = m_microphones.manager();
    if (!manager)
        return;
    if (on && !m_testing) {
        CAgoraObject::engine();
        manager->startRecordingDeviceTest(kLevelIntervalMs);
    } else if (!on && m_testing) {
        manager->stopRecordingDeviceTest();
    }
    m_testing = on;
}
