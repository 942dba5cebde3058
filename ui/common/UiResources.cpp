#include "ui/common/UiResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerUiCommonResources()
{
    Q_INIT_RESOURCE(zm_ui_common);
}

void UiResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, registerUiCommonResources);
}
