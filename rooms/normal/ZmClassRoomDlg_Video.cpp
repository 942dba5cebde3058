// The normal class room's video tiles and the events of its RTC channel.
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/ProgramFiles.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/WindowDiagnostics.h"
#include "rooms/blocks/RoomClock.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/common/RoomDevices.h"
#include "rooms/normal/ZmVideoDlg.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "ui/common/ToastDialog.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>
#include <QLabel>
#include <QSound>

namespace {

constexpr int kRemoteVideoReadyDelayMs = 2000;
// How often a render target that is hidden or empty is tried again.
constexpr int kRenderTargetRetryMs = 150;
constexpr int kLowMicPercent = 10;
constexpr qint64 kLowMicNoticeMs = 30000;
constexpr int kUserTypePupil = 1;
constexpr int kUserTypeTeacher = 2;
constexpr int kOfflineReasonDropped = 1;

// Whether the engine can draw into the window: it is shown and has an area.
bool renderTargetUsable(quintptr handle)
{
    const NativeWindowState state = queryNativeWindow(handle);
    if (state.readable) {
        if (!state.visible) {
            qInfo() << "slot_setAgoraWnd::false == ::IsWindowVisible";
            return false;
        }
        if (state.right <= state.left || state.bottom <= state.top) {
            qInfo() << "slot_setAgoraWnd::true == ::IsRectEmpty";
            return false;
        }
        qInfo().noquote() << QStringLiteral("slot_setAgoraWnd:: true == bWndIsOk rect = (%1,%2,%3,%4)")
                                 .arg(state.left)
                                 .arg(state.top)
                                 .arg(state.right)
                                 .arg(state.bottom);
        return true;
    }
    // Without a window system to ask (no X display), the widget that owns the window answers.
    const QWidget* widget = QWidget::find(WId(handle));
    const bool usable = widget && widget->isVisible() && !widget->size().isEmpty();
    qInfo() << "slot_setAgoraWnd the window system cannot tell:" << state.error << "- the widget says" << usable;
    return usable;
}

} // namespace

int ZmClassRoomDlg::userTypeOf(int uid)
{
    UserInfo user;
    if (!AppGlobalData::instance()->findUserOrSelf(uid, user))
        return 0;
    return user.accountType;
}

VideoDisplayWidget* ZmClassRoomDlg::tileOfUserType(int userType) const
{
    if (userType == kUserTypePupil)
        return m_pStudentVideo;
    if (userType == kUserTypeTeacher)
        return m_pTeacherVideo;
    return nullptr;
}

void ZmClassRoomDlg::connectChannelSignals()
{
    AgoraChannel* channel = m_pAgoraChannel;
    connect(channel, &AgoraChannel::signal_user_joined, this, &ZmClassRoomDlg::onAgora_UserJoined);
    connect(channel, &AgoraChannel::signal_user_offline, this, &ZmClassRoomDlg::onAgora_UserOffline);
    connect(channel, &AgoraChannel::signal_remote_video_ready, this, &ZmClassRoomDlg::onAgora_RemoteVideoIsReady);
    connect(channel, &AgoraChannel::signal_local_video_ready, this, &ZmClassRoomDlg::onAgora_LocalVideoIsReady);
    connect(channel, &AgoraChannel::signal_audio_device_changed, this,
            &ZmClassRoomDlg::onAgora_AudioDeviceStateChanged);
    connect(channel, &AgoraChannel::signal_video_device_changed, this,
            &ZmClassRoomDlg::onAgora_VideoDeviceStateChanged);
    connect(channel, &AgoraChannel::signal_error, this, &ZmClassRoomDlg::onAgora_Error);
    connect(channel, &AgoraChannel::signal_network_quality, this, &ZmClassRoomDlg::onAgora_Network_Quality);
    connect(channel, &AgoraChannel::signal_network_down, this, &ZmClassRoomDlg::onAgora_Network_Down);
    connect(channel, &AgoraChannel::signal_network_rejoin, this, &ZmClassRoomDlg::onAgora_Network_Rejoin);
    connect(channel, &AgoraChannel::signal_volume_indication, this, &ZmClassRoomDlg::onAgora_VolumeIndication);
    connect(channel, &AgoraChannel::signal_AudioDeviceVolumeChanged, this,
            &ZmClassRoomDlg::onAgora_AudioDeviceVolumeChanged);
    connect(channel, &AgoraChannel::signal_rtcStats, this, &ZmClassRoomDlg::onAgora_RtcStats);
}

