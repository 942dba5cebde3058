#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class FeedbackReceivedDlg;
}

// Acknowledges a feedback submission, succeeded or not, with first-aid tips for audio/video, echo and network
// troubles. "Get it" gives 1; the close button and Escape give 0.
class FeedbackReceivedDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit FeedbackReceivedDlg(QWidget* parent = nullptr);
    ~FeedbackReceivedDlg() override;

private slots:
    void onClickOK();
    void onClickClose();

private:
    Ui::FeedbackReceivedDlg* ui;
};
