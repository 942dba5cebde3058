#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class CancelOkWarningDlg;
}

// The small yes/no question: a warning icon, a message, OK, an optional Cancel and a close cross.
// Ends with 2621 (OK), 2622 (Cancel) or 0 (close cross, Escape); callers go ahead only on 2621.
class CancelOkWarningDlg : public ModalDialog
{
    Q_OBJECT

public:
    enum Result
    {
        ResultOk = 2621,
        ResultCancel = 2622
    };

    explicit CancelOkWarningDlg(QWidget* parent = nullptr);
    ~CancelOkWarningDlg() override;

    void setMessageText(const QString& text);
    void setOkText(const QString& text);
    void setCancelText(const QString& text);
    void setCancelButtonVisible(bool visible);

private slots:
    void on_okBtn_pressed();
    void on_cancelBtn_pressed();
    void on_closeBtn_pressed();

private:
    Ui::CancelOkWarningDlg* ui;
};
