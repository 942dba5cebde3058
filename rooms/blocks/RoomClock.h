#pragma once

#include <QtGlobal>

#include <functional>

// Milliseconds on a monotonic clock: the click windows and the award's sound bound of the room widgets measure
// with it. The program reads the system's steady clock; a test puts a clock of its own in place and moves it by
// hand. GUI thread only.
namespace RoomClock {

using Source = std::function<qint64()>;

// The current time of the clock in use.
qint64 nowMs();

// Replaces the clock (tests); an empty source puts the system clock back.
void setSource(Source source);

} // namespace RoomClock
