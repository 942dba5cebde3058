#include "rooms/blocks/RoomClock.h"

#include <chrono>

namespace {

RoomClock::Source& currentSource()
{
    static RoomClock::Source source;
    return source;
}

} // namespace

qint64 RoomClock::nowMs()
{
    const Source& source = currentSource();
    if (source)
        return source();
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

void RoomClock::setSource(Source source)
{
    currentSource() = std::move(source);
}
