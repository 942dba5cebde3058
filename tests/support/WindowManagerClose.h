#pragma once

class QWidget;

namespace ZmTest {

// Closes a shown top-level widget the way a window manager does (its close button, Alt+F4): a WM_DELETE_WINDOW
// message to the widget's X window, which reaches the widget as a spontaneous close event. False without an X
// display.
bool sendWindowManagerClose(QWidget* window);

} // namespace ZmTest
