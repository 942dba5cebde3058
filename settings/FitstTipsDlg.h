#pragma once

#include <QDialog>

namespace Ui {
class FitstTipsDlg;
}

// The one-time hint under the title bar's feedback button. "Get it" records "AppInfo/I_KnowFeedback" = 1, so
// no later title bar shows it again; Escape only hides it.
class FitstTipsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit FitstTipsDlg(QWidget* parent = nullptr);
    ~FitstTipsDlg() override;

private slots:
    void on_btn_ok_pressed();

private:
    Ui::FitstTipsDlg* ui;
};
