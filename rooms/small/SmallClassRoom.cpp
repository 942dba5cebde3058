// The small class room: its form and title bar, the class entry, the connections after it, leaving and release.
#include "rooms/small/SmallClassRoom.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/ZmAppEvents.h"
#include "live/entry/FrameObserverParam.h"
#include "live/entry/InitTaskRunner.h"
#include "live/frames/AgoraVideoFrameObserver.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "net/http/SecretMask.h"
#include "net/packages/OfflineLessonResManager.h"
#include "rooms/small/SmallRoomPage.h"
#include "rooms/small/SmallRoomResources.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QPointer>
#include <QResizeEvent>
#include <QSpacerItem>

namespace {

constexpr int kStepTimeoutSec = 30;
constexpr int kEntryDelayMs = 100;
constexpr int kCloseAnswerMs = 3000;
constexpr int kCpuSampleMs = 5000;

const QList<int> kEntrySteps{Agora_InitChannel,  API_LoadClassInfo, Agora_CheckCamera, Agora_CheckMicphone,
                             Agora_CheckSpeaker, Agora_JoinChannel, API_EnterClass,    WebEngine_LoadWhiteboard};
// Live broadcasting: the entry step sets the publishing role by the account type.
constexpr int kChannelModeLiveBroadcasting = 1;

} // namespace

SmallClassRoom::SmallClassRoom(QWidget* parent)
    : ZmBaseDialog(parent)
    , m_pAgoraChannel(new AgoraChannel)
    , m_pFrameObserver(new AgoraVideoFrameObserver(&m_videoViews))
    , m_modalDialog([this] { return m_pInitTaskCurrentParams != nullptr; },
                    [this] { return m_bExiting || m_entryGivenUp; })
{
    SmallRoomResources::ensureLoaded();
    registerRtcMetaTypes();
    qRegisterMetaType<Init_Tasks_Result>("Init_Tasks_Result");

    setUpForm();
    setUpTitleBar();
    // Queued: the notice after a run comes once the run's block is freed (no dialog opens during a run).
    connect(&m_initTaskSignals, &Signals_AboutInitTask::sig_selectedDeviceIsNotRecommend, this,
            &SmallClassRoom::popupNotRecommendDlg, Qt::QueuedConnection);
    whiteboard()->hideLessonTitle();

    m_timerCpuUsage.setInterval(kCpuSampleMs);
    m_timerCpuUsage.setSingleShot(false);
    connect(&m_timerCpuUsage, &QTimer::timeout, this, &SmallClassRoom::onTimerCpuUsage);
    m_timerCpuUsage.start();
    m_closeTimer.setInterval(kCloseAnswerMs);
    m_closeTimer.setSingleShot(false);
    connect(&m_closeTimer, &QTimer::timeout, this, &SmallClassRoom::ExitMe);

    Whiteboard* board = whiteboard();
    connect(board, &Whiteboard::sigWebCloseWindow_respone, this, &SmallClassRoom::onWbWebCloseWindowResponse);
    connect(board, &Whiteboard::sigWebCloseWindow, this, &SmallClassRoom::onWbWebCloseWindow);
    connect(board, &Whiteboard::sigWebSetVideoProfile, this, [this](int pageSize) {
        const int profile = smallRoomVideoProfile(pageSize);
        qInfo() << "SmallClassRoom set-video-profile" << pageSize << "-> profile" << profile;
        if (m_pAgoraChannel && profile >= 0)
            m_pAgoraChannel->setVideoProfile(profile);
    });
}

SmallClassRoom::~SmallClassRoom()
{
    m_timerCpuUsage.stop();
    m_closeTimer.stop();
    m_modalDialog.closeAll();
    if (m_pInitTaskCurrentParams) {
        // Only when the room goes while its run waits: the run ends before its next step.
        m_pInitTaskCurrentParams->stop_ = true;
    }
    // The device managers give their interfaces back before the engine goes; the engine's video thread calls the
    // frame observer until the channel has detached it.
    if (m_pAudioDevice)
        m_pAudioDevice->Close();
    if (m_pVideoDevice)
        m_pVideoDevice->Close();
    m_pAgoraChannel->uninitialize();
    delete m_pFrameObserver;
    delete m_pAudioDevice;
    delete m_pVideoDevice;
    delete m_pAgoraChannel;
}

