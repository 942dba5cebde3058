#include "rooms/normal/NormalRoomLayout.h"

#include <algorithm>

namespace {

// The window's margins and spacing around the courseware and the video panel: 10 left, 10 between, 10 right;
// 40 above the title row, 25 below the panels.
constexpr int kHorizontalChrome = 30;
constexpr int kVerticalChrome = 65;
constexpr double kGolden = 1.62;
// The courseware width that leaves a panel of two stacked 4:3 tiles exactly as high as the courseware:
// (W + 20 / 3) / (1 + 1 / (1.5 * 1.62)).
constexpr double kPanelOffset = 6.6666667;
constexpr double kWidthDivisor = 1.4115226;
constexpr double kTileAspect = 1.3333334;

constexpr int kShareHorizontalChrome = 60;
constexpr double kWide = 1.7777778;

int nonNegative(double value)
{
    return std::max(0, int(value));
}

} // namespace

NormalRoomLayout::Sizes NormalRoomLayout::normalView(const QSize& window, int titleHeight)
{
    const int W = window.width() - kHorizontalChrome;
    const int H = window.height() - kVerticalChrome - titleHeight;
    const int a = int((W + kPanelOffset) / kWidthDivisor + 0.5);
    const int b = int(H * kGolden + 0.5);
    Sizes sizes;
    if (a <= b) {
        const int cw = std::max(0, a);
        const int ch = nonNegative(cw / kGolden);
        sizes.courseware = QSize(cw, ch);
        sizes.videoPanel = QSize(std::max(0, W - cw), ch);
    } else {
        const int cw = std::max(0, b);
        const int ch = nonNegative(cw / kGolden);
        sizes.courseware = QSize(cw, ch);
        sizes.videoPanel = QSize(nonNegative(((H - 10) / 2) * kTileAspect), ch);
    }
    return sizes;
}

QSize NormalRoomLayout::shareView(const QSize& window, int titleRowHeight)
{
    const int w = window.width() - kShareHorizontalChrome;
    // The height below the title row, inside the window's margins (a 23-pixel row leaves height - 88).
    const int h = window.height() - kVerticalChrome - titleRowHeight;
    const int s = std::max(0, std::min(w, int(h * kWide)));
    return QSize(s, nonNegative(s / kWide));
}
