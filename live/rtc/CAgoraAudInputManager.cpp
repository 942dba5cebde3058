#include "live/rtc/CAgoraAudInputManager.h"

#include "live/rtc/CAgoraObject.h"
#include "live/rtc/DeviceCollections.h"
#include "live/rtc/engine/IRtcEngine.h"

using namespace agora::rtc;
using namespace DeviceCollections;

namespace {

constexpr int kLevelIntervalMs = 100;

} // namespace

CAgoraAudInputManager::~CAgoraAudInputManager()
{
    setRecordingDeviceTest(false);
    release();
}

void CAgoraAudInputManager::release()
{
    if (m_collection)
        m_collection->release();
    m_collection = nullptr;
    if (m_manager)
        m_manager->release();
    m_manager = nullptr;
}

bool CAgoraAudInputManager::createRecordingDeviceManager(IRtcEngine* engine)
{
    setRecordingDeviceTest(false);
    release();
    void* manager = nullptr;
    if (!engine || engine->queryInterface(AGORA_IID_AUDIO_DEVICE_MANAGER, &manager) != 0 || !manager)
        return false;
    m_manager = static_cast<IAudioDeviceManager*>(manager);
    m_collection = m_manager->enumerateRecordingDevices();
    if (!m_collection) {
        release();
        return false;
    }
    return true;
}

int CAgoraAudInputManager::recordingDeviceCount()
{
    return countOf(m_collection);
}

bool CAgoraAudInputManager::recordingDeviceAt(int index, QString& name, QString& id)
{
    return deviceAt(m_collection, index, name, id);
}

QString CAgoraAudInputManager::currentRecordingDevice()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getRecordingDevice(id); });
}

bool CAgoraAudInputManager::setRecordingDevice(const QString& id)
{
    return m_manager && m_manager->setRecordingDevice(IdBuffer(id.toUtf8()).text()) == 0;
}

void CAgoraAudInputManager::setRecordingDeviceTest(bool on)
{
    if (!m_manager)
        return;
    if (on && !m_testing) {
        CAgoraObject::engine();
        m_manager->startRecordingDeviceTest(kLevelIntervalMs);
    } else if (!on && m_testing) {
        m_manager->stopRecordingDeviceTest();
    }
    m_testing = on;
}
