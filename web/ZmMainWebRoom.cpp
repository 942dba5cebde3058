#include "web/ZmMainWebRoom.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/UrlConfig.h"
#include "net/http/SecretMask.h"
#include "web/HomePageBridge.h"
#include "web/HomePageWrites.h"
#include "web/ZmRouteManager.h"

#include <QDebug>
#include <QDesktopServices>
#include <QWebChannel>
#include <QWebEnginePage>

namespace {

constexpr char kChannelObjectName[] = "vovozuzo";
constexpr char kHeartbeatScript[] = "window.userExpired()";

} // namespace

ZmMainWebRoom::ZmMainWebRoom(QWidget* parent)
    : QWebEngineView(parent)
    , m_loadingIndicator(this)
{
    const int interval = heartbeatIntervalFor(UrlConfig::instance()->mainRoom);
    qInfo() << "ZmMainWebRoom HeartbeatInterval:" << interval;
    m_heartbeat.setInterval(interval);
    connect(&m_heartbeat, &QTimer::timeout, this, &ZmMainWebRoom::onHeartbeat);

    connect(this, &QWebEngineView::loadStarted, this, &ZmMainWebRoom::slotWebEngine_LoadStarted);
    connect(this, &QWebEngineView::loadProgress, this, &ZmMainWebRoom::slotWebEngine_loadProgress);
    connect(this, &QWebEngineView::loadFinished, this, &ZmMainWebRoom::slotWebEngine_loadFinished);
    setContextMenuPolicy(Qt::NoContextMenu);
}

ZmMainWebRoom::~ZmMainWebRoom()
{
    stopHeartbeat();
    // The view makes its page on first use; a view that never had one must not make one while it goes.
    if (auto* existing = findChild<QWebEnginePage*>(QString(), Qt::FindDirectChildrenOnly)) {
        existing->triggerAction(QWebEnginePage::Stop);
        existing->setWebChannel(nullptr);
    }
}

int ZmMainWebRoom::heartbeatIntervalFor(const QString& mainRoomAddress)
{
    return mainRoomAddress.contains(QLatin1String("10.0.")) ? kTestNetworkHeartbeatIntervalMs : kHeartbeatIntervalMs;
}

void ZmMainWebRoom::initWebChannel()
{
    if (m_channel)
        return;
    m_channel = new QWebChannel(page());
    m_bridge = new HomePageBridge(this);
    m_channel->registerObject(QString::fromLatin1(kChannelObjectName), m_bridge);
    page()->setWebChannel(m_channel);
}

void ZmMainWebRoom::loadAddress(const QUrl& url)
{
    stop();
    m_currentUrl = url;
    m_currentAddress = url.toString();
    qInfo().noquote() << "ZmMainWebRoom::loadAddress" << SecretMask::maskSecrets(m_currentAddress);
    load(url);
}

void ZmMainWebRoom::reloadAddress()
{
    stop();
    load(m_currentUrl);
}

void ZmMainWebRoom::startHeartbeat()
{
    onHeartbeat();
    m_heartbeat.start();
}

void ZmMainWebRoom::stopHeartbeat()
{
    m_heartbeat.stop();
}

void ZmMainWebRoom::onHeartbeat()
{
    qInfo() << "ZmMainWebRoom::onHeartbeat" << kHeartbeatScript;
    page()->runJavaScript(QString::fromLatin1(kHeartbeatScript));
    qInfo() << "ZmMainWebRoom Heartbeat!";
}

void ZmMainWebRoom::storeWrite(QString& field, const char* property, const QString& text)
{
    field = text;
    qInfo().noquote() << "ZmMainWebRoom" << property << SecretMask::maskSecrets(text);
}

void ZmMainWebRoom::setopenzoomurl(const QString& text)
{
    const QUrl url = HomePageWrites::externalAddress(text);
    if (url.isEmpty()) {
        qWarning().noquote() << "ZmMainWebRoom::setopenzoomurl refused: not an http or https address:"
                             << SecretMask::maskSecrets(text);
        return;
    }
    qInfo().noquote() << "ZmMainWebRoom::setopenzoomurl" << SecretMask::maskSecrets(url.toString());
    if (!QDesktopServices::openUrl(url))
        qWarning() << "ZmMainWebRoom::setopenzoomurl the desktop did not open the address";
}

void ZmMainWebRoom::setpageloaded(const QString& text)
{
    storeWrite(m_pageLoaded, "pageloaded", text);
}

void ZmMainWebRoom::setloginsuccess(const QString& text)
{
    storeWrite(m_loginSuccess, "loginsuccess", text);
    if (!HomePageWrites::applyLoginSuccess(text, *AppGlobalData::instance()))
        return;
    logEmitSignal("sig_webLoginSuccess");
    emit sig_webLoginSuccess();
}

void ZmMainWebRoom::setenterroom(const QString& text)
{
    storeWrite(m_enterRoom, "enterroom", text);
    HomePageWrites::applyEnterRoom(text, *AppGlobalData::instance());
    logEmitSignal("sig_webGotoLesson");
    emit sig_webGotoLesson();
}

void ZmMainWebRoom::setinitfilepage(const QString& text)
{
    storeWrite(m_initFilePage, "initfilepage", text);
    if (!HomePageWrites::applyInitFilePage(text, *AppGlobalData::instance()))
        return;
    logEmitSignal("sig_webLeaveSuccess");
    emit sig_webLeaveSuccess();
}

void ZmMainWebRoom::setenterreplayer(const QString& text)
{
    storeWrite(m_enterReplayer, "enterreplayer", text);
    const int status = HomePageWrites::applyEnterReplayer(text, *AppGlobalData::instance());
    if (status == 0) {
        qWarning() << "ZmMainWebRoom::setenterreplayer no replay for ui type"
                   << AppGlobalData::instance()->launch.uiType;
        return;
    }
    qInfo() << "ZmMainWebRoom::setenterreplayer start status" << status;
    ZmRouteManager::postAppStatusEvent(status);
}

void ZmMainWebRoom::slotWebEngine_LoadStarted()
{
    m_loadingIndicator.startWaiting(tr("Loading..."), false, 0);
}

void ZmMainWebRoom::slotWebEngine_loadProgress(int progress)
{
    Q_UNUSED(progress)
}

void ZmMainWebRoom::slotWebEngine_loadFinished(bool ok)
{
    if (!ok)
        qWarning().noquote() << "ZmMainWebRoom::slotWebEngine_loadFinished failed:"
                             << SecretMask::maskSecrets(url().toString());
    m_loadingIndicator.stopWaiting();
}
