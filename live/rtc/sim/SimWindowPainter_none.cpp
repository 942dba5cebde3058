#include "live/rtc/sim/SimWindowPainter.h"

#include <QDebug>

// Builds without X11: frames reach the observer, windows stay as they are.
struct SimWindowPainter::Impl
{
    bool reported = false;
};

SimWindowPainter::SimWindowPainter()
    : d(std::make_unique<Impl>())
{
}

SimWindowPainter::~SimWindowPainter() = default;

bool SimWindowPainter::paint(agora::rtc::view_t window, const I420Frame&, int, bool)
{
    if (window != 0 && !d->reported) {
        d->reported = true;
        qWarning() << "SimWindowPainter this build paints no video into windows";
    }
    return false;
}

void SimWindowPainter::forget(agora::rtc::view_t) {}
