#pragma once

#include "ui/common/ModalDialog.h"

#include <map>
#include <string>

// Base of the two device dialogs (the device-check wizard and the in-class device settings dialog): what an accepted
// dialog hands its opener. The rooms read both in their done callback when the result is 1.
class ConfigeDlg : public ModalDialog
{
    Q_OBJECT

public:
    // Settings key ("SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT") -> the newly
    // chosen device id, both UTF-8.
    using ChangedDevices = std::map<std::string, std::string>;

    explicit ConfigeDlg(QWidget* parent = nullptr);

    // The chosen devices found on the not-recommended lists (NotRecommendDeviceType bits: 1 camera, 2 microphone,
    // 4 speaker); 0 until a submission finds one.
    int notRecommendDeviceTypes() const { return m_notRecommendDeviceTypes; }

    // The device selections the user changed; empty when none changed.
    virtual ChangedDevices& changedDevices() = 0;

protected:
    int m_notRecommendDeviceTypes = 0;
};
