#pragma once

#include "ui/common/TitleBarDialogs.h"

// The title bar's dialogs from this library: the first feedback hint, the feedback form's round (FeedbackFlow: a
// submission taken is acknowledged with FeedbackReceivedDlg, a failed one told before the form comes back), and the
// device-check wizard.
class TitleBarDialogs_Imp : public TitleBarDialogs
{
public:
    QDialog* createFeedbackTip(QWidget* parent) override;
    void openFeedbackForm(QWidget* parent) override;
    void openDeviceCheck(QWidget* parent) override;

    // Installs one process-wide object of this class for every title bar (TitleBarDialogs::install).
    static void installForProcess();
};
