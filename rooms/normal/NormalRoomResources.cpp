#include "rooms/normal/NormalRoomResources.h"

#include "rooms/blocks/RoomBlocksResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerNormalRoomResources()
{
    Q_INIT_RESOURCE(zm_room_normal);
}

void NormalRoomResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RoomBlocksResources::ensureLoaded();
        registerNormalRoomResources();
    });
}
