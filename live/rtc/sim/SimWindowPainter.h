#pragma once

#include "live/rtc/engine/RtcEngineTypes.h"
#include "live/rtc/sim/I420Frame.h"

#include <memory>

// Paints video frames into native windows by their handles, from the engine's video thread, the way the real
// engine draws into the windows the program binds. One painter is used by one thread.
class SimWindowPainter
{
public:
    SimWindowPainter();
    ~SimWindowPainter();

    SimWindowPainter(const SimWindowPainter&) = delete;
    SimWindowPainter& operator=(const SimWindowPainter&) = delete;

    // Paints frame over the whole window (render mode 1 fills and crops, 2 fits). False when the window is gone,
    // or when no display can be reached (logged once).
    bool paint(agora::rtc::view_t window, const I420Frame& frame, int renderMode, bool mirror);

    // Frees what the painter keeps for a window it will not paint again.
    void forget(agora::rtc::view_t window);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
