#include "live/rtc/RtcMetaTypes.h"

#include "live/rtc/DeviceInfo.h"

void registerRtcMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<std::string>("std::string");
        qRegisterMetaType<agora::rtc::MEDIA_DEVICE_TYPE>("MEDIA_DEVICE_TYPE");
        qRegisterMetaType<QMapStrVar>("QMapStrVar");
        qRegisterMetaType<vector_device_info>("vector_device_info");
        return true;
    }();
    (void)registered;
}
