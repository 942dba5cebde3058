#include "rooms/public/PublicClassRoom.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/ZmAppEvents.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "net/api/ZmNetAPI.h"
#include "rooms/blocks/ClassMessageLinks.h"
#include "rooms/blocks/RaiseHandCtrl.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserListCtrl.h"
#include "rooms/blocks/UserListWidget.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/common/RoomLeave.h"
#include "rooms/public/PublicEntryPlan.h"
#include "rooms/public/PublicRoomForm.h"
#include "rooms/public/PublicRoomLayout.h"
#include "rooms/public/PublicRoomResources.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>

PublicClassRoom::PublicClassRoom(QWidget* parent)
    : ZmBaseDialog(parent)
    , m_form(std::make_unique<PublicRoomForm>())
    , m_waitingDlg(this)
    , m_modalDialog([this] { return m_runnerParams != nullptr; }, [this] { return m_exiting || m_entryGivenUp; })
{
    PublicRoomResources::ensureLoaded();
    registerRoomMemberTypes();
    m_channel = new AgoraChannel;
    m_form->setupUi(this);

    buildTitleBar();
    setBackgroundColor(QColor(36, 49, 56, 255));
    m_form->userListWidget->hide();
    m_form->raiseHandWidget->hide();
    m_form->teacher_video->setUserImage(QStringLiteral(":/imageRes/image/res/teacher2.png"));

    connectSignals();

    AppGlobalData* data = AppGlobalData::instance();
    whiteboard()->showControlPanel(data->isTeacher());
    m_pendingSteps = PublicEntryPlan::pendingMaskFor(data->launch.accountType);
}

PublicClassRoom::~PublicClassRoom()
{
    // The controls leave the message interfaces while the engine still exists.
    delete m_raiseHandCtrl;
    m_raiseHandCtrl = nullptr;
    delete m_userListCtrl;
    m_userListCtrl = nullptr;
    if (ClassMsgEngine::instance()) {
        disconnectFromClassMessages(this);
        ClassMsgEngine::destroyInstance();
    }
    delete m_audioDevice;
    m_audioDevice = nullptr;
    delete m_videoDevice;
    m_videoDevice = nullptr;
    m_channel->uninitialize();
    delete m_channel;
    m_channel = nullptr;
}

Whiteboard* PublicClassRoom::whiteboard() const
{
    return m_form->courseware->whiteboard();
}

void PublicClassRoom::buildTitleBar()
{
    m_titleBar->setTitleIcon(QStringLiteral(":/imageRes/image/res/logo2@2x.png"));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    m_titleBar->setPeriodId(AppGlobalData::instance()->lesson.periodId);
    m_titleBar->setForwardButtonHidden(true);
    m_titleBar->setHomeButtonHidden(true);
    m_titleBar->showNetworkButton();
}

