#include "rooms/small/SmallClassRoomRoute.h"

#include "app/ZmAppEvents.h"
#include "rooms/small/SmallClassRoom.h"
#include "web/ZmClassRoomRoute.h"

void registerSmallClassRoomRoute()
{
    ZmRouteManager::registerWindowRoute(AppStartStatus_SmallClassRoom,
                                        zmClassRoomRoute<SmallClassRoom>(AppStartStatus_SmallClassRoom));
}