void ZmClassRoomDlg::connectVideoWidgets()
{
    AppGlobalData* data = AppGlobalData::instance();
    ui->lessonTitle->setText(data->lesson.lessonName);
    const bool teacher = data->isTeacher();

    UserInfoMap* members = data->memberMap();
    if (!members->isEmpty()) {
        const UserInfo& pupil = members->first();
        m_pStudentVideo->setUserName(pupil.displayName());
        m_pStudentVideo->setUserNameVisible(true);
        m_pStudentVideo->setControlChecked(pupil.controlEnabled);
        StarDialog* stars = m_pStudentVideo->starDialog();
        stars->EnableClick(teacher);
        if (teacher) {
            connect(stars, &StarDialog::sigUserStarClicked, this, &ZmClassRoomDlg::onTeacher_AwardStarBtn_Clicked,
                    Qt::UniqueConnection);
            connect(m_pStudentVideo, &VideoDisplayWidget::sigUserEnableControl, this,
                    &ZmClassRoomDlg::onTeacher_EnableStudentControlWhiteboard, Qt::UniqueConnection);
            connect(m_pTeacherVideo, &VideoDisplayWidget::sigUserEnableMic, this, &ZmClassRoomDlg::onEnableTeacherMic,
                    Qt::UniqueConnection);
        }
        m_pStudentVideo->setControlEnabled(teacher);
        m_pTeacherVideo->setMicEnabled(teacher);
        m_pStudentVideo->setMicEnabled(false);
        stars->setStarCount(pupil.classPoint);
        if (!pupil.portrait.isEmpty() && m_pupilPortraitPath.isEmpty())
            loadPupilPortrait(pupil.portrait);
    }

    m_pTeacherVideo->setUserName(data->teacherInfo()->displayName());
    m_pTeacherVideo->setUserNameVisible(true);
    m_pTeacherVideo->setControlVisible(false);
    m_pTeacherVideo->setMicEnabled(teacher);

    WId handle = 0;
    if (data->isStudent()) {
        handle = m_pStudentVideo->videoWinId();
        m_pStudentVideo->setOfflineLabelVisible(false);
    } else if (teacher) {
        handle = m_pTeacherVideo->videoWinId();
        m_pTeacherVideo->setOfflineLabelVisible(false);
    }
    QMetaObject::invokeMethod(this, "slot_setAgoraWnd", Qt::QueuedConnection, Q_ARG(int, 0),
                              Q_ARG(QVariant, QVariant::fromValue(quintptr(handle))),
                              Q_ARG(QVariant, QVariant(data->userIdAsInt())));
}

void ZmClassRoomDlg::slot_setAgoraWnd(int Local0_Remote1, QVariant hWnd, QVariant idUser)
{
    const quintptr handle = hWnd.value<quintptr>();
    if (handle == 0 || m_bExiting)
        return;
    if (!renderTargetUsable(handle)) {
        QTimer::singleShot(kRenderTargetRetryMs, this,
                           [this, Local0_Remote1, hWnd, idUser] { slot_setAgoraWnd(Local0_Remote1, hWnd, idUser); });
        return;
    }
    const unsigned int uid = idUser.toUInt();
    if (Local0_Remote1 == 0)
        m_pAgoraChannel->set_local_preview(WId(handle), uid);
    else if (Local0_Remote1 == 1)
        m_pAgoraChannel->setupRemoteVideo(WId(handle), uid);
}

void ZmClassRoomDlg::onAgora_UserJoined(uint uid, int elapsed)
{
    Q_UNUSED(elapsed)
    qInfo().noquote() << QStringLiteral("People joined uid = %1").arg(uid);
    const int userType = userTypeOf(int(uid));
    qInfo() << "joinedUser.usertype: " << userType;
    const AppGlobalData* data = AppGlobalData::instance();
    if (!data->isTeacher() && !data->isStudent()) {
        if (m_pInitTaskCurrentParams)
            queueAfterInitTasks("onAgora2_loadWhiteBoardForAuditAtNormalUserJoined");
        else
            onAgora2_loadWhiteBoardForAuditAtNormalUserJoined();
    } else if (userType == kUserTypePupil || userType == kUserTypeTeacher) {
        QSound::play(getModulePathPart(0) + QStringLiteral("sounds/joined.wav"));
    }
    if (VideoDisplayWidget* tile = tileOfUserType(userType)) {
        tile->setOfflineLabelVisible(false);
        m_pAgoraChannel->setupRemoteVideo(tile->videoWinId(), uid);
    }
}

void ZmClassRoomDlg::onAgora_UserOffline(uint uid, int reason)
{
    const int userType = userTypeOf(int(uid));
    qInfo() << "ZmClassRoomDlg::onAgora_UserOffline" << uid << "type" << userType << "reason" << reason;
    VideoDisplayWidget* tile = tileOfUserType(userType);
    if (!tile)
        return;
    tile->setOfflineLabelVisible(true);
    tile->setUserOnline(true);
    if (userType == kUserTypeTeacher && reason == kOfflineReasonDropped && AppGlobalData::instance()->isStudent())
        ui->courseware->showToast(ToastDialog::Error, tr("Something is wrong with teacher's network"));
}

void ZmClassRoomDlg::onAgora_RemoteVideoIsReady(int uid)
{
    QDelayTimer* timer = QDelayTimer::delay(
        kRemoteVideoReadyDelayMs,
        [this](QDelayTimer* self) {
            if (VideoDisplayWidget* tile = tileOfUserType(userTypeOf(int(self->m_data))))
                tile->setUserOnline(false);
        },
        this);
    timer->m_data = quintptr(uint(uid));
}

