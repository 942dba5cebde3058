#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

class Whiteboard;

// What the whiteboard page reaches through its web channel as "vovozuzo": the page host's two properties,
// fourteen signals and ten slots under the same names, relayed both ways (property writes and slot calls go
// to the Whiteboard, its signals come out here). Nothing else of the host or its window is reachable from the
// page. Owned by the Whiteboard it serves.
class WhiteboardBridge : public QObject
{
    Q_OBJECT
    Q_PROPERTY(quint16 boardloaded READ boardloaded WRITE setboardloaded)
    Q_PROPERTY(QString JsPostMessage READ JsPostMessage WRITE setJsPostMessage)

public:
    explicit WhiteboardBridge(Whiteboard* board);

    quint16 boardloaded() const;
    void setboardloaded(quint16 percent);
    QString JsPostMessage() const;
    void setJsPostMessage(const QString& message);

signals:
    void sigWebEngineLoadStarted();
    void sigWebEngineLoadFinished(bool ok);
    void sigWhiteboardBufferFinished(bool finished);
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
    void reloadPage();
    void onWebEngine_LoadStarted();
    void onWebEngine_LoadProgress(int nProgress);
    void onWebEngine_UrlChanged(QUrl url);
    void onWebEngine_LoadFinished(bool status);
    void onFeaturePermissionRequested(QUrl securityOrigin, QWebEnginePage::Feature feature);
    void onUserVideoOnLine(uint userID);
    void onUserVideoOffLine(uint userID);
    void onUserVolumeChange(uint userID, int volume);
    void onUserWantExit();

private:
    Whiteboard* m_board;
};
