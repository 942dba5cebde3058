#include "replay/controllers/WhiteboardReplayCtrl.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/UrlConfig.h"
#include "net/api/UrlSigner.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

WhiteboardReplayCtrl::WhiteboardReplayCtrl(QObject* parent)
    : ReplayCtrl(parent)
{
    m_loadTimer.setSingleShot(true);
    m_loadTimer.setInterval(loadTimeoutMs);
}

WhiteboardReplayCtrl::~WhiteboardReplayCtrl()
{
    m_loadTimer.stop();
    m_page = nullptr;
}

QString WhiteboardReplayCtrl::playbackAddress(const QString& lessonId, const QString& periodId)
{
    const ApiParamList params{{QStringLiteral("lessonId"), lessonId},
                              {QStringLiteral("periodId"), periodId},
                              {QStringLiteral("partId"), QStringLiteral("1")},
                              {QStringLiteral("autoplay"), QStringLiteral("0")}};
    return UrlConfig::instance()->playbackWhiteboard + UrlSigner::signQuery(params);
}

bool WhiteboardReplayCtrl::init(QObject* view, const ReplayMediaInfo* media, const UserInfo* /*member*/)
{
    m_page = qobject_cast<Whiteboard*>(view);
    if (media)
        m_media = *media;
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    const QString address = playbackAddress(lesson.lessonId(), lesson.periodId());
    qDebug().noquote() << "Whiteboard url =" << address;
    m_media.url = address;
    // Connected before the page loads, so that a load start reported at once is not missed.
    if (m_page) {
        connect(m_page, &Whiteboard::sigWebEngineLoadStarted, this, &WhiteboardReplayCtrl::onWhiteboardLoadStarted);
        connect(m_page, &Whiteboard::sigWhiteboardBufferFinished, this,
                &WhiteboardReplayCtrl::onWhiteboardBufferFinished);
    }
    connect(&m_loadTimer, SIGNAL(timeout()), this, SLOT(onWhiteboardLoadOverTime()));
    if (m_page)
        m_page->loadUrl(address);
    m_loadTimer.start();
    return true;
}

void WhiteboardReplayCtrl::onWhiteboardLoadStarted()
{
    qDebug() << "onWhiteboardLoadStarted!";
    setState(ReplayerState_Loading);
}

void WhiteboardReplayCtrl::onWhiteboardBufferFinished(bool finished)
{
    qDebug() << "onWhiteboardloadFinished :" << finished;
    if (!finished)
        return;
    m_loadTimer.stop();
    setState(ReplayerState_Ready);
}

void WhiteboardReplayCtrl::onWhiteboardLoadOverTime()
{
    qWarning() << "WhiteboardReplayCtrl: the playback page was not buffered within" << m_loadTimer.interval() << "ms";
    setState(ReplayerState_LoadFailed);
}

void WhiteboardReplayCtrl::play(bool play)
{
    if (!m_page)
        return;
    logEmitSignal("signalBoardPause");
    emit m_page->signalBoardPause(!play);
}

void WhiteboardReplayCtrl::stop()
{
    if (!m_page)
        return;
    logEmitSignal("signalBoardPause");
    emit m_page->signalBoardPause(true);
}

bool WhiteboardReplayCtrl::seek(uint posMs, bool force)
{
    if (!m_page)
        return false;
    if (!force)
        return true;
    logEmitSignal("signalBoardSeek");
    emit m_page->signalBoardSeek(posMs);
    return true;
}

void WhiteboardReplayCtrl::close()
{
    m_loadTimer.stop();
    if (m_page)
        m_page->stopAll();
}

void WhiteboardReplayCtrl::setLoadTimeoutForTesting(int milliseconds)
{
    m_loadTimer.setInterval(milliseconds);
}
