#pragma once

#include "live/rtc/DeviceCollections.h"

#include <QObject>
#include <QString>

// The cameras of the device-test engine, for the device check's worker.
class CAgoraCameraManager : public QObject
{
    Q_OBJECT

public:
    CAgoraCameraManager() = default;

    // Takes the engine's camera manager and camera list; false (nothing kept) when either is missing.
    bool createCaptureDeviceManager(agora::rtc::IRtcEngine* engine);

    int captureDeviceCount();
    // false for an index outside the list or an entry the engine refuses.
    bool captureDeviceAt(int index, QString& name, QString& id);
    QString currentCaptureDevice();
    bool setCaptureDevice(const QString& id);

private:
    DeviceCollections::VideoDeviceList m_cameras;
};
