#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/ZmAppEvents.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "net/api/ZmNetAPI.h"
#include "rooms/blocks/ClassMessageLinks.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/common/RoomDevices.h"
#include "rooms/common/RoomLeave.h"
#include "rooms/common/Signals_AboutInitTask.h"
#include "rooms/normal/NormalRoomLayout.h"
#include "rooms/normal/NormalRoomResources.h"
#include "rooms/normal/ZmVideoDlg.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "rooms/widgets/DesktopShareTitleBar.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <memory>

namespace {

constexpr int kStepTimeoutSec = 30;
constexpr int kVideoCheckDelayMs = 2000;
constexpr int kEntryDelayMs = 100;
constexpr int kCpuSampleMs = 5000;

const QList<int> kGuestEntrySteps{Agora_InitChannel, API_LoadClassInfo, WebSocket_Link, Agora_CheckSpeaker,
                                  Agora_JoinChannel, API_EnterClass,    WebSocket_Init, NormalClass_InitUI};
const QList<int> kEntrySteps{Agora_InitChannel,        API_LoadClassInfo,  WebSocket_Link,    Agora_CheckCamera,
                             Agora_CheckMicphone,      Agora_CheckSpeaker, Agora_JoinChannel, API_EnterClass,
                             WebEngine_LoadWhiteboard, NormalClass_InitUI, WebSocket_Init};
const QList<int> kDeviceSteps{Agora_CheckCamera, Agora_CheckMicphone, Agora_CheckSpeaker};
const QList<int> kResetSteps{Agora_JoinChannel, NormalClass_InitUI};

bool isGuest()
{
    const AppGlobalData* data = AppGlobalData::instance();
    return !data->isTeacher() && !data->isStudent();
}

// A confirmation over the room with its texts.
CancelOkWarningDlg* newConfirmation(QWidget* room, const QString& text, const QString& okText,
                                    const QString& cancelText)
{
    auto* dialog = new CancelOkWarningDlg(room);
    dialog->setMessageText(text);
    dialog->setOkText(okText);
    dialog->setCancelText(cancelText);
    return dialog;
}

} // namespace

ZmClassRoomDlg::ZmClassRoomDlg(QWidget* parent)
    : ZmBaseDialog(parent)
    , ui(new Ui::ZmVideoDlg)
    , m_pAgoraChannel(new AgoraChannel)
    , m_pAudioDevice(new AgoraAudioDevice)
    , m_pVideoDevice(new AgoraVideoDevice)
    , m_starClickGate(1000, ClickGate::Start::Open, ClickGate::Refusal::RestartsWindow)
    , m_modalDialog([this] { return m_pInitTaskCurrentParams != nullptr; },
                    [this] { return m_bExiting || m_entryGivenUp; })
    , m_initTaskSignals(new Signals_AboutInitTask(this))
{
    NormalRoomResources::ensureLoaded();
    registerRtcMetaTypes();
    qRegisterMetaType<Init_Tasks_Result>("Init_Tasks_Result");
    m_teacherVideoCheck.setSingleShot(true);
    m_teacherVideoCheck.setInterval(kVideoCheckDelayMs);
    m_studentVideoCheck.setSingleShot(true);
    m_studentVideoCheck.setInterval(kVideoCheckDelayMs);

    ui->setupUi(this);
    initTitleBar();
    connect(&m_teacherVideoCheck, &QTimer::timeout, this, [this] { onDealy_checkVideoIsReady(true); });
    connect(&m_studentVideoCheck, &QTimer::timeout, this, [this] { onDealy_checkVideoIsReady(false); });

    m_pDesktopShareTitleBar = new DesktopShareTitleBar(this);
    m_pDesktopShareTitleBar->hide();
    m_pVideoPlaceHolder = new QWidget(ui->videoPanel);
    m_pVideoPlaceHolder->setObjectName(QStringLiteral("videoPlaceHolder"));
    m_pVideoPlaceHolder->setFixedSize(0, 0);
    m_pVideoPlaceHolder->hide();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        setGeometry(area.width() / 4, area.height() / 4, area.width() / 2, area.height() / 2);
    }
    connect(m_pDesktopShareTitleBar, SIGNAL(signal_minimum_window()), this, SLOT(onShareDesktop_MinBtn_Clicked()));
    connect(m_pDesktopShareTitleBar, SIGNAL(signal_exit_share_desktop()), this, SLOT(onShareDesktop_ExitBtn_Clicked()));

    Whiteboard* board = whiteboard();
    board->hideLessonTitle();
    board->showControlPanel(true);
    connect(board, &Whiteboard::sigWPVideoIsPlaying, this, &ZmClassRoomDlg::onWhiteboard_VideoIsPlaying);
    connect(board, &Whiteboard::sigWhiteboardBufferFinished, this, &ZmClassRoomDlg::onWhiteboardBufferFinished);
    connect(board, &Whiteboard::sigWebEngineLoadStarted, this, &ZmClassRoomDlg::onWhiteboardLoadStarted);
    connect(board, &Whiteboard::sigWebEngineLoadFinished, this, &ZmClassRoomDlg::onWhiteboardloadFinished);

    if (AppGlobalData::instance()->isTeacher()) {
        m_pTeacherVideo = ui->bottomVideo;
        m_pStudentVideo = ui->topVideo;
    } else {
        m_pTeacherVideo = ui->topVideo;
        m_pStudentVideo = ui->bottomVideo;
    }
    m_pTeacherVideo->setUserImage(QStringLiteral(":/imageRes/image/res/teacher2.png"));
    m_pStudentVideo->setUserImage(QStringLiteral(":/imageRes/image/res/student2.png"));

    connectChannelSignals();
    connect(this, &ZmClassRoomDlg::sigAgora2_DeviceUnPlugged, this, &ZmClassRoomDlg::onAgora2_DeviceUnplugged,
            Qt::QueuedConnection);
    m_timerCpuUsage.setInterval(kCpuSampleMs);
    m_timerCpuUsage.setSingleShot(false);
    connect(&m_timerCpuUsage, &QTimer::timeout, this, &ZmClassRoomDlg::onTimerCpuUsage);
    m_timerCpuUsage.start();
    // Queued: the notice after a run comes once the run's block is freed (no dialog opens during a run).
    connect(m_initTaskSignals, &Signals_AboutInitTask::sig_selectedDeviceIsNotRecommend, this,
            &ZmClassRoomDlg::slot_initTask_selectedDeviceIsNotRecommend, Qt::QueuedConnection);
}

