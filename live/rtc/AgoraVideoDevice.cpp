#include "live/rtc/AgoraVideoDevice.h"

#include "live/rtc/DeviceCollections.h"
#include "live/rtc/engine/IRtcEngine.h"
#include "net/DeviceNameChecks.h"

#include <QDebug>

using namespace agora::rtc;
using namespace DeviceCollections;

AgoraVideoDevice::~AgoraVideoDevice()
{
    Close();
}

int AgoraVideoDevice::Create(IRtcEngine* engine)
{
    Close();
    void* manager = nullptr;
    if (!engine || engine->queryInterface(AGORA_IID_VIDEO_DEVICE_MANAGER, &manager) != 0 || !manager) {
        qCritical() << "Fail to create video_device_manager";
        return -1;
    }
    m_manager = static_cast<IVideoDeviceManager*>(manager);
    m_collection = m_manager->enumerateVideoDevices();
    if (!m_collection) {
        qCritical() << "Fail to create video_device_enumerator";
        m_manager->release();
        m_manager = nullptr;
        return -1;
    }
    return 0;
}

void AgoraVideoDevice::Close()
{
    if (m_collection)
        m_collection->release();
    m_collection = nullptr;
    if (m_manager)
        m_manager->release();
    m_manager = nullptr;
}

int AgoraVideoDevice::GetDevices(std::vector<device_info>& devices)
{
    return appendDevices(m_collection, devices);
}

int AgoraVideoDevice::GetDeviceCount()
{
    return countOf(m_collection);
}

QString AgoraVideoDevice::GetCurDeviceID()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getDevice(id); });
}

int AgoraVideoDevice::SetCurDevice(const std::string& id)
{
    if (countOf(m_collection) < 1)
        return -1;
    if (id.empty())
        return 0;
    const int result = setCurrentDevice(m_collection, id);
    if (result == 0)
        saveSelectedDevice("SelectedDeviceID/Camera", GetCurDeviceID());
    return result;
}

bool AgoraVideoDevice::IsNotRecommendWithDeviceName(const QString& deviceName)
{
    return logNotRecommended("IsNotRecommendWithDeviceName", deviceName,
                             DeviceNameChecks::IsNotRecommendWithDeviceName(deviceName));
}
