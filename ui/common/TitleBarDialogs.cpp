#include "ui/common/TitleBarDialogs.h"

#include <QDebug>

namespace {

// Stands in while no library has installed the real dialogs.
class UnavailableTitleBarDialogs : public TitleBarDialogs
{
public:
    QDialog* createFeedbackTip(QWidget*) override
    {
        qInfo() << "TitleBarDialogs::createFeedbackTip the feedback hint is not available";
        return nullptr;
    }

    void openFeedbackForm(QWidget*) override
    {
        qInfo() << "TitleBarDialogs::openFeedbackForm the feedback form is not available";
    }

    void openDeviceCheck(QWidget*) override
    {
        qInfo() << "TitleBarDialogs::openDeviceCheck the device-check wizard is not available";
    }
};

UnavailableTitleBarDialogs s_unavailable;
TitleBarDialogs* s_installed = nullptr;

} // namespace

TitleBarDialogs* TitleBarDialogs::instance()
{
    return s_installed ? s_installed : &s_unavailable;
}

void TitleBarDialogs::install(TitleBarDialogs* dialogs)
{
    s_installed = dialogs;
}
