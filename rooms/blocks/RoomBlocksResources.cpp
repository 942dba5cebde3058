#include "rooms/blocks/RoomBlocksResources.h"

#include "ui/common/UiResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerRoomBlocksResources()
{
    Q_INIT_RESOURCE(zm_room_blocks);
}

void RoomBlocksResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, [] {
        UiResources::ensureLoaded();
        registerRoomBlocksResources();
    });
}
