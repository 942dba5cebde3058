#include "rooms/public/PublicClassRoomRoute.h"

#include "app/ZmAppEvents.h"
#include "rooms/public/PublicClassRoom.h"
#include "web/ZmClassRoomRoute.h"

void registerPublicClassRoomRoute()
{
    ZmRouteManager::registerWindowRoute(AppStartStatus_PublicClassRoom,
                                        zmClassRoomRoute<PublicClassRoom>(AppStartStatus_PublicClassRoom));
}
