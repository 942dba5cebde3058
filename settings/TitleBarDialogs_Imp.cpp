#include "settings/TitleBarDialogs_Imp.h"

#include "settings/DeviceCheckOpener.h"
#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/FeedbackSubmission.h"
#include "settings/FitstTipsDlg.h"

QDialog* TitleBarDialogs_Imp::createFeedbackTip(QWidget* parent)
{
    return new FitstTipsDlg(parent);
}

void TitleBarDialogs_Imp::openFeedbackForm(QWidget* parent)
{
    auto* form = new FeedbackOnlineDlg(parent);
    form->setDoneCallback(
        [](QObject* context, int result) {
            auto* form = qobject_cast<FeedbackOnlineDlg*>(context);
            if (!form)
                return;
            if (result == 1) {
                FeedbackSubmission::submit(*form);
                auto* received = new FeedbackReceivedDlg(form->parentWidget());
                received->setDoneCallback(
                    [](QObject* receivedContext, int) {
                        if (auto* dialog = qobject_cast<FeedbackReceivedDlg*>(receivedContext))
                            dialog->deleteLater();
                    },
                    received);
                received->show();
            }
            form->deleteLater();
        },
        form);
    form->show();
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
