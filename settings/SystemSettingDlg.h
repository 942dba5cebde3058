#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class SystemSettingDlg;
}

// The rendering settings: the OpenGL mode ("AppInfo/OpenGL_Mode": 15 desktop, 16 ANGLE, 17 software), the alpha-buffer
// size of the default surface format ("AppInfo/Surface_AlphaBufferSize": -1 the format's own, 8) and the video
// capture type the class rooms hand to the RTC engine ("AppInfo/VideoCaptureType": 0, 3). It shows the stored
// values (program-folder settings, then the user's, which win); Submit asks for confirmation, and its OK writes all
// three to the user's settings and restarts the program, which applies them at start-up. Cancel, the close button
// and Escape end it with 0 without writing. Shown without blocking; GUI thread.
class SystemSettingDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit SystemSettingDlg(QWidget* parent = nullptr);
    ~SystemSettingDlg() override;

    // The confirmation's done callback: on OK (2621) from a CancelOkWarningDlg whose parent is a SystemSettingDlg,
    // writes that dialog's choices and restarts the program; any other result or sender changes nothing. The
    // confirmation is deleted later in any case.
    static void saveAndRestart(QObject* confirmation, int result);

private slots:
    void on_buttonCancel_clicked();
    void on_btn_close_clicked();
    void on_buttonOk_clicked();

private:
    void saveSettings();
    void showRestartFailure();

    Ui::SystemSettingDlg* ui;
};
