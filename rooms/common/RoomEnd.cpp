#include "rooms/common/RoomEnd.h"

#include "app/ZmAppEvents.h"
#include "web/ZmRouteManager.h"

#include <QApplication>
#include <QDebug>

void postClassRoomEnded()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (auto* router = qobject_cast<ZmRouteManager*>(window)) {
            QCoreApplication::postEvent(router, new ZmAppEvent(AppEventCode_ClassRoomEnded));
            return;
        }
    }
    qWarning() << "postClassRoomEnded no window router: the end of the class room is dropped";
}
