#pragma once

#include "live/rtc/DeviceInfo.h"

#include <QString>
#include <QStringList>

#include <functional>

// The device a class-entry device step selects from a list: the one with the stored id comes first, devices whose
// name is on the not-recommended list come last (whatever their id), the others keep their list order between.
struct DeviceChoice
{
    bool found = false;              // false for an empty list
    device_info device;              // the device to select
    bool notRecommended = false;     // the chosen one is not recommended: every device of the list is not
    QStringList notRecommendedNames; // the not-recommended devices, in list order
};

// Scores each device (the stored id: -(count + 10); a not-recommended name: +(count + 10), over the id; else 0),
// sorts by score keeping the list order of equal scores, and takes the first. Ids compare exactly.
DeviceChoice chooseDevice(const vector_device_info& devices, const QString& storedId,
                          const std::function<bool(const QString& name)>& isNotRecommended);
