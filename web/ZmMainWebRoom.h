#pragma once

#include "ui/common/WattingDlg.h"

#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

class HomePageBridge;
class QWebChannel;

// The home page view of the main window (sign-in, lesson list, replays). The page talks to the program only by
// writing the six text properties below on the channel object "vovozuzo" (a HomePageBridge: the page reaches nothing
// else of the view); from them the view fills the application data, tells the main window about sign-in, sign-out and
// a lesson to enter, and asks the window router for a replay. The program talks back only through a heartbeat,
// "window.userExpired()", run while the main window is hidden behind a class room or replay, so that the page can
// check its sign-in. A loading indicator shows while a page loads. GUI thread only.
class ZmMainWebRoom : public QWebEngineView
{
    Q_OBJECT

public:
    static constexpr int kHeartbeatIntervalMs = 600000;
    // For a main-room address on the internal test network ("10.0.").
    static constexpr int kTestNetworkHeartbeatIntervalMs = 60000;

    explicit ZmMainWebRoom(QWidget* parent = nullptr);
    ~ZmMainWebRoom() override;

    // The heartbeat interval for a main-room address.
    static int heartbeatIntervalFor(const QString& mainRoomAddress);

    // Publishes the bridge on the page's web channel as "vovozuzo". Once, by the main window.
    void initWebChannel();

    // Stops a running load, remembers the address and loads it.
    void loadAddress(const QUrl& url);
    // Stops a running load and loads the remembered address again.
    void reloadAddress();
    QString currentAddress() const { return m_currentAddress; }

    // The heartbeat: start runs one beat at once, then one per interval; stop ends it.
    void startHeartbeat();
    void stopHeartbeat();
    bool isHeartbeatRunning() const { return m_heartbeat.isActive(); }
    int heartbeatInterval() const { return m_heartbeat.interval(); }

    // What the page wrote last; openzoomurl is never stored and reads empty.
    QString openzoomurl() const { return QString(); }
    QString pageloaded() const { return m_pageLoaded; }
    QString loginsuccess() const { return m_loginSuccess; }
    QString enterroom() const { return m_enterRoom; }
    QString initfilepage() const { return m_initFilePage; }
    QString enterreplayer() const { return m_enterReplayer; }

    // The page's writes (see HomePageWrites for what each text means to the application data).
    // Opens an http or https address with the desktop's handler; any other address is refused and logged.
    void setopenzoomurl(const QString& text);
    // Stored and logged only.
    void setpageloaded(const QString& text);
    // User id and token; sig_webLoginSuccess when the sign-in succeeded.
    void setloginsuccess(const QString& text);
    // The lesson to enter; sig_webGotoLesson in any case.
    void setenterroom(const QString& text);
    // The page is back on its start page: nobody is signed in; sig_webLeaveSuccess.
    void setinitfilepage(const QString& text);
    // The replay to play: its start status is posted to the window router.
    void setenterreplayer(const QString& text);

    // The loading indicator (tests).
    WattingDlg* loadingIndicator() { return &m_loadingIndicator; }

signals:
    void sig_webLoginSuccess();
    void sig_webLeaveSuccess();
    void sig_webGotoLesson();

public slots:
    void slotWebEngine_LoadStarted();
    void slotWebEngine_loadProgress(int progress);
    void slotWebEngine_loadFinished(bool ok);
    void onHeartbeat();

private:
    // Stores a written text and logs it with its credentials masked.
    void storeWrite(QString& field, const char* property, const QString& text);

    QWebChannel* m_channel = nullptr;
    HomePageBridge* m_bridge = nullptr;
    WattingDlg m_loadingIndicator;
    QUrl m_currentUrl;
    QString m_currentAddress; // its text, as logged
    QString m_pageLoaded;
    QString m_loginSuccess;
    QString m_enterRoom;
    QString m_initFilePage;
    QString m_enterReplayer;
    QTimer m_heartbeat;
};
