#pragma once

#include <QMap>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>

#include <memory>
#include <set>

class PPTFailLoadTips;
struct PageMessage;
class QImage;
class QLabel;
class QWebChannel;
class WhiteboardBridge;

namespace Ui {
class Whiteboard;
}

// The courseware and whiteboard web page of a class room or lesson replay. It hosts the page in an embedded
// browser view under an optional lesson title, publishes a bridge object to the page as "vovozuzo", turns the
// page's messages into signals for the window that holds it, and runs the window's messages and commands in the
// page as script calls. A picture covers the page until its first load finishes (and holds a freeze frame); a
// load-failure panel can cover it too. GUI thread only.
//
// The page sees the bridge (WhiteboardBridge) with the properties, signals and slots below, never this widget.
class Whiteboard : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint16 boardloaded READ boardloaded WRITE setboardloaded)
    Q_PROPERTY(QString JsPostMessage READ JsPostMessage WRITE setJsPostMessage)

public:
    // Also switches on, for every page of the program, local content reaching remote and file addresses, local
    // storage, JavaScript and plug-ins; with the language "cn" the default locale and the browser's
    // Accept-Language become "zh-CN".
    explicit Whiteboard(QWidget* parent = nullptr);
    ~Whiteboard() override;

    // The page's buffer progress in percent. Writing exactly 100 emits sigWhiteboardBufferFinished(true), every
    // time.
    quint16 boardloaded() const { return m_bufferPercent; }
    void setboardloaded(quint16 percent);

    // The last message text the page wrote. Writing one stores, logs and dispatches it.
    QString JsPostMessage() const { return m_pageMessage; }
    void setJsPostMessage(const QString& message);

    // Loads the address (parsed in tolerant mode) into the view.
    void loadUrl(const QString& url);
    void setRefreshButtonVisible(bool visible);

    // The lesson title above the page: its text (visibility unchanged), hiding it for good (the page then takes
    // the whole height at the next resize), and its height while shown (0 once hidden).
    void setLessonTitle(const QString& title);
    void hideLessonTitle();
    int lessonTitleHeight() const;

    // The page's courseware video is playing (its last "WPVideo" report).
    bool isVideoPlaying() const { return m_videoPlaying; }

    // Page functions. The control panel flag is remembered and run again after every finished load.
    void showControlPanel(bool show);
    void resumeVideoForAgora();
    void startRecording();
    void stopPPT();
    void stopRunningVideo();
    // Stops the page's video and its loading, then blocks the calling thread for two seconds so that the page
    // settles before the window goes.
    void stopAll();

    // Runs passMessage({...}) in the page with the message's compact JSON (see passMessageScript); log false
    // keeps frequent messages out of the log.
    void postN2WMessage(const QString& key, quint32 userId, const QMap<QString, QString>& extra = {}, bool log = true);

    // Freeze frame: renders the view into an image and shows it over the page; hideDefaultPicture removes it
    // (and the picture shown before the first load).
    void grabImage();
    void hideDefaultPicture();

    // Shows or hides the load-failure panel over the page. Reloading hides it.
    void setLoadFailurePanelVisible(bool visible);

    // Runs a script in the page without waiting for its result; log writes it to the log first.
    void runScript(const QString& script, bool log = true);

    // Tests only: how long stopAll blocks (2000 ms unless set).
    static void setStopAllWaitForTesting(int milliseconds);
    // The program is ending and waits on nothing: stopAll no longer blocks.
    static void skipStopAllWait();

signals:
    void sigWebEngineLoadStarted();
    void sigWebEngineLoadFinished(bool ok);
    void sigWhiteboardBufferFinished(bool finished);
    // Raised by the replay side on this object; they reach the playback page through the bridge.
    void signalBoardPause(bool pause);
    void signalBoardSeek(uint pos);
    void sigWPVideoIsPlaying(bool isPlaying);
    void sigWebPpApi_Showed(uint userID, QString PpapiID);
    void sigWebPpApi_Hidden(uint userID, QString PpapiID);
    void sigWebBtn_Clicked(QString webBtn_domID);
    void sigWebSet_MicEnable(bool bEnable);
    void sigWebCloseWindow_respone();
    void sigWebCloseWindow();
    void sigWebEnvRequest();
    void sigWebSetVideoProfile(int nProfile);

public slots:
    // Hides the load-failure panel, resets the buffer progress, reloads the view, forgets the online users and
    // ends the video-playing state.
    void reloadPage();
    void onWebEngine_LoadStarted();
    void onWebEngine_LoadProgress(int nProgress);
    void onWebEngine_UrlChanged(QUrl url);
    void onWebEngine_LoadFinished(bool status);
    // Grants audio and video capture to the origins of the pages loaded through loadUrl; denies it to every other
    // origin (a frame of another site, a page the loaded one went on to) with a warning, and denies every other
    // feature.
    void onFeaturePermissionRequested(QUrl securityOrigin, QWebEnginePage::Feature feature);
    // Announces a user's video to the page once it is fully buffered (once per user until a reload or the
    // user goes offline); withdraws it; passes a volume on for an announced user.
    void onUserVideoOnLine(uint userID);
    void onUserVideoOffLine(uint userID);
    void onUserVolumeChange(uint userID, int volume);
    // Asks the page to close ("N2WCloseWindow()").
    void onUserWantExit();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Emits the signal a keyed page message asks for; false when it names nothing this widget knows.
    bool dispatchW2NMessage(const PageMessage& message);
    void layoutPage();

    quint16 m_bufferPercent = 0;
    QString m_pageMessage;
    bool m_videoPlaying = false;
    Ui::Whiteboard* m_form;
    QLabel* m_defaultPicture;
    QWebChannel* m_channel;
    std::unique_ptr<QImage> m_frozenImage;
    PPTFailLoadTips* m_loadFailurePanel;
    bool m_controlPanelShown = false;
    bool m_titleShown = true;
    std::set<quint32> m_onlineUsers;
    std::set<QString> m_pageOrigins; // of the pages loaded through loadUrl
    WhiteboardBridge* m_bridge;
};
