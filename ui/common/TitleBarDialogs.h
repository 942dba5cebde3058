#pragma once

class QDialog;
class QWidget;

// The dialogs the title bar opens that live above the common dialogs: the one-time feedback hint, the feedback
// form with its submission and acknowledgement, and the device-check wizard. The library that holds them installs
// an implementation at start-up; while none is installed each request is logged as not available.
class TitleBarDialogs
{
public:
    virtual ~TitleBarDialogs() = default;

    // The feedback hint, created hidden with the given parent; null when there is none.
    virtual QDialog* createFeedbackTip(QWidget* parent) = 0;

    // Opens the feedback form over parent without blocking; a submitted form is sent and acknowledged.
    virtual void openFeedbackForm(QWidget* parent) = 0;

    // Opens the device-check wizard over parent without blocking.
    virtual void openDeviceCheck(QWidget* parent) = 0;

    // The installed implementation, or the built-in one that only logs. Never null.
    static TitleBarDialogs* instance();

    // Installs the implementation for the whole process; not owned, it must outlive every title bar. Null
    // goes back to the built-in one. GUI thread.
    static void install(TitleBarDialogs* dialogs);
};
