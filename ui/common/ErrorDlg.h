#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class ErrorDlg;
}

// The final failure notice of the class entry (and, with its texts replaced, other notices that end
// something): an error icon, a head line, two text lines and "I know". Ends with 2602, or 0 on Escape.
class ErrorDlg : public ModalDialog
{
    Q_OBJECT

public:
    enum Result
    {
        ResultAcknowledged = 2602
    };

    explicit ErrorDlg(QWidget* parent = nullptr);
    ~ErrorDlg() override;

    void setMessage(const QString& headLine, const QString& firstLine, const QString& secondLine);
    void setButtonText(const QString& text);
    void hideFirstWidget();

    // Appends " [Code: <code>]" to the second line when the step's error code is not 0.
    void setErrorCode(unsigned int stepType, int stepResult, int stepDetail);

    // The error code that names a failed class-entry step and the kind of failure; 0 when there is none.
    static int errorCodeFor(unsigned int stepType, int stepResult, int stepDetail);
    // True while the class-entry steps run because a selected device was unplugged.
    static bool isDeviceUnpluggedRun();

private slots:
    void on_iknowBtn_pressed();

private:
    Ui::ErrorDlg* ui;
};
