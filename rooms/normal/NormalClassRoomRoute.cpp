#include "rooms/normal/NormalClassRoomRoute.h"

#include "app/ZmAppEvents.h"
#include "rooms/normal/ZmClassRoomDlg.h"
#include "web/ZmClassRoomRoute.h"

void registerNormalClassRoomRoute()
{
    ZmRouteManager::registerWindowRoute(
        AppStartStatus_NormalClassRoom,
        zmClassRoomRoute<ZmClassRoomDlg>(AppStartStatus_NormalClassRoom,
                                         QStringLiteral("ShowClassRoom: m_pNormalClassRoom !=nullptr")));
}
