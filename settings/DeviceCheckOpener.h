#pragma once

#include <functional>

class CheckSystemDlg;
class QWidget;

// Opens the device-check wizard over parent without blocking and returns it. canClose false hides its close
// buttons (the check cannot be left before its end). When the wizard ends it is deleted later, after onDone (when
// given) has run with its result (1 finished or report sent, 0 left early).
CheckSystemDlg* openDeviceCheckWizard(QWidget* parent, bool canClose = true,
                                      std::function<void(int result)> onDone = nullptr);