ZmClassRoomDlg::~ZmClassRoomDlg()
{
    m_modalDialog.closeAll();
    m_timerCpuUsage.stop();
    if (m_pInitTaskCurrentParams) {
        // Only when the room goes while its run waits: the run ends before its next step.
        m_pInitTaskCurrentParams->stop_ = true;
    }
    if (ClassMsgEngine::instance()) {
        disconnectFromClassMessages(this);
        ClassMsgEngine::destroyInstance();
    }
    delete ui;
    delete m_pAudioDevice;
    delete m_pVideoDevice;
    delete m_pAgoraChannel;
}

CoursewareViewer* ZmClassRoomDlg::courseware() const
{
    return ui->courseware;
}

Whiteboard* ZmClassRoomDlg::whiteboard() const
{
    return ui->courseware->whiteboard();
}

void ZmClassRoomDlg::initTitleBar()
{
    const AppGlobalData* data = AppGlobalData::instance();
    m_titleBar->setTitleIcon(QStringLiteral(":/imageRes/image/res/logo2@2x.png"));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    m_titleBar->setForwardButtonHidden(true);
    m_titleBar->setHomeButtonHidden(true);
    m_titleBar->showNetworkButton();
    m_titleBar->setPeriodId(data->lesson.periodId);
    setBackgroundColor(QColor(0x24, 0x31, 0x38));
    ui->lessonTitle->clear();

    connect(ui->btn_exit, &QPushButton::clicked, this, &ZmClassRoomDlg::onTitleBar_CloseBtn_Clicked);
    connect(ui->btn_reset, &QPushButton::clicked, this, &ZmClassRoomDlg::onTitleBar_Reset_Cliecked,
            Qt::QueuedConnection);
    connect(this, &ZmClassRoomDlg::sigAgora2_Reset, this, &ZmClassRoomDlg::onAgora2_Reset, Qt::QueuedConnection);
    connect(ui->btn_setting, &QPushButton::clicked, this, &ZmClassRoomDlg::onTitleBar_SettingBtn_Clicked);
    connect(ui->btn_help, &QPushButton::clicked, m_titleBar, &MyTitleBar::onButtonFeedbackClicked);

    if (auto* close = m_titleBar->findChild<QWidget*>(QStringLiteral("ButtonClose")))
        close->setEnabled(false);
    for (const char* name : {"ButtonBackward", "ButtonReload", "ButtonSetting", "ButtonFeedback"}) {
        if (auto* button = m_titleBar->findChild<QWidget*>(QLatin1String(name)))
            button->hide();
    }
}

