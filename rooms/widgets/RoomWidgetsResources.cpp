#include "rooms/widgets/RoomWidgetsResources.h"

#include "ui/common/UiResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerRoomWidgetsResources()
{
    Q_INIT_RESOURCE(zm_room_widgets);
}

void RoomWidgetsResources::ensureLoaded()
{
    UiResources::ensureLoaded();
    static std::once_flag once;
    std::call_once(once, registerRoomWidgetsResources);
}
