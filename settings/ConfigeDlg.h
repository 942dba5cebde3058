#pragma once

#include "ui/common/ModalDialog.h"

#include <map>
#include <string>

// Base of the two device dialogs (the device-check wizard and the in-class device settings): what a room reads in
// its done callback. The device kinds found on the not-recommended list (bits 1 camera, 2 microphone, 4 speaker)
// and the device selections the dialog changed, by settings key ("SelectedDeviceID/Camera") to the new id.
class ConfigeDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit ConfigeDlg(QWidget* parent = nullptr)
        : ModalDialog(parent)
    {
    }

    // The changed selections, ordered by key.
    virtual std::map<std::string, std::string>& changedDevices() = 0;

    int m_notRecommendDeviceTypes = 0;
};
