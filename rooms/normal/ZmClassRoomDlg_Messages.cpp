// The normal class room's class messages, awards and lesson controls.
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "net/api/ZmNetAPI.h"
#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/PortraitLoader.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/TranslucentDialog.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/normal/ZmVideoDlg.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "rooms/widgets/DesktopShareTitleBar.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ToastDialog.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>
#include <QLabel>

namespace {

constexpr int kMaxClassPoints = 5;
constexpr int kShareRenderFit = 2;
constexpr int kRenderFill = 1;
const char kPortraitFallback[] = ":/res/student_default.png";

TeacherMsgInterface* teacherMessages()
{
    return ClassMsgEngine::instance() ? ClassMsgEngine::getTeacherMsgInterface() : nullptr;
}

StudentMsgInterface* studentMessages()
{
    return ClassMsgEngine::instance() ? ClassMsgEngine::getStudentMsgInterface() : nullptr;
}

} // namespace

void ZmClassRoomDlg::connectClassMessages()
{
    AppGlobalData* data = AppGlobalData::instance();
    if (data->isTeacher()) {
        if (TeacherMsgInterface* messages = teacherMessages())
            messages->sendEnterClass();
        onTeacher_EnableStudentControlWhiteboard(true);
    } else if (data->isStudent()) {
        if (StudentMsgInterface* messages = studentMessages())
            messages->sendEnterClass();
    }

    StudentMsgInterface* student = studentMessages();
    if (student && !data->isTeacher()) {
        connect(student, &StudentMsgInterface::sigReceiveMsgTeacherAwardPoints, this,
                &ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherAwardPoints_PushToList,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    }
    connect(this, &ZmClassRoomDlg::sigAwardPoints_popFront, this, &ZmClassRoomDlg::onAwardPoints_popFront,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    if (student && data->isStudent()) {
        connect(student, &StudentMsgInterface::sigReceiveMsgTeacherLeaveClass, this,
                &ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherLeaveClass, Qt::UniqueConnection);
        connect(student, &StudentMsgInterface::sigReceiveMsgTeacherEnableControl, this,
                &ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherEnableControlWhiteboard, Qt::UniqueConnection);
        connect(student, &StudentMsgInterface::sigReceiveMsgTeacherEnableScreenShare, this,
                &ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherEnableScreenShare, Qt::UniqueConnection);
    }
    if (PublicMsgInterface* messages = ClassMsgEngine::instance() ? ClassMsgEngine::getPublicMsgInterface() : nullptr)
        connect(messages, &PublicMsgInterface::sigReceiveMsgTeacherMuteAudio, this,
                &ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherMuteAudio, Qt::UniqueConnection);
}

// Awards.

void ZmClassRoomDlg::onTeacher_AwardStarBtn_Clicked()
{
    qInfo() << "onTeacher_AwardStarBtn_Clicked";
    if (!m_starClickGate.tryAccept()) {
        qInfo() << "onTeacher_AwardStarBtn_Clicked refused: less than 1000 ms since the last click";
        return;
    }
    AppGlobalData* data = AppGlobalData::instance();
    UserInfoMap* members = data->memberMap();
    if (members->isEmpty())
        return;
    const int pupilId = members->firstKey();
    if (members->first().classPoint >= kMaxClassPoints)
        return;
    if (ZmNetAPI::instance()->submitClassStudentPoint(pupilId, 1) != 0) {
        qWarning() << "onTeacher_AwardStarBtn_Clicked the service refused the star for" << pupilId;
        return;
    }
    const auto pupil = members->find(pupilId);
    if (pupil == members->end())
        return;
    const int total = ++pupil->classPoint;
    if (TeacherMsgInterface* messages = teacherMessages())
        messages->sendAwardPoints(pupilId, 1, total);
    onWebSocket_ReceiveMsg_TeacherAwardPoints_PushToList(data->teacherIdAsInt(), pupilId, 1, total);
}

void ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherAwardPoints_PushToList(int nTeacherID, int nStudentID,
                                                                          int nAddPoints, int nTotalPoints)
{
    Q_UNUSED(nAddPoints)
    if (nTeacherID != -1 && !AwardAnimation::acceptsTotal(nTotalPoints)) {
        qWarning() << "ZmClassRoomDlg award refused: no count of stars before the total" << nTotalPoints;
        return;
    }
    if (nTeacherID != -1) {
        qInfo() << "m_awardPointsList.push_back : " << nTotalPoints;
        m_awardPointsList.append(AwardRecord{nTeacherID, nStudentID, nTotalPoints});
    }
    if (!m_pAwardAnimation)
        emitAwardPopFront();
}

void ZmClassRoomDlg::emitAwardPopFront()
{
    logEmitSignal("sigAwardPoints_popFront");
    emit sigAwardPoints_popFront();
}

void ZmClassRoomDlg::onAwardPoints_popFront()
{
    if (m_pAwardAnimation) {
        qInfo() << "processOneMsg_teacherAwardPointsToAllStudent"
                << " m_pAwardAnimation !=nullptr";
        return;
    }
    if (m_awardPointsList.isEmpty())
        return;
    const AwardRecord award = m_awardPointsList.takeFirst();
    AppGlobalData* data = AppGlobalData::instance();
    UserInfoMap* members = data->memberMap();
    const auto member = members->find(award.studentId);
    if (member == members->end()) {
        // Dropped; the awards behind it go on.
        qWarning() << "ZmClassRoomDlg::onAwardPoints_popFront no member" << award.studentId << "- award dropped";
        if (!m_awardPointsList.isEmpty())
            emitAwardPopFront();
        return;
    }
    member->starPoint = award.totalPoints;
    if (data->isStudent())
        member->classPoint = award.totalPoints;
    const QString name = member->displayName();
    m_pStudentVideo->starDialog()->setStarCount(award.totalPoints);

    if (m_bDesktopShareMode && data->isTeacher()) {
        if (!m_awardPointsList.isEmpty())
            emitAwardPopFront();
        return;
    }
    const QWidget* area = m_bDesktopShareMode ? static_cast<QWidget*>(this) : ui->courseware;
    const QRect rect(area->mapToGlobal(QPoint(0, 0)), area->size());
    m_pAwardDialog = new TranslucentDialog(this);
    m_pAwardDialog->setBackdropWithoutCompositor(true);
    m_pAwardDialog->setGeometry(rect);
    m_pAwardDialog->show();
    m_pAwardAnimation = new AwardAnimation(m_pAwardDialog);
    connect(m_pAwardAnimation, &AwardAnimation::sigAnimationFinished, this,
            &ZmClassRoomDlg::onAwardPoints_animationFinished);
    m_pAwardAnimation->setFixedSize(rect.width(), rect.width() * 9 / 16);
    m_pAwardAnimation->show();
    const QString portrait =
        m_pupilPortraitPath.isEmpty() ? QString::fromLatin1(kPortraitFallback) : m_pupilPortraitPath;
    // Every queued total has a count before it (the push refused the others).
    m_pAwardAnimation->start(name, portrait, award.totalPoints - 1);
}

AwardAnimation* ZmClassRoomDlg::playingAward() const
{
    return m_pAwardAnimation.data();
}

TranslucentDialog* ZmClassRoomDlg::awardOverlay() const
{
    return m_pAwardDialog.data();
}

void ZmClassRoomDlg::onAwardPoints_animationFinished()
{
    // Only the award now playing ends (a direct call counts as it).
    if (sender() && sender() != m_pAwardAnimation)
        return;
    if (m_pAwardAnimation) {
        m_pAwardAnimation->hide();
        m_pAwardAnimation->deleteLater();
        m_pAwardAnimation = nullptr;
    }
    if (m_pAwardDialog) {
        m_pAwardDialog->close();
        m_pAwardDialog->deleteLater();
        m_pAwardDialog = nullptr;
    }
    if (!m_awardPointsList.isEmpty())
        emitAwardPopFront();
}

void ZmClassRoomDlg::loadPupilPortrait(const QString& url)
{
    if (!m_portraitLoader) {
        m_portraitLoader = new PortraitLoader(this);
        connect(m_portraitLoader, &PortraitLoader::sigLoaded, this,
                [this](const QString& path, const QImage&) { m_pupilPortraitPath = path; });
    }
    m_portraitLoader->load(url, ConfigManager::instance()->getImageDir());
}

// Whiteboard control and the teacher's microphone.

void ZmClassRoomDlg::onTeacher_EnableStudentControlWhiteboard(bool bEnable)
{
    AppGlobalData* data = AppGlobalData::instance();
    UserInfoMap* members = data->memberMap();
    if (members->isEmpty())
        return;
    const int pupilId = members->firstKey();
    if (TeacherMsgInterface* messages = teacherMessages())
        messages->sendEnableControl(pupilId, bEnable);
    onWebSocket_ReceiveMsg_TeacherEnableControlWhiteboard(data->teacherIdAsInt(), pupilId, bEnable);
}

void ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherEnableControlWhiteboard(int nTeacherID, int nStudentID, bool bEnable)
{
    Q_UNUSED(nTeacherID)
    AppGlobalData* data = AppGlobalData::instance();
    UserInfoMap* members = data->memberMap();
    if (members->isEmpty())
        return;
    const auto member = members->find(nStudentID);
    if (member != members->end())
        member->controlEnabled = bEnable;
    if (data->isStudent())
        whiteboard()->showControlPanel(bEnable);
    m_pStudentVideo->setControlChecked(bEnable);
}

void ZmClassRoomDlg::onEnableTeacherMic(bool bEnable)
{
    if (AppGlobalData::instance()->memberMap()->isEmpty())
        return;
    // The button shows the microphone on; the message carries whether it is muted. The teacher's own microphone
    // follows the echo of the message.
    if (TeacherMsgInterface* messages = teacherMessages())
        messages->sendTeacherAudio(!bEnable);
}

void ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherMuteAudio(int nTeacherID, bool bMute)
{
    Q_UNUSED(nTeacherID)
    AppGlobalData* data = AppGlobalData::instance();
    data->teacherAudioMuted = bMute;
    if (data->isTeacher())
        m_pAgoraChannel->muteLocalAudio(bMute);
    m_pTeacherVideo->setMicChecked(!bMute);
}

// The teacher's desktop share.

void ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherEnableScreenShare(int nTeacherID, bool bEnable)
{
    Q_UNUSED(nTeacherID)
    AppGlobalData* data = AppGlobalData::instance();
    data->screenShareOn = bEnable;
    if (m_pInitTaskCurrentParams || data->isTeacher())
        return;
    if (bEnable)
        showDesktopShareStarted();
    else
        showDesktopShareStopped();
}

void ZmClassRoomDlg::showDesktopShareStarted()
{
    std::lock_guard<std::mutex> lock(m_shareMutex);
    if (m_bDesktopShareMode)
        return;
    m_bDesktopShareMode = true;
    m_savedGeometry = geometry();
    ui->lessonTitle->hide();
    ui->videoPanel->hide();
    ui->courseware->setViewMode(CoursewareViewer::ShareSurfaceView);
    const unsigned int teacherId = unsigned(AppGlobalData::instance()->teacherIdAsInt());
    m_pAgoraChannel->setupRemoteVideo(ui->courseware->shareSurfaceWinId(), teacherId, kShareRenderFit);
    m_pAgoraChannel->setRemoteVideoStreamType(teacherId);
    if (auto* stars = m_pStudentVideo->findChild<StarDialog*>())
        stars->setFixedSize(0, 0);
    applyLayout();
    ui->courseware->showToast(ToastDialog::Success, tr("The teacher is sharing desktop"));
}

void ZmClassRoomDlg::showDesktopShareStopped()
{
    std::lock_guard<std::mutex> lock(m_shareMutex);
    if (!m_bDesktopShareMode)
        return;
    m_bDesktopShareMode = false;
    hide();
    const unsigned int teacherId = unsigned(AppGlobalData::instance()->teacherIdAsInt());
    m_pAgoraChannel->setupRemoteVideo(m_pTeacherVideo->videoWinId(), teacherId, kRenderFill);
    ui->lessonTitle->show();
    ui->videoPanel->show();
    m_pTeacherVideo->show();
    ui->courseware->setViewMode(CoursewareViewer::WhiteboardView);
    if (auto* stars = m_pStudentVideo->findChild<StarDialog*>())
        stars->setFixedSize(64, 38);
    applyLayout();
    ui->courseware->showToast(ToastDialog::Success, tr("The teacher turned off desktop sharing"));
    show();
}

void ZmClassRoomDlg::onShareDesktop_StartBtn_Clicked()
{
    auto* dialog = new CancelOkWarningDlg(this);
    dialog->setMessageText(tr("Are you sure to enable sharing your screen?"));
    dialog->setOkText(tr("Yes"));
    dialog->setCancelText(tr("Cancel"));
    dialog->setDoneCallback(
        [this, dialog](QObject* context, int result) {
            dialog->setDoneCallback({}, nullptr);
            if (!context || result != CancelOkWarningDlg::ResultOk)
                return;
            AppGlobalData::instance()->screenShareOn = true;
            m_pAgoraChannel->start_screen_capture();
            m_pDesktopShareTitleBar->show();
            m_pDesktopShareTitleBar->raise();
            if (TeacherMsgInterface* messages = teacherMessages())
                messages->sendScreenShare(true);
        },
        this);
    m_modalDialog.open(dialog);
}

void ZmClassRoomDlg::onShareDesktop_ExitBtn_Clicked()
{
    AppGlobalData::instance()->screenShareOn = false;
    m_pAgoraChannel->stopScreenCapture();
    m_pDesktopShareTitleBar->hide();
    if (TeacherMsgInterface* messages = teacherMessages())
        messages->sendScreenShare(false);
}

// The courseware's video and the page's buffer.

void ZmClassRoomDlg::onWhiteboard_VideoIsPlaying(bool isPlaying)
{
    if (AppGlobalData::instance()->isStudent()) {
        if (isPlaying) {
            if (m_pAudioDevice)
                m_savedRecordingVolume = m_pAudioDevice->GetRecordingVolume();
            if (m_pAgoraChannel->isLocalAudioLive())
                ui->courseware->showToast(ToastDialog::Success,
                                          tr("Microphone is temporarily disabled while playing video"));
            m_pAgoraChannel->muteLocalAudio(true);
        } else {
            m_pAgoraChannel->muteLocalAudio(false);
            if (m_pAudioDevice && m_savedRecordingVolume >= 0)
                m_pAudioDevice->SetRecordingVolume(m_savedRecordingVolume);
        }
    }
    m_pStudentVideo->setMicChecked(!isPlaying);
}

void ZmClassRoomDlg::onWhiteboardBufferFinished(bool status)
{
    Q_UNUSED(status)
    whiteboard()->startRecording();
}

// Reset and settings.

void ZmClassRoomDlg::onTitleBar_Reset_Cliecked()
{
    auto* dialog = new CancelOkWarningDlg(this);
    dialog->setMessageText(tr("The reset will reconnect the camera and speakers, and solve the problems of video and "
                              "sound carton. The whole process will take about 5 seconds. Are you sure you want to "
                              "reset it?"));
    dialog->setOkText(tr("Yes"));
    dialog->setCancelText(tr("Cancel"));
    dialog->setDoneCallback(
        [this, dialog](QObject* context, int result) {
            dialog->setDoneCallback({}, nullptr);
            if (context && result == CancelOkWarningDlg::ResultOk) {
                logEmitSignal("sigAgora2_Reset");
                emit sigAgora2_Reset();
            }
        },
        this);
    m_modalDialog.open(dialog);
}
