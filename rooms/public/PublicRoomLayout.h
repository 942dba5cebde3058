#pragma once

#include <QMargins>
#include <QSize>

// Where the public class room puts its parts for a window size. Two views: the normal one (courseware page on the
// left at 1.62 : 1 plus a 64-pixel title strip, teacher tile and member list on the right) and the share view
// (the teacher's shared screen alone at 16 : 9, centred by the right margin). Divisions truncate towards zero;
// sizes never go below 0.
struct PublicRoomLayout
{
    static constexpr int kRightPanelWidth = 320;
    static constexpr int kTeacherTileHeight = 240;

    QSize courseware;
    // The margins of the room's grid layout (left, top, right, bottom).
    QMargins margins;
    // Normal view only (0 in the share view): the right panel's height and the member panel's below the tile.
    int rightPanelHeight = 0;
    int userPanelHeight = 0;

    static PublicRoomLayout normalView(const QSize& window);
    static PublicRoomLayout shareView(const QSize& window);
    static PublicRoomLayout forView(bool shareView, const QSize& window)
    {
        return shareView ? PublicRoomLayout::shareView(window) : normalView(window);
    }
};
