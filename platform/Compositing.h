#pragma once

namespace Platform {

// True while a compositing manager runs on the X display of this process ($DISPLAY): it owns the selection
// "_NET_WM_CM_S<screen>". Without one, see-through windows show black where they paint nothing. False when there
// is no X display to ask.
bool compositingManagerRunning();

} // namespace Platform
