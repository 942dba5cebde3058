#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class TryWarningDlg;
}

// The retry question of the class entry: the failed step's title and hint, Retry (11) or Close (10);
// Escape gives 0. Only 11 asks for another attempt.
class TryWarningDlg : public ModalDialog
{
    Q_OBJECT

public:
    enum Result
    {
        ResultClose = 10,
        ResultRetry = 11
    };

    explicit TryWarningDlg(QWidget* parent = nullptr);
    ~TryWarningDlg() override;

    void setTitle(const QString& text);
    void setContent(const QString& text);

private slots:
    void on_tryBtn_pressed();
    void on_closeBtn_pressed();

private:
    Ui::TryWarningDlg* ui;
};
