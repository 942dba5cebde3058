#include "replay/ReplayRoutes.h"

#include "app/ZmAppEvents.h"
#include "replay/controllers/NormalClassReplayCtrl.h"
#include "replay/controllers/PublicClassReplayCtrl.h"
#include "web/ZmRouteManager.h"

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

void ReplayRoutes::registerAll()
{
    ZmRouteManager::registerWindowRoute(AppStartStatus_NormalClassReplay, normalClassReplayRoute());
    ZmRouteManager::registerWindowRoute(AppStartStatus_PublicClassReplay, publicClassReplayRoute());
}
