#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class Dialog;
}

// The device check's small notice box: asks whether to end the check or go on with it, or tells that sending the
// check report failed and whom to contact. Every button answers with exactly one signal, then closes the box,
// which frees itself.
class ConfigeTipDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit ConfigeTipDlg(QWidget* parent = nullptr);
    ~ConfigeTipDlg() override;

    // End or continue the check.
    void showContinuePage();
    // Sending failed: the course-advisor wording for students, the staff wording for everybody else.
    void showFeedbackFailedPage();

signals:
    void sig_end_device_test();
    void sig_continue_device_test();

private slots:
    void on_okButton_clicked();
    void on_okButton_2_clicked();
    void on_endButton_clicked();
    void on_continueButton_clicked();

private:
    void answer(bool continueTest);

    Ui::Dialog* ui;
};