void ZmClassRoomDlg::onAgora_LocalVideoIsReady()
{
    const AppGlobalData* data = AppGlobalData::instance();
    if (data->isStudent()) {
        m_pStudentVideo->setUserOnline(false);
        startVideoReadyCheck(true);
    } else if (data->isTeacher()) {
        m_pTeacherVideo->setUserOnline(false);
        startVideoReadyCheck(false);
    }
}

void ZmClassRoomDlg::startVideoReadyCheck(bool teacher)
{
    QTimer& timer = teacher ? m_teacherVideoCheck : m_studentVideoCheck;
    timer.stop();
    timer.start();
}

void ZmClassRoomDlg::onDealy_checkVideoIsReady(bool trueIsTeacher_falseIsStudent)
{
    VideoDisplayWidget* tile = trueIsTeacher_falseIsStudent ? m_pTeacherVideo : m_pStudentVideo;
    if (tile->statusText().isEmpty())
        return;
    tile->setStatusText(QString());
    tile->setOfflineLabelVisible(true);
}

void ZmClassRoomDlg::onAgora_Network_Down()
{
    qInfo() << "ZmClassRoomDlg::onAgora_NetworkDisconnected()";
    m_bNetworkDown = true;
    ui->courseware->showToast(ToastDialog::Warning, tr("Broken network, reconnecting..."));
    m_titleBar->setNetworkQuality(6, 6);
    if (ClassMsgEngine* engine = ClassMsgEngine::instance())
        engine->tryReConnect();
}

void ZmClassRoomDlg::onAgora_Network_Rejoin(uint uid)
{
    qInfo() << "ZmClassRoomDlg::onAgora_Network_Rejoin" << uid;
    m_bNetworkDown = false;
    ui->courseware->showToast(ToastDialog::Success, tr("Network connection success."));
}

void ZmClassRoomDlg::onAgora_Network_Quality(uint uid, int txQuality, int rxQuality)
{
    if (uid != 0 || m_bNetworkDown)
        return;
    m_titleBar->setNetworkQuality(txQuality, rxQuality);
}

void ZmClassRoomDlg::onAgora_Error(int err, std::string msg)
{
    const QString text = msg.empty() ? QStringLiteral("0x%1").arg(uint(err), 0, 16) : QString::fromStdString(msg);
    qWarning().noquote() << "AgoraChannel onError : " + text;
}

void ZmClassRoomDlg::onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::audioDeviceStateChanged(whiteboard(), deviceId, deviceType, deviceState)) {
        logEmitSignal("sigAgora2_DeviceUnPlugged");
        emit sigAgora2_DeviceUnPlugged(deviceType);
    }
}

void ZmClassRoomDlg::onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::videoDeviceStateChanged(whiteboard(), deviceId, deviceState)) {
        logEmitSignal("sigAgora2_DeviceUnPlugged");
        emit sigAgora2_DeviceUnPlugged(deviceType);
    }
}

void ZmClassRoomDlg::onAgora_VolumeIndication(QByteArray data)
{
    const AppGlobalData* app = AppGlobalData::instance();
    const int teacherId = app->teacherIdAsInt();
    for (const agora::rtc::AudioVolumeInfo& speaker : AgoraChannel::readVolumeRecords(data)) {
        int uid = int(speaker.uid);
        const int volume = int(speaker.volume);
        if (uid == 0) {
            uid = app->userIdAsInt();
            showLowMicVolumeNotice(volume);
        }
        (uid == teacherId ? m_pTeacherVideo : m_pStudentVideo)->setMicVolume(volume);
    }
}

void ZmClassRoomDlg::showLowMicVolumeNotice(int volume)
{
    if (!m_pAgoraChannel->isLocalAudioLive())
        return;
    // In 64 bits: the volume is the engine's report, not bound to 0-255 here.
    if (qint64(volume) * 100 / 255 >= kLowMicPercent) {
        m_lowMicVolumeSinceMs = -1;
        return;
    }
    const qint64 now = RoomClock::nowMs();
    if (m_lowMicVolumeSinceMs < 0) {
        m_lowMicVolumeSinceMs = now;
    } else if (now - m_lowMicVolumeSinceMs > kLowMicNoticeMs) {
        m_lowMicVolumeSinceMs = -1;
        ui->courseware->showToast(
            ToastDialog::Success,
            tr("Your microphone's voice is too small and the other person may not be able to hear it."));
    }
}

void ZmClassRoomDlg::onAgora_AudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE deviceType, int volume, bool muted)
{
    qInfo() << "ZmClassRoomDlg::onAgora_AudioDeviceVolumeChanged" << int(deviceType) << volume << muted;
    if (deviceType != agora::rtc::AUDIO_RECORDING_DEVICE || !muted)
        return;
    m_modalDialog.openNotice(this, tr("Microphone disabled by system\nPlease turn on microphone in system setting."),
                             tr("Get it"));
}
