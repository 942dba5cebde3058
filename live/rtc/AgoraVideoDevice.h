#pragma once

#include "live/rtc/DeviceCollections.h"
#include "live/rtc/DeviceInfo.h"

#include <QString>

#include <string>
#include <vector>

// The cameras of an RTC engine: list, current camera, selection (saved under "SelectedDeviceID/Camera") and the
// not-recommended check. Close before the engine is released; the destructor closes.
class AgoraVideoDevice
{
public:
    AgoraVideoDevice() = default;

    AgoraVideoDevice(const AgoraVideoDevice&) = delete;
    AgoraVideoDevice& operator=(const AgoraVideoDevice&) = delete;

    // Takes the engine's camera manager and camera list: 0, or -1 when either is missing (nothing kept).
    int Create(agora::rtc::IRtcEngine* engine);
    void Close();

    int GetDevices(std::vector<device_info>& devices);
    // The number of cameras, 0 without a list (two spellings).
    int GetDeviceCount();
    int GetCollection() { return GetDeviceCount(); }
    QString GetCurDeviceID();

    // -1 without cameras, 0 (nothing done) for an empty id, else the engine's result; the current id is saved on
    // success.
    int SetCurDevice(const std::string& id);

    static bool IsNotRecommendWithDeviceName(const QString& deviceName);

private:
    DeviceCollections::VideoDeviceList m_cameras;
};
