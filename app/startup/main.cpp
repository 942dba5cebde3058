#include "app/startup/Startup.h"
#include "replay/ReplayRoutes.h"
#include "rooms/normal/NormalClassRoomRoute.h"
#include "rooms/public/PublicClassRoomRoute.h"
#include "rooms/small/SmallClassRoomRoute.h"
#include "settings/TitleBarDialogs_Imp.h"

int main(int argc, char* argv[])
{
    // Every room window's title bar opens the feedback and device-check dialogs of the settings library.
    TitleBarDialogs_Imp::installForProcess();
    // The class rooms and replays register their windows with the router here
    // (ZmRouteManager::registerWindowRoute) as their libraries arrive.
    registerNormalClassRoomRoute();
    registerPublicClassRoomRoute();
    registerSmallClassRoomRoute();
    ReplayRoutes::registerAll();
    return runApplication(argc, argv);
}
