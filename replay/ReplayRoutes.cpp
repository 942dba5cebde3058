#include "replay/ReplayRoutes.h"

#include "app/ZmAppEvents.h"
#include "replay/controllers/NormalClassReplayCtrl.h"
#include "replay/controllers/PublicClassReplayCtrl.h"
#include "replay/windows/SmallClassReplay.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

namespace {

// Takes the replay of status back from the router: the one it kept, or null.
template <typename Replay> Replay* takeKept(ZmRouteManager& router, int status)
{
    auto* replay = qobject_cast<Replay*>(router.routedWindow(status));
    router.setRoutedWindow(status, nullptr);
    return replay;
}

// A composite replay's row: the composite is made without parent and kept by the router until its close.
template <typename Composite> ZmWindowRoute compositeRoute(int status, const char* name)
{
    ZmWindowRoute route;
    route.open = [status, name](ZmRouteManager& router) {
        delete takeKept<Composite>(router, status);
        auto* replay = new Composite;
        // A failure after the window is made is the window's to show; without a window nothing opened.
        if (!replay->init(nullptr, nullptr, nullptr))
            qWarning() << name << "init failed";
        if (!replay->window()) {
            delete replay;
            return false;
        }
        router.setRoutedWindow(status, replay);
        return true;
    };
    route.close = [status](ZmRouteManager& router) {
        Composite* replay = takeKept<Composite>(router, status);
        if (!replay)
            return false;
        replay->close();
        delete replay;
        return true;
    };
    return route;
}

} // namespace

ZmWindowRoute ReplayRoutes::normalClassReplayRoute()
{
    return compositeRoute<NormalClassReplayCtrl>(AppStartStatus_NormalClassReplay,
                                                 "ReplayRoutes: the normal-class replay's");
}

ZmWindowRoute ReplayRoutes::publicClassReplayRoute()
{
    return compositeRoute<PublicClassReplayCtrl>(AppStartStatus_PublicClassReplay,
                                                 "ReplayRoutes: the public-class replay's");
}

ZmWindowRoute ReplayRoutes::smallClassReplayRoute()
{
    constexpr int status = AppStartStatus_SmallClassReplay;
    ZmWindowRoute route;
    route.open = [](ZmRouteManager& router) {
        delete takeKept<SmallClassReplay>(router, status);
        auto* replay = new SmallClassReplay;
        router.setRoutedWindow(status, replay);
        replay->showMax();
        return true;
    };
    route.close = [](ZmRouteManager& router) {
        SmallClassReplay* replay = takeKept<SmallClassReplay>(router, status);
        if (!replay)
            return false;
        replay->whiteboard()->stopAll();
        // The window may be ended from inside its own entry run, which waits in a nested event loop with the
        // window on its stack: it goes once that run has returned.
        replay->hide();
        replay->deleteLater();
        return true;
    };
    return route;
}

void ReplayRoutes::registerAll()
{
    ZmRouteManager::registerWindowRoute(AppStartStatus_NormalClassReplay, normalClassReplayRoute());
    ZmRouteManager::registerWindowRoute(AppStartStatus_PublicClassReplay, publicClassReplayRoute());
    ZmRouteManager::registerWindowRoute(AppStartStatus_SmallClassReplay, smallClassReplayRoute());
}
