#include "live/rtc/CAgoraCameraManager.h"

using namespace agora::rtc;
using namespace DeviceCollections;

bool CAgoraCameraManager::createCaptureDeviceManager(IRtcEngine* engine)
{
    return takeCameras(m_cameras, engine);
}

int CAgoraCameraManager::captureDeviceCount()
{
    return countOf(m_cameras.collection());
}

bool CAgoraCameraManager::captureDeviceAt(int index, QString& name, QString& id)
{
    return deviceAt(m_cameras.collection(), index, name, id);
}

QString CAgoraCameraManager::currentCaptureDevice()
{
    IVideoDeviceManager* manager = m_cameras.manager();
    return manager ? currentDeviceOf([manager](char* id) { return manager->getDevice(id); }) : QString();
}

bool CAgoraCameraManager::setCaptureDevice(const QString& id)
{
    IVideoDeviceManager* manager = m_cameras.manager();
    return manager && manager->setDevice(IdBuffer(id.toUtf8()).text()) == 0;
}
