#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>

class OfflineLessonResDownloader;
class ZmMainRoomDlg;
class ZmClassRoomDlg;
class PublicClassRoom;
class SmallClassRoom;
class NormalClassReplayCtrl;
class PublicClassReplayCtrl;
class SmallClassReplay;

// The window router: decides which top-level window is open. It receives the application's start statuses
// (ZmAppStatusEvent, AppStartStatus 1 to 7) and window ends (ZmAppEvent, AppEventCode) on the GUI thread, opens
// the window of a new status before it closes the old one, and removes the start-up splash once the first real
// window shows. A widget without parent that is never shown; the application object owns it.
//
// Windows plug in through the open and close operations below, one pair per status. A window that is not built
// yet logs that it is not available and opens nothing: the current status, its window and the splash stay.
class ZmRouteManager : public QWidget
{
    Q_OBJECT

public:
    ZmRouteManager();
    ~ZmRouteManager() override;

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
    // started for that lesson or replay.
    void onAppEvent(int code);

    // "main window", "normal class room", ... for log lines; "unknown" for other values.
    static QString statusName(int status);

public slots:
    // The user gave up the download of a lesson package: a program started for a lesson or replay ends with
    // -1; from the home page nothing changes.
    void slotOfflineResDownloadUserCallOff(OfflineLessonResDownloader* pDownloader);

protected:
    bool event(QEvent* event) override;

    // Open operations: true when the window of the status is shown.
    virtual bool showMainRoom();
    virtual bool ShowClassRoom();
    virtual bool showPublicClassRoom();
    virtual bool showSmallClassRoom();
    virtual bool showNormalClassReplay();
    virtual bool showPublicClassReplay();
    virtual bool showSmallClassReplay();

    // Close operations; each does nothing when its window does not exist.
    virtual void hideMainRoom();  // on a status change: the main window only hides
    virtual void closeMainRoom(); // event code 2: the user leaves the program from the main window
    virtual void closeNormalClassRoom();
    virtual void closePublicClassRoom();
    virtual void closeSmallClassRoom();
    virtual void closeNormalClassReplay();
    virtual void closePublicClassReplay();
    virtual void closeSmallClassReplay();

    // The small class room and its replay need the lesson's offline package. True when it is in place; else
    // its download starts (and posts the status again when done) and false. One download per lesson: while
    // it is under way (running, or waiting for the user's answer after a failure) a further request is logged
    // and ignored.
    virtual bool lessonPackageReady(int status);

    // After a class room is closed and deleted: the run's logs go to object storage.
    virtual void afterClassRoomClosed();

    // Ends the event loop with exitCode; start-up's teardown then runs and the program exits with it.
    virtual void endProgram(int exitCode);

private slots:
    void onPackageDownloadEnd(OfflineLessonResDownloader* pDownloader);

private:
    bool openByStatus(int status);
    static bool notAvailable(int status);
    // A download has ended for good (its status is posted, or the user gave up): its lesson may download again.
    void packageDownloadDone(OfflineLessonResDownloader* downloader);

    // Package downloads under way, by lesson id.
    QHash<QString, QPointer<OfflineLessonResDownloader>> m_packageDownloads;

    // The windows, owned here; each pointer is set to null as soon as its object is deleted.
    ZmMainRoomDlg* m_pMainRoom = nullptr;
    ZmClassRoomDlg* m_pNormalClassRoom = nullptr;
    NormalClassReplayCtrl* m_pNormalClassReplay = nullptr;
    PublicClassRoom* m_pPublicClassRoom = nullptr;
    PublicClassReplayCtrl* m_pPublicClassReplay = nullptr;
    SmallClassRoom* m_pSmallClassRoom = nullptr;
    SmallClassReplay* m_pSmallClassReplay = nullptr;
    int m_curStatus = 0;
};
