#include "settings/DeviceCheckOpener.h"

#include <QDebug>

CheckSystemDlg* openDeviceCheckWizard(QWidget* parent, bool canClose, std::function<void(int result)> onDone)
{
    Q_UNUSED(parent)
    Q_UNUSED(canClose)
    Q_UNUSED(onDone)
    qInfo() << "openDeviceCheckWizard the device-check wizard is not available in this build";
    return nullptr;
}
