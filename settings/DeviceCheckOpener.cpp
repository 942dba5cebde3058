#include "settings/DeviceCheckOpener.h"

#include "settings/CheckSystemDlg.h"

CheckSystemDlg* openDeviceCheckWizard(QWidget* parent, bool canClose, std::function<void(int result)> onDone)
{
    auto* wizard = new CheckSystemDlg(parent);
    wizard->setCloseButtonsVisible(canClose);
    wizard->setDoneCallback(
        [onDone](QObject* context, int result) {
            if (onDone)
                onDone(result);
            if (context)
                context->deleteLater();
        },
        wizard);
    wizard->show();
    return wizard;
}