void ZmClassRoomDlg::showRoom()
{
    show();
    m_titleBar->setMaximizedState();
}

void ZmClassRoomDlg::releaseLiveResources()
{
    m_modalDialog.closeAll();
    whiteboard()->stopAll();
    if (m_pAudioDevice)
        m_pAudioDevice->Close();
    if (m_pVideoDevice)
        m_pVideoDevice->Close();
    m_pAgoraChannel->disconnect(this);
    m_pAgoraChannel->uninitialize();
}

bool ZmClassRoomDlg::setCurModalDialog(ModalDialog* dialog)
{
    return m_modalDialog.set(dialog);
}

ModalDialog* ZmClassRoomDlg::curModalDialog() const
{
    return m_modalDialog.current();
}

// Entry and re-runs.

void ZmClassRoomDlg::resizeEvent(QResizeEvent* event)
{
    ZmBaseDialog::resizeEvent(event);
    if (m_bFirstResize && event->size().width() == availableDesktopArea().width()) {
        m_bFirstResize = false;
        QDelayTimer::delay(
            kEntryDelayMs, [this](QDelayTimer*) { lunach_initTasks(); }, this);
    }
    applyLayout();
}

void ZmClassRoomDlg::lunach_initTasks()
{
    if (m_pInitTaskCurrentParams) {
        // A second run over the first one's block would end it; the first one goes on.
        qWarning() << "lunach_initTasks : nullptr != m_pInitTaskCurrentParams !";
        return;
    }
    const QList<int> kinds = isGuest() ? kGuestEntrySteps : kEntrySteps;
    runInitTasks(InitCase_ClassEntry, kinds, false, [this](int result, const QList<int>& kindsLeft) {
        if (result == 0 && kindsLeft.contains(WebSocket_Init))
            connectClassMessages();
    });
}

int ZmClassRoomDlg::runInitTasks(int forCase, QList<int> kinds, bool closeDialog, const AfterRun& afterRun)
{
    s_InitTask_Params* block =
        createInitTaskParams(forCase, m_pAgoraChannel, &m_pAudioDevice, &m_pVideoDevice, whiteboard());
    if (!block)
        return -1;
    m_pInitTaskCurrentParams = block;
    if (closeDialog)
        setCurModalDialog(nullptr);

    QPointer<ZmClassRoomDlg> self(this);
    const int result = runTasks_awaitEnd(this, &kinds, this, kStepTimeoutSec);
    if (!self) {
        // The room went while the run waited; its block goes with the run.
        freeInitTaskParams(block);
        return result;
    }
    const int notRecommended = block->notRecommendDevices_;
    if (afterRun)
        afterRun(result, kinds);
    if (result != 0) {
        m_entryGivenUp = true;
        queueAfterInitTasks("ExitMe");
    }
    logEmitSignal("sigInitTasksEnded");
    emit sigInitTasksEnded(result);
    if (result == 0 && forCase == InitCase_ClassEntry && notRecommended != 0) {
        logEmitSignal("sig_selectedDeviceIsNotRecommend");
        emit m_initTaskSignals->sig_selectedDeviceIsNotRecommend(NotRecommendDeviceType(notRecommended));
    }
    freeInitTaskParams(m_pInitTaskCurrentParams);
    m_modalDialog.runEnded();
    return result;
}

void ZmClassRoomDlg::queueAfterInitTasks(const char* slot)
{
    const QByteArray name(slot);
    QObject::disconnect(m_afterInitTasks.take(name));
    m_afterInitTasks.insert(name, connect(
                                      this, &ZmClassRoomDlg::sigInitTasksEnded, this,
                                      [this, name](Init_Tasks_Result) {
                                          QObject::disconnect(m_afterInitTasks.take(name));
                                          QMetaObject::invokeMethod(this, name.constData());
                                      },
                                      Qt::QueuedConnection));
}

