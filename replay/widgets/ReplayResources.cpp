#include "replay/widgets/ReplayResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerReplayResources()
{
    Q_INIT_RESOURCE(zm_replay);
}

void ReplayResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, registerReplayResources);
}
