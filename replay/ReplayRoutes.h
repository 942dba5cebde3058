#pragma once

struct ZmWindowRoute;

// The window router's rows of the replays: normal-class (start status 5), public-class (6) and small-class (7).
// Each row's open deletes a replay of its kind that still exists and makes a new one; its close closes and
// deletes it.
namespace ReplayRoutes {

ZmWindowRoute normalClassReplayRoute();
ZmWindowRoute publicClassReplayRoute();
ZmWindowRoute smallClassReplayRoute();

// Registers the rows for every router (ZmRouteManager::registerWindowRoute); called from main.
void registerAll();

} // namespace ReplayRoutes
