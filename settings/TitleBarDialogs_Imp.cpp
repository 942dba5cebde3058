#include "settings/TitleBarDialogs_Imp.h"

#include "settings/DeviceCheckOpener.h"
#include "settings/FeedbackFlow.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/FitstTipsDlg.h"

QDialog* TitleBarDialogs_Imp::createFeedbackTip(QWidget* parent)
{
    return new FitstTipsDlg(parent);
}

void TitleBarDialogs_Imp::openFeedbackForm(QWidget* parent)
{
    FeedbackFlow::openForm(
        parent, [](ModalDialog* dialog) { dialog->show(); },
        [parent] {
            auto* received = new FeedbackReceivedDlg(parent);
            received->setDoneCallback(
                [](QObject* receivedContext, int) {
                    if (auto* dialog = qobject_cast<FeedbackReceivedDlg*>(receivedContext))
                        dialog->deleteLater();
                },
                received);
            received->show();
        });
}

void TitleBarDialogs_Imp::openDeviceCheck(QWidget* parent)
{
    openDeviceCheckWizard(parent);
}

void TitleBarDialogs_Imp::installForProcess()
{
    static TitleBarDialogs_Imp dialogs;
    TitleBarDialogs::install(&dialogs);
}
