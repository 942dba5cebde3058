#pragma once

#include <QWidget>

// What a media player draws its video into: a native window it asks for before it opens a medium.
class VlcVideoDelegate
{
public:
    virtual ~VlcVideoDelegate() = default;

    // The native window (an X11 window id here) the video goes into.
    virtual WId request() = 0;
    // The player no longer draws into it.
    virtual void release() = 0;
};