void ZmClassRoomDlg::onAgora2_DeviceUnplugged(int deviceType)
{
    if (m_pInitTaskCurrentParams) {
        qInfo().noquote() << "ZmClassRoomDlg::onAgora2_DeviceUnplugged ( taskParams->forCase_ = "
                          << m_pInitTaskCurrentParams->forCase_ << ")";
        return;
    }
    qInfo() << "ZmClassRoomDlg::onAgora2_DeviceUnplugged device type" << deviceType;
    runInitTasks(InitCase_DeviceUnplugged, kDeviceSteps, true, [this](int result, const QList<int>&) {
        if (result == 0)
            RoomDevices::reselectDevices(m_pAudioDevice, m_pVideoDevice);
    });
}

void ZmClassRoomDlg::onAgora2_Reset()
{
    if (m_pInitTaskCurrentParams) {
        qInfo().noquote() << "ZmClassRoomDlg::onAgora2_Reset ( taskParams->forCase_ = "
                          << m_pInitTaskCurrentParams->forCase_ << ")";
        return;
    }
    m_pAgoraChannel->leaveChannel();
    VideoDisplayWidget* ownTile = tileOfUserType(AppGlobalData::instance()->launch.accountType);
    bool ownVideoShown = false;
    for (VideoDisplayWidget* tile : {m_pStudentVideo, m_pTeacherVideo}) {
        if (!tile->isCoverVisible() && !tile->isOfflineLabelVisible()) {
            ownVideoShown = ownVideoShown || tile == ownTile;
            tile->setUserOnline(true);
            tile->setStatusText(tr("Reseting..."));
        }
    }
    runInitTasks(InitCase_Reset, kResetSteps, true, [this, ownTile, ownVideoShown](int result, const QList<int>&) {
        const AppGlobalData* data = AppGlobalData::instance();
        if (result == 0 && data->isTeacher())
            m_pAgoraChannel->muteLocalAudio(data->teacherAudioMuted);
        // The own camera ran before and the channel is joined again: its picture is back, whether or not the
        // engine tells its first frame again.
        if (result == 0 && ownVideoShown && ownTile->isCoverVisible())
            onAgora_LocalVideoIsReady();
    });
}

void ZmClassRoomDlg::onAgora2_loadWhiteBoardForAuditAtNormalUserJoined()
{
    setCurModalDialog(nullptr);
    s_InitTask_Params* block =
        createInitTaskParams(InitCase_GuestWhiteboard, m_pAgoraChannel, &m_pAudioDevice, &m_pVideoDevice, whiteboard());
    if (!block)
        return;
    std::unique_ptr<InitTask> step(createInitTaskByType(WebEngine_LoadWhiteboard, this, block));
    const int result = step ? step->runTaskSync(nullptr, -1) : 0;
    qInfo() << "ZmClassRoomDlg::onAgora2_loadWhiteBoardForAuditAtNormalUserJoined result" << result;
    step.reset();
    freeInitTaskParams(block);
}

void ZmClassRoomDlg::slot_initTask_selectedDeviceIsNotRecommend(NotRecommendDeviceType deviceTypes)
{
    if (deviceTypes == 0)
        return;
    const QString names = RoomDevices::notRecommendedNames(deviceTypes, "ZmClassRoomDlg");
    m_modalDialog.openNotice(
        this, tr("The device (%1) may affect classes. Please replace the new device in time.").arg(names),
        tr("Get it"));
}

void ZmClassRoomDlg::onWhiteboardLoadStarted() {}

void ZmClassRoomDlg::onWhiteboardloadFinished(bool ok)
{
    Q_UNUSED(ok)
}

void ZmClassRoomDlg::slot_start_reload_whiteboard()
{
    whiteboard()->reloadPage();
}

// Leaving.

void ZmClassRoomDlg::onTitleBar_CloseBtn_Clicked()
{
    if (m_bExiting)
        return;
    const bool teacher = AppGlobalData::instance()->isTeacher();
    CancelOkWarningDlg* dialog =
        teacher ? newConfirmation(this, tr("Do you want to end this lesson?"), tr("End the lesson"), tr("Exit"))
                : newConfirmation(this, tr("Are you sure you want to exit?"), tr("OK"), tr("Cancel"));
    dialog->setDoneCallback(
        [this, dialog](QObject* context, int result) {
            dialog->setDoneCallback({}, nullptr);
            if (context)
                onExitConfirmed(result);
        },
        this);
    m_modalDialog.open(dialog);
}

