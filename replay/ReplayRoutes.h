#pragma once

struct ZmWindowRoute;

// The window router's rows of the replays: normal-class (start status 5), public-class (6) and small-class (7).
// Each row's open deletes a replay of its kind that the router still keeps and makes a new one, which the router
// keeps (ZmRouteManager::routedWindow); its close takes it back, closes and deletes it.
namespace ReplayRoutes {

ZmWindowRoute normalClassReplayRoute();
ZmWindowRoute publicClassReplayRoute();
ZmWindowRoute smallClassReplayRoute();

// Registers the rows for every router (ZmRouteManager::registerWindowRoute); called from main.
void registerAll();

} // namespace ReplayRoutes
