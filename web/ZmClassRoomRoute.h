#pragma once

#include "web/ZmRouteManager.h"

#include <QString>
#include <QWidget>

#include <functional>

// The steps of a class room's row, the same for the normal, small and public rooms. The router keeps the room
// (ZmRouteManager::routedWindow of the row's status) and switches keep-awake and the log upload around the row.
//   open:  the member map is cleared; a room still kept is kept with keptRoomLog logged (when that text is not
//          empty) or else deleted; a new room is created, kept by the router and shown with show.
//   close: the teacher's muted-audio flag is cleared when the local user is the teacher; release (the room's
//          live resources), close() and delete; the router keeps nothing. False when there was no room.
struct ZmClassRoomSteps
{
    // A new room without parent.
    std::function<QWidget*()> create;
    // Shows a new room (its showRoom).
    std::function<void(QWidget* room)> show;
    // Releases the room's live resources before it closes (its releaseLiveResources).
    std::function<void(QWidget* room)> release;
    // Logged when an open finds a room still kept, which then stays; empty: that room is deleted first.
    QString keptRoomLog;
};

ZmWindowRoute zmClassRoomRoute(int status, ZmClassRoomSteps steps);

// The row of a room class with a constructor without arguments, showRoom() and releaseLiveResources(). A room
// library registers it from main, before start-up:
//     ZmRouteManager::registerWindowRoute(AppStartStatus_SmallClassRoom,
//                                         zmClassRoomRoute<SmallClassRoom>(AppStartStatus_SmallClassRoom));
// The normal room keeps a room it finds:
//     zmClassRoomRoute<ZmClassRoomDlg>(AppStartStatus_NormalClassRoom, "ShowClassRoom: m_pNormalClassRoom !=nullptr")
template <typename Room> ZmWindowRoute zmClassRoomRoute(int status, const QString& keptRoomLog = QString())
{
    ZmClassRoomSteps steps;
    steps.create = [] { return static_cast<QWidget*>(new Room()); };
    steps.show = [](QWidget* room) { static_cast<Room*>(room)->showRoom(); };
    steps.release = [](QWidget* room) { static_cast<Room*>(room)->releaseLiveResources(); };
    steps.keptRoomLog = keptRoomLog;
    return zmClassRoomRoute(status, std::move(steps));
}
