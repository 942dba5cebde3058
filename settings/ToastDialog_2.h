#pragma once

#include "ui/common/ToastDialog.h"

// A one-shot toast of the device check: centred on its parent widget, freed when its time is up.
class ToastDialog_2 : public ToastDialog
{
    Q_OBJECT

public:
    explicit ToastDialog_2(QWidget* parent = nullptr);

    void showToast(int type, const QString& text) override;
    void hideToast() override;
};
