#pragma once

#include <QString>
#include <QtGlobal>

// Where a native window is on the screen and whether it is shown, for log lines about the windows the engine
// draws into. Any thread.
struct NativeWindowState
{
    bool readable = false; // false: error tells why
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool visible = false;
    QString error;
};

NativeWindowState queryNativeWindow(quintptr window);
