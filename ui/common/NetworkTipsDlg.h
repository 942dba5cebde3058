#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class NetworkTipsDlg;
}

// Explains the title bar's network-signal indicator: a heading, three fixed tips and "I know" (result 1;
// Escape gives 0). The window is 451 pixels wide and as tall as its texts need.
class NetworkTipsDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit NetworkTipsDlg(QWidget* parent = nullptr);
    ~NetworkTipsDlg() override;

private slots:
    void on_iknowBtn_pressed();

private:
    Ui::NetworkTipsDlg* ui;
};