void PublicClassRoom::connectSignals()
{
    connect(&m_checkTimer, &QTimer::timeout, this, &PublicClassRoom::onStartCheckTimeout);

    connect(m_titleBar, &MyTitleBar::signalButtonCloseClicked, this, &PublicClassRoom::onButtonCloseClicked,
            Qt::QueuedConnection);
    connect(m_titleBar, &MyTitleBar::signalButtonReloadClicked, this, &PublicClassRoom::onButtonReloadClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonSettingClicked, this, &PublicClassRoom::onButtonSettingClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonBackClicked, this, &PublicClassRoom::onButtonCloseClicked);

    // The channel emits on the engine's threads: every one of these arrives queued.
    connect(m_channel, &AgoraChannel::signal_user_joined, this, &PublicClassRoom::agoraOnUserJoined);
    connect(m_channel, &AgoraChannel::signal_user_offline, this, &PublicClassRoom::agoraOnUserOffline);
    connect(m_channel, &AgoraChannel::signal_remote_video_ready, this, &PublicClassRoom::agoraOnRemoteVideoIsReady);
    connect(m_channel, &AgoraChannel::signal_local_video_ready, this, &PublicClassRoom::agoraOnLocalVideoIsReady);
    connect(m_channel, &AgoraChannel::signal_volume_indication, this, &PublicClassRoom::agoraOnVolumeIndication);
    connect(m_channel, &AgoraChannel::signal_network_quality, this, &PublicClassRoom::onAgora_Network_Quality);
    connect(m_channel, &AgoraChannel::signal_network_down, this, &PublicClassRoom::onAgora_Network_Down);
    connect(m_channel, &AgoraChannel::signal_network_rejoin, this, &PublicClassRoom::onAgora_Network_Rejoin);
    connect(m_channel, &AgoraChannel::signal_audio_device_changed, this,
            &PublicClassRoom::onAgora_AudioDeviceStateChanged);
    connect(m_channel, &AgoraChannel::signal_video_device_changed, this,
            &PublicClassRoom::onAgora_VideoDeviceStateChanged);

    connect(this, &PublicClassRoom::sigAgora2_DeviceUnPlugged, this, &PublicClassRoom::onAgora2_DeviceUnplugged);
    connect(m_form->raiseHandWidget, &RaiseHandWidget_Out::clicked, this, &PublicClassRoom::onUi_clickedRaiseHand);
    connect(whiteboard(), &Whiteboard::sigWPVideoIsPlaying, this, &PublicClassRoom::onWhiteboardWPVideoIsPlaying);
    connect(whiteboard(), &Whiteboard::sigWhiteboardBufferFinished, this, &PublicClassRoom::onWhiteboardBufferFinished);
}

void PublicClassRoom::showRoom()
{
    m_titleBar->setMaximizedState();
    show();
}

void PublicClassRoom::resizeEvent(QResizeEvent* event)
{
    ZmBaseDialog::resizeEvent(event);
    layoutRoom(event->size());

    if (m_firstShowPending && event->size().width() == availableDesktopArea().width()) {
        m_firstShowPending = false;
        qInfo() << "PublicClassRoom::resizeEvent the window fills the desktop: the entry starts in 300 ms";
        QDelayTimer::delay(
            300, [this](QDelayTimer*) { m_checkTimer.start(); }, this);
    }
}

void PublicClassRoom::layoutRoom(const QSize& size)
{
    const PublicRoomLayout layout = PublicRoomLayout::forView(m_shareView, size);
    m_form->gridLayout_2->setContentsMargins(layout.margins);
    m_form->courseware->setFixedSize(layout.courseware);
    if (!m_shareView) {
        m_form->rightPanel->setFixedHeight(layout.rightPanelHeight);
        m_form->userPanel->setFixedHeight(layout.userPanelHeight);
    }
    // The corner and the member list follow the panel's new size, so the layout applies it now.
    m_form->gridLayout_2->activate();
    m_form->gridLayout->activate();
    m_form->raiseHandWidget->moveToCorner();
    if (!m_shareView)
        m_form->userListWidget->fitToParent();
}

void PublicClassRoom::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    ZmBaseDialog::keyPressEvent(event);
}

void PublicClassRoom::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // Closing is the close button's question.
    event->ignore();
    logEmitSignal("signalButtonCloseClicked");
    emit m_titleBar->signalButtonCloseClicked();
}

bool PublicClassRoom::setCurModalDialog(ModalDialog* dialog)
{
    return m_modalDialog.set(dialog);
}

void PublicClassRoom::showToast(int kind, const QString& text)
{
    qInfo().noquote() << "PublicClassRoom notice" << kind << text;
    m_form->courseware->showToast(kind, text);
}

void PublicClassRoom::onButtonCloseClicked()
{
    auto* dialog = new CancelOkWarningDlg(this);
    if (AppGlobalData::instance()->isTeacher()) {
        dialog->setMessageText(tr("Do you want to end this lesson?"));
        dialog->setOkText(tr("End the lesson"));
        dialog->setCancelText(tr("Exit"));
    } else {
        dialog->setMessageText(tr("Are you sure you want to exit?"));
        dialog->setOkText(tr("OK"));
        dialog->setCancelText(tr("Cancel"));
    }
    QPointer<CancelOkWarningDlg> finished = dialog;
    dialog->setDoneCallback(
        [this, finished](QObject* context, int result) {
            if (finished)
                finished->deleteLater();
            if (context)
                onCloseAnswered(result);
        },
        this);
    m_modalDialog.open(dialog);
}