void SmallClassRoom::setUpForm()
{
    setObjectName(QStringLiteral("SmallClassRoom"));
    resize(1648, 966);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setMinimumSize(0, 0);
    setBaseSize(1094, 704);
    setStyleSheet(QString());
    setWindowTitle(tr("ZmQuillo - Class Room"));

    m_form.gridLayout_2 = new QGridLayout(this);
    m_form.gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    m_form.gridLayout_2->setHorizontalSpacing(30);
    m_form.gridLayout_2->setVerticalSpacing(0);
    m_form.gridLayout_2->setContentsMargins(30, 40, 30, 30);
    m_form.courseware = new CoursewareViewer(this);
    m_form.courseware->setObjectName(QStringLiteral("courseware"));
    m_form.gridLayout_2->addWidget(m_form.courseware, 1, 1);
    m_form.gridLayout_2->addItem(new QSpacerItem(40, 600, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 3);
    m_form.gridLayout_2->addItem(new QSpacerItem(1098, 25, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1, 1, 2);
    m_form.gridLayout_2->addItem(new QSpacerItem(1098, 20, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 1, 1, 2);
    m_form.gridLayout_2->addItem(new QSpacerItem(40, 600, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
}

void SmallClassRoom::setUpTitleBar()
{
    m_titleBar->setTitleIcon(QStringLiteral(":/imageRes/image/res/logo2@2x.png"));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    m_titleBar->setMetrics(36, 49, 56);
    m_titleBar->setPeriodId(AppGlobalData::instance()->lesson.periodId);
    setBackgroundColor(QColor(36, 49, 56, 255));

    connect(m_titleBar, &MyTitleBar::signalButtonCloseClicked, this, &SmallClassRoom::onTitleCloseBtnClicked,
            Qt::QueuedConnection);
    connect(m_titleBar, &MyTitleBar::signalButtonBackClicked, this, &SmallClassRoom::onTitleCloseBtnClicked);
    m_titleBar->setForwardButtonHidden(true);
    m_titleBar->setHomeButtonHidden(true);
    m_titleBar->showNetworkButton();
    for (const char* name : {"ButtonBackward", "ButtonReload", "ButtonSetting", "ButtonFeedback"}) {
        if (auto* button = m_titleBar->findChild<QWidget*>(QLatin1String(name)))
            button->hide();
    }
}

CoursewareViewer* SmallClassRoom::courseware() const
{
    return m_form.courseware;
}

Whiteboard* SmallClassRoom::whiteboard() const
{
    return m_form.courseware->whiteboard();
}

void SmallClassRoom::showRoom()
{
    m_titleBar->setMaximizedState();
    show();
}

bool SmallClassRoom::setCurModalDialog(ModalDialog* dialog)
{
    return m_modalDialog.set(dialog);
}

ModalDialog* SmallClassRoom::curModalDialog() const
{
    return m_modalDialog.current();
}

// The class entry.

void SmallClassRoom::resizeEvent(QResizeEvent* event)
{
    ZmBaseDialog::resizeEvent(event);
    if (!m_bEntryStarted && event->size().width() == availableDesktopArea().width()) {
        m_bEntryStarted = true;
        // The timer skips the call when the room is gone by then.
        QDelayTimer::delay(
            kEntryDelayMs,
            [](QDelayTimer* timer) {
                if (auto* room = qobject_cast<SmallClassRoom*>(timer->context()))
                    room->initTasks();
            },
            this);
    }
    m_form.gridLayout_2->setContentsMargins(10, 44, 10, 10);
    m_form.courseware->setFixedSize(qMax(0, width() - 20), qMax(0, height() - 54));
}

int SmallClassRoom::initTasks()
{
    if (m_pInitTaskCurrentParams) {
        qWarning() << "SmallClassRoom::initTasks a step run is in progress already";
        return 0;
    }
    m_pInitTaskCurrentParams =
        createInitTaskParams(InitCase_ClassEntry, m_pAgoraChannel, &m_pAudioDevice, &m_pVideoDevice, whiteboard());
    if (!m_pInitTaskCurrentParams)
        return 0;
    m_pInitTaskCurrentParams->extendParams_.insert(QLatin1String(EXTEND_PARAM_AgoraEngine_ChannelMode),
                                                   kChannelModeLiveBroadcasting);
    setFrameObserverParam(m_pInitTaskCurrentParams, m_pFrameObserver);

    const AppGlobalData* data = AppGlobalData::instance();
    QString folder;
    if (!OfflineLessonResManager::instance()->getLessonResourceDir(data->lesson.lessonId, &folder)) {
        qWarning() << "SmallClassRoom::initTasks no offline folder for lesson" << data->lesson.lessonId;
        freeInitTaskParams(m_pInitTaskCurrentParams);
        return 0;
    }
    SmallRoomPageQuery query;
    query.periodId = data->lesson.periodId;
    query.userId = data->userIdAsInt();
    query.token = data->launch.token;
    query.webMode = data->launch.webMode;
    query.lessonFolder = folder;
    query.language = data->launch.language;
    query.accountType = data->launch.accountType;
    const QString address = smallRoomPageAddress(ConfigManager::instance()->getOfflineRoomPage(), query);
    qInfo().noquote() << "SmallClassRoom::initTasks page" << SecretMask::maskSecrets(address);
    m_pInitTaskCurrentParams->extendParams_.insert(QLatin1String(EXTEND_PARAM_WhiteBoard_URL), address);
    m_pInitTaskCurrentParams->extendParams_.insert(QLatin1String(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale), false);
    connect(whiteboard(), &Whiteboard::sigWebEnvRequest, this, &SmallClassRoom::onWbWebEnvRequest,
            Qt::UniqueConnection);

    runInitTasks(kEntrySteps, true, [this](int result) {
        if (result != 0)
            return;
        m_titleBar->setTitleText(AppGlobalData::instance()->lesson.lessonName);
        connectAfterEntry();
    });
    return 1;
}

int SmallClassRoom::runInitTasks(QList<int> kinds, bool noticeNotRecommended,
                                 const std::function<void(int result)>& afterRun)
{
    s_InitTask_Params* block = m_pInitTaskCurrentParams;
    const QPointer<SmallClassRoom> self(this);
    const int result = runTasks_awaitEnd(this, &kinds, this, kStepTimeoutSec);
    if (!self) {
        // The room went while the run waited; its block goes with the run.
        freeInitTaskParams(block);
        return result;
    }
    if (afterRun)
        afterRun(result);
    if (result != 0) {
        m_entryGivenUp = true;
        exitAfterInitTasks();
    }
    logEmitSignal("sigInitTasksEnded");
    emit sigInitTasksEnded(result);
    const int notRecommended = block->notRecommendDevices_;
    if (result == 0 && noticeNotRecommended && notRecommended != 0) {
        // Queued to the notice: it opens once the block below is freed, when the room takes dialogs again.
        logEmitSignal("sig_selectedDeviceIsNotRecommend");
        emit m_initTaskSignals.sig_selectedDeviceIsNotRecommend(NotRecommendDeviceType(notRecommended));
    }
    freeInitTaskParams(m_pInitTaskCurrentParams);
    m_modalDialog.runEnded();
    return result;
}

void SmallClassRoom::exitAfterInitTasks()
{
    disconnect(this, SIGNAL(sigInitTasksEnded(Init_Tasks_Result)), this, SLOT(ExitMe()));
    connect(this, SIGNAL(sigInitTasksEnded(Init_Tasks_Result)), this, SLOT(ExitMe()), Qt::QueuedConnection);
}

void SmallClassRoom::connectAfterEntry()
{
    Whiteboard* board = whiteboard();
    connect(board, &Whiteboard::sigWebPpApi_Showed, &m_videoViews, &WebVideoViewHelper::onWebVideoViewShowed,
            Qt::QueuedConnection);
    connect(board, &Whiteboard::sigWebPpApi_Hidden, &m_videoViews, &WebVideoViewHelper::onWebVideoViewHidden,
            Qt::QueuedConnection);
    connect(&m_videoViews, &WebVideoViewHelper::sigWantRenderVideoView, board, &Whiteboard::onUserVideoOnLine,
            Qt::QueuedConnection);
    connect(&m_videoViews, &WebVideoViewHelper::sigWebVideoViewOffline, board, &Whiteboard::onUserVideoOffLine,
            Qt::QueuedConnection);
    connect(m_pAgoraChannel, &AgoraChannel::signal_user_offline, &m_videoViews,
            &WebVideoViewHelper::onAgoraUserOfflined);
    connect(m_pAgoraChannel, &AgoraChannel::signal_network_down, this, &SmallClassRoom::onAgora_Network_Down);
    connect(m_pAgoraChannel, &AgoraChannel::signal_network_rejoin, this, &SmallClassRoom::onAgora_Network_Rejoin);
    connect(m_pAgoraChannel, &AgoraChannel::signal_audio_device_changed, this,
            &SmallClassRoom::onAgora_AudioDeviceStateChanged);
    connect(m_pAgoraChannel, &AgoraChannel::signal_video_device_changed, this,
            &SmallClassRoom::onAgora_VideoDeviceStateChanged);
    connect(m_pAgoraChannel, &AgoraChannel::signal_rtcStats, this, &SmallClassRoom::onAgora_RtcStats);
    connect(board, &Whiteboard::sigWebBtn_Clicked, this, &SmallClassRoom::onWbWebBtnClicked);
    connect(board, &Whiteboard::sigWebSet_MicEnable, this, &SmallClassRoom::onWbWebSetMicEnable);
    connect(m_pAgoraChannel, SIGNAL(signal_volume_indication(QByteArray)), this,
            SLOT(onAgora_VolumeIndication(QByteArray)));
}

// Leaving.

void SmallClassRoom::onTitleCloseBtnClicked()
{
    if (m_bExiting)
        return;
    // The page takes the close over ("msg-w2n-close-window-response") or the timer ends the room.
    whiteboard()->onUserWantExit();
    m_closeTimer.start();
}

void SmallClassRoom::onWbWebCloseWindowResponse()
{
    m_closeTimer.stop();
}

void SmallClassRoom::onWbWebCloseWindow()
{
    m_closeTimer.stop();
    ExitMe();
}

void SmallClassRoom::ExitMe()
{
    m_closeTimer.stop();
    if (m_bExiting) {
        qInfo() << "SmallClassRoom::ExitMe the room is leaving already";
        return;
    }
    if (m_pInitTaskCurrentParams) {
        qInfo() << "SmallClassRoom::ExitMe after the step run in progress";
        m_pInitTaskCurrentParams->stop_ = true;
        exitAfterInitTasks();
        return;
    }
    m_bExiting = true;
    m_pAgoraChannel->leaveChannel();
    ZmRouteManager::postAppEvent(m_entryGivenUp ? AppEventCode_ClassEntryGivenUp : AppEventCode_ClassRoomEnded);
    AppGlobalData::instance()->clearUsers();
}

void SmallClassRoom::closeEvent(QCloseEvent* event)
{
    if (m_bExiting) {
        event->accept();
        return;
    }
    event->ignore();
    logEmitSignal("signalButtonCloseClicked");
    emit m_titleBar->signalButtonCloseClicked();
}

void SmallClassRoom::releaseLiveResources()
{
    m_modalDialog.closeAll();
    whiteboard()->stopAll();
    if (m_pAudioDevice)
        m_pAudioDevice->Close();
    if (m_pVideoDevice)
        m_pVideoDevice->Close();
    m_pAgoraChannel->disconnect(this);
    m_pAgoraChannel->disconnect(&m_videoViews);
    whiteboard()->disconnect(this);
    whiteboard()->disconnect(&m_videoViews);
    m_videoViews.disconnect(whiteboard());
    disconnect(this, &SmallClassRoom::sigInitTasksEnded, nullptr, nullptr);
    m_initTaskSignals.disconnect(this);
    m_pAgoraChannel->uninitialize();
}
