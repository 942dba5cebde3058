#include "replay/ReplayRoutes.h"

#include "app/ZmAppEvents.h"
#include "replay/controllers/NormalClassReplayCtrl.h"
#include "replay/controllers/PublicClassReplayCtrl.h"
#include "replay/windows/SmallClassReplay.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>
#include <QPointer>

#include <memory>

namespace {

// A composite replay's row: the composite is made without parent and owned by the row until its close.
template <typename Composite> ZmWindowRoute compositeRoute(const char* name)
{
    auto current = std::make_shared<QPointer<Composite>>();
    ZmWindowRoute route;
    route.open = [current, name](ZmRouteManager&) {
        delete current->data();
        auto* replay = new Composite;
        *current = replay;
        // A failure after the window is made is the window's to show; without a window nothing opened.
        if (!replay->init(nullptr, nullptr, nullptr))
            qWarning() << name << "init failed";
        if (replay->window())
            return true;
        delete replay;
        *current = nullptr;
        return false;
    };
    route.close = [current](ZmRouteManager&) {
        Composite* replay = current->data();
        if (!replay)
            return false;
        replay->close();
        delete replay;
        *current = nullptr;
        return true;
    };
    return route;
}

} // namespace

ZmWindowRoute ReplayRoutes::normalClassReplayRoute()
{
    return compositeRoute<NormalClassReplayCtrl>("ReplayRoutes: the normal-class replay's");
}

ZmWindowRoute ReplayRoutes::publicClassReplayRoute()
{
    return compositeRoute<PublicClassReplayCtrl>("ReplayRoutes: the public-class replay's");
}

ZmWindowRoute ReplayRoutes::smallClassReplayRoute()
{
    auto current = std::make_shared<QPointer<SmallClassReplay>>();
    ZmWindowRoute route;
    route.open = [current](ZmRouteManager&) {
        delete current->data();
        auto* replay = new SmallClassReplay;
        *current = replay;
        replay->showMax();
        return true;
    };
    route.close = [current](ZmRouteManager&) {
        SmallClassReplay* replay = current->data();
        if (!replay)
            return false;
        *current = nullptr;
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