void PublicClassRoom::onCloseAnswered(int result)
{
    AppGlobalData* data = AppGlobalData::instance();
    if (data->isTeacher()) {
        if (result == 0)
            return;
        const bool endLesson = result == CancelOkWarningDlg::ResultOk;
        RoomLeave::announceTeacherLeave(endLesson);
        m_serviceResult = ZmNetAPI::instance()->ExitClassRoom(endLesson ? QStringLiteral("2") : QStringLiteral("1"));
        data->enteredClass = false;
        if (endLesson) {
            m_channel->leaveChannel();
            whiteboard()->stopPPT();
        }
        ExitMe();
        return;
    }
    if (result != CancelOkWarningDlg::ResultOk)
        return;
    RoomLeave::announcePupilLeave();
    m_serviceResult = ZmNetAPI::instance()->ExitClassRoom(QString());
    data->enteredClass = false;
    m_channel->leaveChannel();
    ExitMe();
}

void PublicClassRoom::onWebSocket_ReceiveMsg_TeacherLeaveClass(int nTeacherID, bool bStopClass)
{
    qInfo() << "PublicClassRoom::onWebSocket_ReceiveMsg_TeacherLeaveClass" << nTeacherID << bStopClass;
    if (m_shareView)
        showDesktopShareStopped();
    AppGlobalData* data = AppGlobalData::instance();
    // An auditor stays; a temporary leave is the raise-hand control's.
    if (!bStopClass || !data->isStudent())
        return;
    m_serviceResult = ZmNetAPI::instance()->ExitClassRoom(QString());
    data->enteredClass = false;
    m_channel->leaveChannel();
    if (m_raiseHandCtrl)
        m_raiseHandCtrl->closeMicrophone();
    auto* dialog = new ErrorDlg(this);
    dialog->hideFirstWidget();
    dialog->setMessage(QString(), tr("This lesson is over~"), QString());
    dialog->setButtonText(tr("Out of class"));
    exitOnAcknowledge(dialog);
    m_modalDialog.openPrompt(dialog);
}

void PublicClassRoom::exitOnAcknowledge(ErrorDlg* dialog)
{
    QPointer<ErrorDlg> finished = dialog;
    dialog->setDoneCallback(
        [this, finished](QObject* context, int result) {
            if (finished)
                finished->deleteLater();
            if (context && result == ErrorDlg::ResultAcknowledged)
                ExitMe();
        },
        this);
}

void PublicClassRoom::ExitMe()
{
    m_exiting = true;
    if (m_runnerParams) {
        // The router would delete the room under the re-check's event loop: the end follows the re-check.
        qInfo() << "PublicClassRoom::ExitMe deferred until the device re-check has ended";
        m_exitDeferred = true;
        return;
    }
    if (m_exitPosted)
        return;
    m_exitPosted = true;
    qInfo() << "PublicClassRoom::ExitMe";
    ZmRouteManager::postAppEvent(m_entryGivenUp ? AppEventCode_ClassEntryGivenUp : AppEventCode_ClassRoomEnded);
    AppGlobalData::instance()->clearUsers();
}

void PublicClassRoom::releaseLiveResources()
{
    qInfo() << "PublicClassRoom::releaseLiveResources";
    delete m_raiseHandCtrl;
    m_raiseHandCtrl = nullptr;
    delete m_userListCtrl;
    m_userListCtrl = nullptr;
    m_checkTimer.stop();
    whiteboard()->stopAll();
    disconnect(m_channel, nullptr, this, nullptr);
    if (m_audioDevice)
        m_audioDevice->Close();
    if (m_videoDevice)
        m_videoDevice->Close();
}
