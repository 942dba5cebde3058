#pragma once

#include <QString>
#include <QStringList>

// The device-name checks against the class service's unsupported-device lists. The device classes answer
// AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName, AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName
// and AgoraVideoDevice::IsNotRecommendWithDeviceName with the functions of the same names here.
// GUI thread only (the list cache is not locked); the first check may fetch the lists.
namespace DeviceNameChecks {

// Microphones (list type 0).
bool IsNotRecommendAudioInWithDeviceName(const QString& deviceName);
// Speakers (list type 1).
bool IsNotRecommendAudioOutWithDeviceName(const QString& deviceName);
// Cameras (list type 2).
bool IsNotRecommendWithDeviceName(const QString& deviceName);

// True when the upper-cased name contains one of the (upper-case, non-empty) entries.
bool nameMatchesList(const QString& deviceName, const QStringList& entries);

} // namespace DeviceNameChecks
