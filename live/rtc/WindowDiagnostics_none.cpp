#include "live/rtc/WindowDiagnostics.h"

NativeWindowState queryNativeWindow(quintptr)
{
    NativeWindowState state;
    state.error = QStringLiteral("not available in this build");
    return state;
}
