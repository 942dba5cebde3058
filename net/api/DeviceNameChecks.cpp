#include "net/api/DeviceNameChecks.h"

#include "net/api/UnavailableDevices.h"

namespace DeviceNameChecks {

bool nameMatchesList(const QString& deviceName, const QStringList& entries)
{
    const QString name = deviceName.toUpper();
    for (const QString& entry : entries) {
        if (!entry.isEmpty() && name.contains(entry))
            return true;
    }
    return false;
}

bool IsNotRecommendAudioInWithDeviceName(const QString& deviceName)
{
    return nameMatchesList(deviceName, getUnavailableDevicesCached(UnavailableDevice_Microphone));
}

bool IsNotRecommendAudioOutWithDeviceName(const QString& deviceName)
{
    return nameMatchesList(deviceName, getUnavailableDevicesCached(UnavailableDevice_Speaker));
}

bool IsNotRecommendWithDeviceName(const QString& deviceName)
{
    return nameMatchesList(deviceName, getUnavailableDevicesCached(UnavailableDevice_Camera));
}

} // namespace DeviceNameChecks