void ZmClassRoomDlg::onExitConfirmed(int result)
{
    AppGlobalData* data = AppGlobalData::instance();
    if (data->isTeacher()) {
        if (result == 0)
            return;
        const bool endLesson = result == CancelOkWarningDlg::ResultOk;
        RoomLeave::announceTeacherLeave(endLesson);
        if (data->enteredClass) {
            m_exitRequestResult =
                ZmNetAPI::instance()->ExitClassRoom(endLesson ? QStringLiteral("2") : QStringLiteral("1"));
            data->enteredClass = false;
        }
        if (endLesson)
            whiteboard()->stopPPT();
    } else {
        if (result != CancelOkWarningDlg::ResultOk)
            return;
        RoomLeave::announcePupilLeave();
    }
    m_titleBar->disconnect(this);
    exitNowOrAfterRun();
}

void ZmClassRoomDlg::exitNowOrAfterRun()
{
    if (!m_pInitTaskCurrentParams) {
        ExitMe();
        return;
    }
    m_pInitTaskCurrentParams->stop_ = true;
    queueAfterInitTasks("ExitMe");
}

void ZmClassRoomDlg::ExitMe()
{
    if (m_bExiting) {
        qInfo() << "ZmClassRoomDlg::ExitMe the room is leaving already";
        return;
    }
    m_bExiting = true;
    AppGlobalData* data = AppGlobalData::instance();
    if (data->enteredClass) {
        ZmNetAPI::instance()->ExitClassRoom(QString());
        data->enteredClass = false;
    }
    m_pAgoraChannel->leaveChannel();
    data->clearUsers();
    data->screenShareOn = false;
    ZmRouteManager::postAppEvent(m_entryGivenUp ? AppEventCode_ClassEntryGivenUp : AppEventCode_ClassRoomEnded);
}

void ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherLeaveClass(int nTeacherID, bool bStopClass)
{
    qInfo() << "ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherLeaveClass" << nTeacherID << bStopClass;
    if (AppGlobalData::instance()->isStudent() && m_bDesktopShareMode)
        showDesktopShareStopped();
    m_pTeacherVideo->setUserOnline(true);
    m_pTeacherVideo->setOfflineLabelVisible(true);
    if (!bStopClass)
        return;
    m_pAgoraChannel->leaveChannel();
    auto* dialog = new ErrorDlg(this);
    dialog->setMessage(tr("This lesson is over~"), QString(), QString());
    dialog->setButtonText(tr("Out of class"));
    dialog->hideFirstWidget();
    dialog->setDoneCallback(
        [this](QObject* context, int result) {
            if (context && result == ErrorDlg::ResultAcknowledged)
                exitNowOrAfterRun();
        },
        this);
    m_modalDialog.openPrompt(dialog);
}

void ZmClassRoomDlg::closeEvent(QCloseEvent* event)
{
    if (m_bExiting) {
        event->accept();
        return;
    }
    event->ignore();
    QMetaObject::invokeMethod(this, "onTitleBar_CloseBtn_Clicked", Qt::QueuedConnection);
}

void ZmClassRoomDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void ZmClassRoomDlg::moveEvent(QMoveEvent* event)
{
    ZmBaseDialog::moveEvent(event);
    logEmitSignal("sigWindowRSizeMove");
    emit m_pStudentVideo->sigWindowRSizeMove();
    m_titleBar->placeFeedbackTip();
}

void ZmClassRoomDlg::applyLayout()
{
    if (!m_pStudentVideo)
        return;
    if (m_bDesktopShareMode) {
        const QSize courseware = NormalRoomLayout::shareView(size(), ui->titlePanel->height());
        ui->courseware->setFixedSize(courseware);
        return;
    }
    const NormalRoomLayout::Sizes sizes = NormalRoomLayout::normalView(size(), ui->lessonTitle->height());
    ui->courseware->setFixedSize(sizes.courseware);
    ui->videoPanel->setFixedSize(sizes.videoPanel);
    // The two 4:3 tiles, one above the other, as wide as the panel.
    const QSize tile(sizes.videoPanel.width(), sizes.videoPanel.width() * 3 / 4);
    ui->topVideo->setFixedSize(tile);
    ui->bottomVideo->setFixedSize(tile);
    logEmitSignal("sigWindowRSizeMove");
    emit m_pStudentVideo->sigWindowRSizeMove();
}
