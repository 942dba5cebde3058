#include "web/whiteboard/WhiteboardBridge.h"

#include "web/whiteboard/Whiteboard.h"

WhiteboardBridge::WhiteboardBridge(Whiteboard* board)
    : QObject(board)
    , m_board(board)
{
    setObjectName(QStringLiteral("vovozuzo"));
    connect(board, &Whiteboard::sigWebEngineLoadStarted, this, &WhiteboardBridge::sigWebEngineLoadStarted);
    connect(board, &Whiteboard::sigWebEngineLoadFinished, this, &WhiteboardBridge::sigWebEngineLoadFinished);
    connect(board, &Whiteboard::sigWhiteboardBufferFinished, this, &WhiteboardBridge::sigWhiteboardBufferFinished);
    connect(board, &Whiteboard::signalBoardPause, this, &WhiteboardBridge::signalBoardPause);
    connect(board, &Whiteboard::signalBoardSeek, this, &WhiteboardBridge::signalBoardSeek);
    connect(board, &Whiteboard::sigWPVideoIsPlaying, this, &WhiteboardBridge::sigWPVideoIsPlaying);
    connect(board, &Whiteboard::sigWebPpApi_Showed, this, &WhiteboardBridge::sigWebPpApi_Showed);
    connect(board, &Whiteboard::sigWebPpApi_Hidden, this, &WhiteboardBridge::sigWebPpApi_Hidden);
    connect(board, &Whiteboard::sigWebBtn_Clicked, this, &WhiteboardBridge::sigWebBtn_Clicked);
    connect(board, &Whiteboard::sigWebSet_MicEnable, this, &WhiteboardBridge::sigWebSet_MicEnable);
    connect(board, &Whiteboard::sigWebCloseWindow_respone, this, &WhiteboardBridge::sigWebCloseWindow_respone);
    connect(board, &Whiteboard::sigWebCloseWindow, this, &WhiteboardBridge::sigWebCloseWindow);
    connect(board, &Whiteboard::sigWebEnvRequest, this, &WhiteboardBridge::sigWebEnvRequest);
    connect(board, &Whiteboard::sigWebSetVideoProfile, this, &WhiteboardBridge::sigWebSetVideoProfile);
}

quint16 WhiteboardBridge::boardloaded() const
{
    return m_board->boardloaded();
}

void WhiteboardBridge::setboardloaded(quint16 percent)
{
    m_board->setboardloaded(percent);
}

QString WhiteboardBridge::JsPostMessage() const
{
    return m_board->JsPostMessage();
}

void WhiteboardBridge::setJsPostMessage(const QString& message)
{
    m_board->setJsPostMessage(message);
}

void WhiteboardBridge::reloadPage()
{
    m_board->reloadPage();
}

void WhiteboardBridge::onWebEngine_LoadStarted()
{
    m_board->onWebEngine_LoadStarted();
}

void WhiteboardBridge::onWebEngine_LoadProgress(int nProgress)
{
    m_board->onWebEngine_LoadProgress(nProgress);
}

void WhiteboardBridge::onWebEngine_UrlChanged(QUrl url)
{
    m_board->onWebEngine_UrlChanged(url);
}

void WhiteboardBridge::onWebEngine_LoadFinished(bool status)
{
    m_board->onWebEngine_LoadFinished(status);
}

void WhiteboardBridge::onFeaturePermissionRequested(QUrl securityOrigin, QWebEnginePage::Feature feature)
{
    m_board->onFeaturePermissionRequested(securityOrigin, feature);
}

void WhiteboardBridge::onUserVideoOnLine(uint userID)
{
    m_board->onUserVideoOnLine(userID);
}

void WhiteboardBridge::onUserVideoOffLine(uint userID)
{
    m_board->onUserVideoOffLine(userID);
}

void WhiteboardBridge::onUserVolumeChange(uint userID, int volume)
{
    m_board->onUserVolumeChange(userID, volume);
}

void WhiteboardBridge::onUserWantExit()
{
    m_board->onUserWantExit();
}
