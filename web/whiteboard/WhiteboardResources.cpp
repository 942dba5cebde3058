#include "web/whiteboard/WhiteboardResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must stand outside every namespace.
static void registerWhiteboardResources()
{
    Q_INIT_RESOURCE(zm_whiteboard);
}

void WhiteboardResources::ensureLoaded()
{
    static std::once_flag once;
    std::call_once(once, registerWhiteboardResources);
}
