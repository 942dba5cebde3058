#pragma once

#include "platform/SystemSleepBlocker.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

class OfflineLessonResDownloader;
class ZmMainRoomDlg;
class ZmRouteManager;

// How the router opens and closes the window of one start status (a class room or a replay). The window's
// library registers it (see ZmRouteManager::registerWindowRoute; the class rooms build theirs with
// zmClassRoomRoute, web/ZmClassRoomRoute.h). A row may keep its window with the router (setRoutedWindow).
struct ZmWindowRoute
{
    // Creates and shows the window; true when it is shown.
    std::function<bool(ZmRouteManager& router)> open;
    // Releases the window's resources, closes and deletes it; true when there was a window to close.
    std::function<bool(ZmRouteManager& router)> close;
};

// The window router: decides which top-level window is open. It receives the application's start statuses
// (ZmAppStatusEvent, AppStartStatus 1 to 7) and window ends (ZmAppEvent, AppEventCode) on the GUI thread, opens
// the window of a new status before it closes the old one, and removes the start-up splash once the first real
// window shows. A widget without parent that is never shown; the application object owns it.
//
// The main window is the router's own. The class rooms and replays plug in through a table status -> {open,
// close} that their libraries fill at start-up, so this library never includes theirs. A status without a row
// logs that its window is not available and opens nothing: the current status, its window and the splash stay.
//
// Around the rows the router does what is the same for all of them:
// - Keep-awake: the system and the display stay awake while a room or replay is open. It is switched on before a
//   row's open (and off again when that open fails while no room or replay is current) and off before a row's
//   close, except when the close is part of a switch to another room or replay, which keeps it on throughout.
// - The log upload: after a class room's close has closed a window, the run's logs go up (afterClassRoomClosed),
//   before the new status is stored. It runs when the room closes in a switch (also back to the main window
//   when the room ends) and for closeByStatus; a room that ends in a program started for that lesson (app type
//   1) closes without it.
class ZmRouteManager : public QWidget
{
    Q_OBJECT

public:
    ZmRouteManager();
    // Deletes the windows the rows still keep and the main window; the system may sleep again.
    ~ZmRouteManager() override;

    // Registers the open and close of a class room or replay status (2 to 7) for every router created from
    // then on; called from main before start-up, GUI thread. A route without open removes the row. False (and
    // nothing registered) for any other status.
    static bool registerWindowRoute(int status, ZmWindowRoute route);

    // This router's row of status, as registerWindowRoute.
    bool setWindowRoute(int status, ZmWindowRoute route);
    bool hasWindowRoute(int status) const { return m_routes.count(status) != 0; }

    // The window (or replay controller) a row keeps for its status: created without parent, owned by the
    // router until the row takes it back (set null) or the router is destroyed. Null when there is none, also
    // once it was deleted elsewhere. Setting a window for a status without a row changes nothing.
    QObject* routedWindow(int status) const;
    void setRoutedWindow(int status, QObject* window);

    // Nothing to set up; kept as the application object's call after creating the router.
    void init();

    // The status now shown (AppStartStatus); 0 until the first window opens.
    int currentStatus() const { return m_curStatus; }

    // Switches to status: opens its window, removes the splash, closes the window of the old status and makes
    // status current. A status equal to the current one, an unknown one, one whose window could not be opened,
    // or a small class (or its replay) whose lesson package is being downloaded first changes nothing.
    void showByStatus(int status);
    // Closes the window of status (the main window is hidden); nothing when it has no window.
    void closeByStatus(int status);
    // A window has ended (AppEventCode): back to the main window, or the end of the program when it was
    // started for that lesson or replay (with ExitStatus_ClassEntryGivenUp after a class entry given up).
    void onAppEvent(int code);
    // For an exit on a signal, after the event loop has ended: closes the current room or replay without the log
    // upload, so that nothing waits on the network. The main window stays as it is.
    void closeForExit();

    // "main window", "normal class room", ... for log lines; "unknown" for other values.
    static QString statusName(int status);

    // The router made last that still exists, or null. The windows below the application object reach it here.
    static ZmRouteManager* current();
    // Posts a window end (AppEventCode) to current(); dropped, with a warning, while there is none. GUI thread.
    static void postAppEvent(int code);
    // Posts a start status (AppStartStatus) to current(); dropped, with a warning, while there is none. GUI thread.
    static void postAppStatusEvent(int status);

    // The main window, once the router has created it (it keeps it until the router goes).
    ZmMainRoomDlg* mainRoom() const;

public slots:
    // The user gave up the download of a lesson package: a program started for a lesson or replay ends with
    // -1; from the home page nothing changes.
    void slotOfflineResDownloadUserCallOff(OfflineLessonResDownloader* pDownloader);

protected:
    bool event(QEvent* event) override;

    // The main window's operations. Open creates it on the first request and shows it (true); the home page loads
    // on the first show and again on each return from a class room, not from a replay. Hide on a status change
    // (the window and its page stay; the page's heartbeat runs meanwhile). Close on event code 2 (the user leaves
    // the program from the main window): with no other window left, the event loop ends.
    virtual bool showMainRoom();
    virtual void hideMainRoom();
    virtual void closeMainRoom();

    // The small class room and its replay need the lesson's offline package. True when it is in place; else
    // its download starts (and posts the status again when done) and false. One download per lesson: while
    // it is under way (running, or waiting for the user's answer after a failure) a further request is logged
    // and ignored.
    virtual bool lessonPackageReady(int status);

    // After a class room is closed and deleted: the run's logs go to object storage.
    virtual void afterClassRoomClosed();

    // Keeps the system and the display awake, or lets them sleep again; idempotent.
    virtual void setSleepBlocked(bool blocked);

    // Ends the event loop with exitCode; start-up's teardown then runs and the program exits with it. Windows
    // closed afterwards no longer end the loop.
    virtual void endProgram(int exitCode);

    // Logs that the window of status is not available; false.
    static bool notAvailable(int status);

private slots:
    void onPackageDownloadEnd(OfflineLessonResDownloader* pDownloader);

private:
    // A download has ended for good (its status is posted, or the user gave up): its lesson may download again.
    void packageDownloadDone(OfflineLessonResDownloader* downloader);

    // Package downloads under way, by lesson id.
    QHash<QString, QPointer<OfflineLessonResDownloader>> m_packageDownloads;

    enum class LogUpload
    {
        AfterClassRoom,
        None
    };

    bool openByStatus(int status);
    // Closes the window of status while the window of next stays or comes (0: none).
    void closeWindow(int status, int next);
    // Runs the close of a room or replay row; keep-awake stays on while next is a room or replay.
    void closeRoute(int status, int next, LogUpload upload);

    std::map<int, ZmWindowRoute> m_routes;
    std::map<int, QPointer<QObject>> m_windows;
    Platform::SystemSleepBlocker m_sleepBlocker;
    // The main window, owned here; null once it is deleted.
    QPointer<ZmMainRoomDlg> m_pMainRoom;
    int m_curStatus = 0;
};
