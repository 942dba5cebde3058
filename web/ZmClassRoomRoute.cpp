#include "web/ZmClassRoomRoute.h"

#include "app/AppGlobalData.h"

#include <QDebug>
#include <QPointer>

ZmWindowRoute zmClassRoomRoute(int status, ZmClassRoomSteps steps)
{
    ZmWindowRoute route;
    route.open = [status, steps](ZmRouteManager& router) {
        AppGlobalData::instance()->clearUsers();
        if (QObject* kept = router.routedWindow(status)) {
            if (!steps.keptRoomLog.isEmpty()) {
                qInfo().noquote() << steps.keptRoomLog;
                return true;
            }
            router.setRoutedWindow(status, nullptr);
            delete kept;
        }
        QWidget* room = steps.create();
        router.setRoutedWindow(status, room);
        steps.show(room);
        return true;
    };
    route.close = [status, release = steps.release](ZmRouteManager& router) {
        AppGlobalData* data = AppGlobalData::instance();
        if (data->isTeacher())
            data->teacherAudioMuted = false;
        QPointer<QWidget> room = qobject_cast<QWidget*>(router.routedWindow(status));
        if (!room)
            return false;
        release(room);
        // Null when the room went away during its release.
        if (room) {
            room->close();
            delete room.data();
        }
        router.setRoutedWindow(status, nullptr);
        return true;
    };
    return route;
}
