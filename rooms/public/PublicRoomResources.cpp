#include "rooms/public/PublicRoomResources.h"

#include "rooms/blocks/RoomBlocksResources.h"
#include "rooms/widgets/RoomWidgetsResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerPublicRoomResources()
{
    Q_INIT_RESOURCE(zm_room_public);
}

void PublicRoomResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RoomBlocksResources::ensureLoaded();
        RoomWidgetsResources::ensureLoaded();
        registerPublicRoomResources();
    });
}
