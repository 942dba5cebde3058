#include "live/rtc/AgoraVideoDevice.h"

#include "net/api/DeviceNameChecks.h"

#include <QDebug>

using namespace agora::rtc;
using namespace DeviceCollections;

int AgoraVideoDevice::Create(IRtcEngine* engine)
{
    bool managerFound = false;
    if (takeCameras(m_cameras, engine, &managerFound))
        return 0;
    qCritical() << (managerFound ? "Fail to create video_device_enumerator" : "Fail to create video_device_manager");
    return -1;
}

void AgoraVideoDevice::Close()
{
    m_cameras.release();
}

int AgoraVideoDevice::GetDevices(std::vector<device_info>& devices)
{
    return appendDevices(m_cameras.collection(), devices);
}

int AgoraVideoDevice::GetDeviceCount()
{
    return countOf(m_cameras.collection());
}

QString AgoraVideoDevice::GetCurDeviceID()
{
    IVideoDeviceManager* manager = m_cameras.manager();
    return manager ? currentDeviceOf([manager](char* id) { return manager->getDevice(id); }) : QString();
}

int AgoraVideoDevice::SetCurDevice(const std::string& id)
{
    if (GetDeviceCount() < 1)
        return -1;
    if (id.empty())
        return 0;
    const int result = setCurrentDevice(m_cameras.collection(), id);
    if (result == 0)
        saveSelectedDevice(kSelectedCameraKey, GetCurDeviceID());
    return result;
}

bool AgoraVideoDevice::IsNotRecommendWithDeviceName(const QString& deviceName)
{
    return logNotRecommended("IsNotRecommendWithDeviceName", deviceName,
                             DeviceNameChecks::IsNotRecommendWithDeviceName(deviceName));
}
