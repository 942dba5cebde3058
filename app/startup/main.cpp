#include "app/ZmAppEvents.h"
#include "app/startup/Startup.h"
#include "rooms/public/PublicClassRoom.h"
#include "settings/TitleBarDialogs_Imp.h"
#include "web/ZmClassRoomRoute.h"

int main(int argc, char* argv[])
{
    // Every room window's title bar opens the feedback and device-check dialogs of the settings library.
    TitleBarDialogs_Imp::installForProcess();
    // The class rooms and replays register their windows with the router here
    // (ZmRouteManager::registerWindowRoute) as their libraries arrive.
    ZmRouteManager::registerWindowRoute(AppStartStatus_PublicClassRoom,
                                        zmClassRoomRoute<PublicClassRoom>(AppStartStatus_PublicClassRoom));
    return runApplication(argc, argv);
}
