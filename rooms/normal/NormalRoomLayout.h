#pragma once

#include <QSize>

// The sizes of the normal class room's courseware and video panel for a window size. The courseware keeps the
// golden ratio (1.62) beside a panel of two 4:3 tiles stacked 10 pixels apart; in the desktop-share view the
// courseware alone keeps 16:9. Both fit below the title row, whose height is given.
namespace NormalRoomLayout {

struct Sizes
{
    QSize courseware;
    QSize videoPanel;
};

// The normal view of a window of that size whose lesson title is titleHeight high.
Sizes normalView(const QSize& window, int titleHeight);

// The courseware's size in the desktop-share view of a window of that size whose title row is titleRowHeight high.
QSize shareView(const QSize& window, int titleRowHeight);

} // namespace NormalRoomLayout
