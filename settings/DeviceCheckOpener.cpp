#include "settings/DeviceCheckOpener.h"

#include <QDebug>

void openDeviceCheckWizard(QWidget* parent)
{
    Q_UNUSED(parent)
    qInfo() << "openDeviceCheckWizard the device-check wizard is not available in this build";
}
