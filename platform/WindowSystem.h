#pragma once

#include <QByteArray>

namespace Platform {

// The window-system plug-in the program asks the toolkit for, given the environment: empty leaves the choice to
// the toolkit. The RTC engine renders video into native child windows, which needs X11: with an X display (also
// XWayland inside a Wayland session) the program runs on "xcb"; an explicit QT_QPA_PLATFORM always wins.
QByteArray windowSystemFor(const QByteArray& qpaPlatform, const QByteArray& display);

// Applies windowSystemFor() to this process's environment. Call before the application object exists.
void chooseWindowSystem();

} // namespace Platform
