#include "live/rtc/CAgoraCameraManager.h"

#include "live/rtc/DeviceCollections.h"
#include "live/rtc/engine/IRtcEngine.h"

using namespace agora::rtc;
using namespace DeviceCollections;

CAgoraCameraManager::~CAgoraCameraManager()
{
    release();
}

void CAgoraCameraManager::release()
{
    if (m_collection)
        m_collection->release();
    m_collection = nullptr;
    if (m_manager)
        m_manager->release();
    m_manager = nullptr;
}

bool CAgoraCameraManager::createCaptureDeviceManager(IRtcEngine* engine)
{
    release();
    void* manager = nullptr;
    if (!engine || engine->queryInterface(AGORA_IID_VIDEO_DEVICE_MANAGER, &manager) != 0 || !manager)
        return false;
    m_manager = static_cast<IVideoDeviceManager*>(manager);
    m_collection = m_manager->enumerateVideoDevices();
    if (!m_collection) {
        release();
        return false;
    }
    return true;
}

int CAgoraCameraManager::captureDeviceCount()
{
    return countOf(m_collection);
}

bool CAgoraCameraManager::captureDeviceAt(int index, QString& name, QString& id)
{
    return deviceAt(m_collection, index, name, id);
}

QString CAgoraCameraManager::currentCaptureDevice()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getDevice(id); });
}

bool CAgoraCameraManager::setCaptureDevice(const QString& id)
{
    return m_manager && m_manager->setDevice(IdBuffer(id.toUtf8()).text()) == 0;
}
