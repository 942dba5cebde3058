#include "ui/updates/UpdatesResources.h"

#include "ui/common/UiResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerUpdatesResources()
{
    Q_INIT_RESOURCE(zm_ui_updates);
}

void UpdatesResources::ensureLoaded()
{
    UiResources::ensureLoaded();
    static std::once_flag once;
    std::call_once(once, registerUpdatesResources);
}
