#include "rooms/public/PublicRoomLayout.h"

#include <algorithm>

namespace {

constexpr double kPageRatio = 1.62;
constexpr double kShareRatio = 16.0 / 9.0;
// Title bar and the grid's top spacing above the courseware, and the page's own title strip.
constexpr int kTopSpace = 88;
constexpr int kPageTitleStrip = 64;

int truncated(double value)
{
    return std::max(0, static_cast<int>(value));
}

} // namespace

PublicRoomLayout PublicRoomLayout::normalView(const QSize& window)
{
    const int width = window.width();
    const int height = window.height();
    PublicRoomLayout layout;
    const int byWidth = width - 60 - kRightPanelWidth - 30;
    const int byHeight = truncated((height - kTopSpace - kPageTitleStrip) * kPageRatio);
    const int cw = std::max(0, std::min(byWidth, byHeight));
    const int ch = truncated(cw / kPageRatio + kPageTitleStrip);
    layout.courseware = QSize(cw, ch);
    layout.margins = QMargins(30, 40, 30, 30);
    layout.rightPanelHeight = ch;
    layout.userPanelHeight = std::max(0, ch - kTeacherTileHeight - 30);
    return layout;
}

PublicRoomLayout PublicRoomLayout::shareView(const QSize& window)
{
    const int width = window.width();
    const int height = window.height();
    PublicRoomLayout layout;
    const int cw = std::max(0, std::min(width - 150, truncated((height - kTopSpace) * kShareRatio)));
    const int ch = truncated(cw / kShareRatio);
    layout.courseware = QSize(cw, ch);
    const int side = (width - cw) / 2;
    const int right = side < 120 ? (120 - side) * 2 + 30 : 30;
    layout.margins = QMargins(30, 40, right, 30);
    return layout;
}
