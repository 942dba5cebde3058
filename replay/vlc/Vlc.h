#pragma once

// Values of the video layer over libvlc.
namespace Vlc {

// A media player's state; the numbers are libvlc's own.
enum State : int
{
    Idle = 0,
    Opening = 1,
    Buffering = 2,
    Playing = 3,
    Paused = 4,
    Stopped = 5,
    Ended = 6,
    Error = 7,
};

// The least severe libvlc message an instance passes to the program's log; libvlc's own numbers, and one above
// them that passes nothing.
enum LogLevel : int
{
    DebugLevel = 0,
    NoticeLevel = 2,
    WarningLevel = 3,
    ErrorLevel = 4,
    DisabledLevel = 5,
};

} // namespace Vlc
