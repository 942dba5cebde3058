#pragma once

class QWidget;

// Opens the device-check wizard over parent without blocking; the wizard deletes itself when it ends.
void openDeviceCheckWizard(QWidget* parent);
