#include "rooms/small/SmallRoomResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerSmallRoomResources()
{
    Q_INIT_RESOURCE(zm_room_small);
}

void SmallRoomResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, registerSmallRoomResources);
}
