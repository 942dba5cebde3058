#include "settings/SettingsResources.h"

#include "ui/common/UiResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerSettingsResources()
{
    Q_INIT_RESOURCE(zm_settings);
}

void SettingsResources::ensureLoaded()
{
    UiResources::ensureLoaded();
    static std::once_flag once;
    std::call_once(once, registerSettingsResources);
}
