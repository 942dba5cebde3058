#include "web/whiteboard/Whiteboard.h"

#include "app/AddressOrigin.h"
#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "net/http/SecretMask.h"
#include "web/whiteboard/PPTFailLoadTips.h"
#include "web/whiteboard/WhiteboardBridge.h"
#include "web/whiteboard/WhiteboardMessages.h"
#include "web/whiteboard/WhiteboardResources.h"

#include "ui_Whiteboard.h"

#include <QDebug>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QResizeEvent>
#include <QThread>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <atomic>

namespace {

constexpr char kChannelObjectName[] = "vovozuzo";
constexpr int kDefaultStopAllWaitMs = 2000;
std::atomic<int> s_stopAllWaitMs{kDefaultStopAllWaitMs};

// Every page of the program may reach remote and file addresses from local content, keep local storage, run
// scripts and plug-ins.
void applyProcessWideWebSettings()
{
    QWebEngineSettings* settings = QWebEngineSettings::defaultSettings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled, true);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    qDebug() << "QWebEngineSettings::LocalContentCanAccessRemoteUrls";
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
}

// With the language "cn" (exactly) the program's default locale and the browser's Accept-Language become
// Chinese.
void applyLanguage()
{
    if (AppGlobalData::instance()->lessonContext().language() != QLatin1String("cn"))
        return;
    QLocale::setDefault(QLocale(QStringLiteral("zh_CN")));
    QWebEngineProfile::defaultProfile()->setHttpAcceptLanguage(QStringLiteral("zh-CN"));
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

Whiteboard::Whiteboard(QWidget* parent)
    : QWidget(parent)
    , m_form(new Ui::Whiteboard)
{
    WhiteboardResources::ensureLoaded();
    applyProcessWideWebSettings();
    applyLanguage();

    m_form->setupUi(this);
    QWebEngineView* view = m_form->web_view;
    view->setContextMenuPolicy(Qt::NoContextMenu);

    m_defaultPicture = new QLabel(this);
    m_defaultPicture->setObjectName(QStringLiteral("default_picture"));
    m_defaultPicture->setStyleSheet(QStringLiteral("QLabel{border-image:url(:/res/whiteboard_default.png)}"));
    m_defaultPicture->setScaledContents(true);
    m_defaultPicture->setGeometry(view->geometry());

    m_loadFailurePanel = new PPTFailLoadTips(this);
    m_loadFailurePanel->hide();
    connect(m_loadFailurePanel, &PPTFailLoadTips::signal_reload_page, this, &Whiteboard::reloadPage);

    QWebEnginePage* page = view->page();
    m_channel = new QWebChannel(page);
    page->setBackgroundColor(QColor(36, 49, 56));

    connect(view, &QWebEngineView::loadStarted, this, &Whiteboard::onWebEngine_LoadStarted);
    connect(view, &QWebEngineView::loadProgress, this, &Whiteboard::onWebEngine_LoadProgress);
    connect(view, &QWebEngineView::urlChanged, this, &Whiteboard::onWebEngine_UrlChanged);
    connect(view, &QWebEngineView::loadFinished, this, &Whiteboard::onWebEngine_LoadFinished);
    connect(page, &QWebEnginePage::featurePermissionRequested, this, &Whiteboard::onFeaturePermissionRequested);

    m_bridge = new WhiteboardBridge(this);
    page->setWebChannel(m_channel);
    m_channel->registerObject(QString::fromLatin1(kChannelObjectName), m_bridge);

    connect(m_form->btn_Refresh, &QPushButton::clicked, this, &Whiteboard::reloadPage);
    m_form->btn_Refresh->setToolTip(tr("Refresh"));
    // The refresh button stays reachable over the cover picture and the failure panel.
    m_form->btn_Refresh->raise();
}

Whiteboard::~Whiteboard()
{
    delete m_form;
}

void Whiteboard::setStopAllWaitForTesting(int milliseconds)
{
    s_stopAllWaitMs = milliseconds;
}

void Whiteboard::skipStopAllWait()
{
    s_stopAllWaitMs = 0;
}

void Whiteboard::setboardloaded(quint16 percent)
{
    m_bufferPercent = percent;
    qDebug() << "Whiteboard::setboardloaded -> m_bufferPercent:" << percent;
    if (percent == 100) {
        logEmitSignal("sigWhiteboardBufferFinished");
        emit sigWhiteboardBufferFinished(true);
    }
}

void Whiteboard::setJsPostMessage(const QString& message)
{
    m_pageMessage = message;
    qDebug().noquote() << "Whiteboard Js PostMessage" << message;
    const PageMessage decoded = readPageMessage(message);
    if (decoded.kind == PageMessageKind::VideoPlaying) {
        m_videoPlaying = decoded.videoPlaying;
        logEmitSignal("sigWPVideoIsPlaying");
        emit sigWPVideoIsPlaying(m_videoPlaying);
        return;
    }
    dispatchW2NMessage(decoded);
}

bool Whiteboard::dispatchW2NMessage(const PageMessage& message)
{
    if (message.kind == PageMessageKind::Ignored)
        return false;
    qDebug().noquote() << "W2N_Msg:" << message.key;
    switch (message.kind) {
    case PageMessageKind::PpApiShowed:
        qDebug().noquote() << QStringLiteral("emit sigWebPpApi_Showed: %1;%2").arg(message.userId).arg(message.domId);
        emit sigWebPpApi_Showed(message.userId, message.domId);
        return true;
    case PageMessageKind::PpApiHidden:
        qDebug().noquote() << QStringLiteral("emit sigWebPpApi_Hidden: %1;%2").arg(message.userId).arg(message.domId);
        emit sigWebPpApi_Hidden(message.userId, message.domId);
        return true;
    case PageMessageKind::ButtonClicked:
        qDebug().noquote() << "emit sigWebBtnClicked:" << message.domId;
        emit sigWebBtn_Clicked(message.domId);
        return true;
    case PageMessageKind::Log:
        qDebug().noquote()
            << QStringLiteral("Whiteboard W2N_Msg_Log ( %1 ) : %2").arg(message.logLevel, message.logText);
        return true;
    case PageMessageKind::MicOpen:
        qDebug() << "W2N_Msg_Device_Mic_Open";
        emit sigWebSet_MicEnable(true);
        return true;
    case PageMessageKind::MicClose:
        qDebug() << "W2N_Msg_Device_Mic_Close";
        emit sigWebSet_MicEnable(false);
        return true;
    case PageMessageKind::CloseWindowResponse:
        emit sigWebCloseWindow_respone();
        return true;
    case PageMessageKind::CloseWindow:
        emit sigWebCloseWindow();
        return true;
    case PageMessageKind::EnvRequest:
        emit sigWebEnvRequest();
        return true;
    case PageMessageKind::SetVideoProfile:
        emit sigWebSetVideoProfile(message.videoProfileSize);
        return true;
    default:
        return false;
    }
}

void Whiteboard::loadUrl(const QString& url)
{
    const QUrl address(url, QUrl::TolerantMode);
    const QString origin = pageOrigin(address);
    if (!origin.isEmpty())
        m_pageOrigins.insert(origin);
    m_form->web_view->setUrl(address);
}

void Whiteboard::setRefreshButtonVisible(bool visible)
{
    m_form->btn_Refresh->setVisible(visible);
}

void Whiteboard::setLessonTitle(const QString& title)
{
    m_form->lesson_title->setText(title);
}

void Whiteboard::hideLessonTitle()
{
    m_titleShown = false;
    m_form->lesson_title->hide();
}

int Whiteboard::lessonTitleHeight() const
{
    return m_titleShown ? m_form->lesson_title->height() : 0;
}

void Whiteboard::showControlPanel(bool show)
{
    m_controlPanelShown = show;
    runScript(QStringLiteral("showControlPanel(%1)").arg(boolText(show)));
}

void Whiteboard::resumeVideoForAgora()
{
    runScript(QStringLiteral("resumeVideoForAgora()"));
}

void Whiteboard::startRecording()
{
    runScript(QStringLiteral("startRecording()"));
}

void Whiteboard::stopPPT()
{
    runScript(QStringLiteral("stopPPT()"));
}

void Whiteboard::stopRunningVideo()
{
    runScript(QStringLiteral("stopRunningVideo()"));
}

void Whiteboard::stopAll()
{
    stopRunningVideo();
    m_form->web_view->stop();
    QThread::msleep(static_cast<unsigned long>(s_stopAllWaitMs.load()));
}

void Whiteboard::postN2WMessage(const QString& key, quint32 userId, const QMap<QString, QString>& extra, bool log)
{
    runScript(passMessageScript(key, userId, extra), log);
}

void Whiteboard::grabImage()
{
    QWebEngineView* view = m_form->web_view;
    m_frozenImage = std::make_unique<QImage>(view->size(), QImage::Format_ARGB32);
    m_frozenImage->fill(Qt::transparent);
    view->render(m_frozenImage.get(), QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    m_defaultPicture->setPixmap(QPixmap::fromImage(*m_frozenImage));
    m_defaultPicture->show();
}

void Whiteboard::hideDefaultPicture()
{
    m_defaultPicture->hide();
}

void Whiteboard::setLoadFailurePanelVisible(bool visible)
{
    m_loadFailurePanel->setVisible(visible);
}

void Whiteboard::runScript(const QString& script, bool log)
{
    if (log)
        qDebug().noquote() << "Whiteboard::runScript" << script;
    m_form->web_view->page()->runJavaScript(script);
}

void Whiteboard::reloadPage()
{
    qDebug() << "Whiteboard::reloadPage";
    m_loadFailurePanel->hide();
    m_bufferPercent = 0;
    m_form->web_view->reload();
    m_onlineUsers.clear();
    if (m_videoPlaying) {
        m_videoPlaying = false;
        logEmitSignal("sigWPVideoIsPlaying");
        emit sigWPVideoIsPlaying(false);
    }
}

void Whiteboard::onWebEngine_LoadStarted()
{
    logEmitSignal("sigWebEngineLoadStarted");
    emit sigWebEngineLoadStarted();
}

void Whiteboard::onWebEngine_LoadProgress(int nProgress)
{
    qDebug() << "Whiteboard::onWebEngine_LoadProgress :" << nProgress;
}

void Whiteboard::onWebEngine_UrlChanged(QUrl url)
{
    // The small-class page carries the login token in its query.
    qDebug().noquote() << "Whiteboard::onWebEngine_UrlChanged :" << SecretMask::maskSecrets(url.toString());
}

void Whiteboard::onWebEngine_LoadFinished(bool status)
{
    showControlPanel(m_controlPanelShown);
    m_defaultPicture->hide();
    qDebug() << "Whiteboard::onWebEngine_LoadFinished" << status;
    logEmitSignal("sigWebEngineLoadFinished");
    emit sigWebEngineLoadFinished(status);
}

void Whiteboard::onFeaturePermissionRequested(QUrl securityOrigin, QWebEnginePage::Feature feature)
{
    const bool capture = feature == QWebEnginePage::MediaAudioCapture || feature == QWebEnginePage::MediaVideoCapture ||
                         feature == QWebEnginePage::MediaAudioVideoCapture;
    const bool granted = capture && m_pageOrigins.count(pageOrigin(securityOrigin)) > 0;
    if (capture && !granted)
        qWarning() << "Whiteboard::onFeaturePermissionRequested denies capture" << feature << "to" << securityOrigin
                   << "- the program loaded no page there";
    else
        qDebug() << "Whiteboard::onFeaturePermissionRequested" << securityOrigin << feature << granted;
    m_form->web_view->page()->setFeaturePermission(securityOrigin, feature,
                                                   granted ? QWebEnginePage::PermissionGrantedByUser
                                                           : QWebEnginePage::PermissionDeniedByUser);
}

void Whiteboard::onUserVideoOnLine(uint userID)
{
    if (m_bufferPercent != 100 || !m_onlineUsers.insert(userID).second)
        return;
    postN2WMessage(QStringLiteral("msg-n2w-user-video-online"), userID);
}

void Whiteboard::onUserVideoOffLine(uint userID)
{
    if (m_onlineUsers.erase(userID) == 0)
        return;
    postN2WMessage(QStringLiteral("msg-n2w-user-video-offline"), userID);
}

void Whiteboard::onUserVolumeChange(uint userID, int volume)
{
    if (m_onlineUsers.count(userID) == 0)
        return;
    postN2WMessage(QStringLiteral("msg-n2w-user-volume-changed"), userID,
                   {{QStringLiteral("volume"), QString::number(volume)}}, false);
}

void Whiteboard::onUserWantExit()
{
    runScript(QStringLiteral("N2WCloseWindow()"));
}

void Whiteboard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPage();
}

void Whiteboard::layoutPage()
{
    const int w = width();
    const int h = height();
    m_form->btn_Refresh->move(w - 36, (h * 28) / 800 - 14);
    const int titleHeight = lessonTitleHeight();
    m_form->lesson_title->setFixedWidth(w);
    const QSize pageSize(w, qMax(0, h - titleHeight));
    for (QWidget* cover : {static_cast<QWidget*>(m_form->web_view), static_cast<QWidget*>(m_defaultPicture),
                           static_cast<QWidget*>(m_loadFailurePanel)}) {
        cover->setFixedSize(pageSize);
        cover->move(0, titleHeight);
    }
}
