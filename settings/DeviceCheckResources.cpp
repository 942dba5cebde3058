#include "settings/DeviceCheckResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerSettingsResources()
{
    Q_INIT_RESOURCE(zm_settings);
}

void DeviceCheckResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, registerSettingsResources);
}
