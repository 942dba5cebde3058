#include "live/rtc/DeviceInfo.h"

#include "live/rtc/engine/RtcEngineTypes.h"

#include <cstring>

QString deviceText(const char* buffer)
{
    if (!buffer)
        return QString();
    return QString::fromUtf8(buffer, int(strnlen(buffer, agora::rtc::MAX_DEVICE_ID_LENGTH)));
}
