// The public class room once inside: the teacher's presence in the RTC channel, video and volumes, the teacher's
// audio and screen-share messages, the student's microphone and the whiteboard's video playback.
#include "rooms/public/PublicClassRoom.h"

#include "app/AppGlobalData.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "rooms/blocks/RaiseHandCtrl.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserListCtrl.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/public/PublicRoomForm.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>
#include <QFrame>

namespace {

// The engine's reason for a user who dropped out of the channel.
constexpr int kOfflineDropped = 1;
// The teacher's remote video fills the tile and fits the share surface.
constexpr int kRenderFill = 1;
constexpr int kRenderFit = 2;

} // namespace

void PublicClassRoom::agoraOnUserJoined(uint uid)
{
    AppGlobalData* data = AppGlobalData::instance();
    if (!data->isTeacherId(int(uid)))
        return;
    qInfo() << "PublicClassRoom::agoraOnUserJoined the teacher" << uid;
    data->teacherPresent = true;
    if (data->isTeacher())
        return;
    if (data->isStudent() && m_raiseHandCtrl)
        m_raiseHandCtrl->stopTimer4TeacherTemporaryLeave();
    if (m_userListCtrl)
        m_userListCtrl->setUserMicMuted(UserID_T(uid), false);
    // A student's or auditor's page loads, and loads again, whenever the teacher's stream (re)joins.
    makeWhiteboardUrl();
}

void PublicClassRoom::agoraOnUserOffline(uint uid, int reason)
{
    AppGlobalData* data = AppGlobalData::instance();
    if (!data->isTeacherId(int(uid)))
        return;
    qInfo() << "PublicClassRoom::agoraOnUserOffline the teacher" << uid << "reason" << reason;
    m_form->teacher_video->setUserOnline(true);
    data->teacherPresent = false;
    if (m_userListCtrl)
        m_userListCtrl->setUserMicMuted(UserID_T(uid), true);
    if (data->isStudent() && reason == kOfflineDropped)
        showToast(2, tr("Something is wrong with teacher's network"));
}

void PublicClassRoom::agoraOnRemoteVideoIsReady(int uid)
{
    if (AppGlobalData::instance()->isTeacherId(uid))
        m_form->teacher_video->setUserOnline(false);
}

void PublicClassRoom::agoraOnLocalVideoIsReady()
{
    m_form->teacher_video->setUserOnline(false);
}

void PublicClassRoom::agoraOnVolumeIndication(QByteArray data)
{
    if (!m_userListCtrl)
        return;
    const int ownId = AppGlobalData::instance()->userIdAsInt();
    for (const agora::rtc::AudioVolumeInfo& speaker : AgoraChannel::readVolumeRecords(data)) {
        const UserID_T id = speaker.uid == 0 ? UserID_T(ownId) : UserID_T(speaker.uid);
        m_userListCtrl->setUserVolume(id, int(speaker.volume));
    }
}

void PublicClassRoom::onReceiveMsgTeacherMuteAudioToAllStudent(int nTeacherID, bool bMute)
{
    qInfo() << "PublicClassRoom::onReceiveMsgTeacherMuteAudioToAllStudent" << nTeacherID << bMute;
    AppGlobalData* data = AppGlobalData::instance();
    data->teacherAudioMuted = bMute;
    if (data->isTeacher())
        m_channel->muteLocalAudio(bMute);
    m_form->teacher_video->setMicChecked(!bMute);
}

void PublicClassRoom::onReceiveMsgTeacherEnableScreenShare(int nTeacherID, bool bEnable)
{
    qInfo() << "PublicClassRoom::onReceiveMsgTeacherEnableScreenShare" << nTeacherID << bEnable;
    AppGlobalData* data = AppGlobalData::instance();
    data->screenShareOn = bEnable;
    // Before the entry has ended only the flag changes; the end of the entry looks at it.
    if (data->isTeacher() || !m_entered)
        return;
    if (bEnable)
        showDesktopShareStarted();
    else
        showDesktopShareStopped();
}

void PublicClassRoom::showDesktopShareStarted()
{
    std::lock_guard<std::mutex> lock(m_roomMutex);
    if (m_shareView)
        return;
    qInfo() << "PublicClassRoom::showDesktopShareStarted";
    m_shareView = true;
    m_savedGeometry = geometry();

    // The raise-hand button moves into the room's corner; a button that was not shown (an auditor's) stays hidden.
    RaiseHandWidget* raiseHand = m_form->raiseHandWidget;
    m_raiseHandWasVisible = raiseHand->isVisible();
    raiseHand->hide();
    m_savedRaiseHandParent = raiseHand->parentWidget();
    raiseHand->setParent(this);
    raiseHand->setCornerMargins(12, 0);
    raiseHand->setVisible(m_raiseHandWasVisible);

    m_form->rightPanel->hide();
    m_form->courseware->setViewMode(CoursewareViewer::ShareSurfaceView);
    const unsigned int teacherId = static_cast<unsigned int>(AppGlobalData::instance()->teacherIdAsInt());
    m_channel->setupRemoteVideo(m_form->courseware->shareSurfaceWinId(), teacherId, kRenderFit);
    m_channel->setRemoteVideoStreamType(teacherId);
    layoutRoom(size());
    showToast(0, tr("The teacher is sharing desktop"));
}

void PublicClassRoom::showDesktopShareStopped()
{
    std::lock_guard<std::mutex> lock(m_roomMutex);
    if (!m_shareView)
        return;
    qInfo() << "PublicClassRoom::showDesktopShareStopped";
    hide();
    m_shareView = false;

    RaiseHandWidget* raiseHand = m_form->raiseHandWidget;
    raiseHand->hide();
    QWidget* parent = m_savedRaiseHandParent ? m_savedRaiseHandParent.data() : m_form->userPanel;
    raiseHand->setParent(parent);
    raiseHand->setCornerMargins(0, 0);

    const unsigned int teacherId = static_cast<unsigned int>(AppGlobalData::instance()->teacherIdAsInt());
    m_channel->setupRemoteVideo(m_form->teacher_video->videoWinId(), teacherId, kRenderFill);
    m_form->rightPanel->show();
    m_form->teacher_video->show();
    raiseHand->setVisible(m_raiseHandWasVisible);
    m_form->courseware->setViewMode(CoursewareViewer::WhiteboardView);
    layoutRoom(size());
    showToast(0, tr("The teacher turned off desktop sharing"));
    show();
}

void PublicClassRoom::onSetStudentMicEnable(bool on)
{
    const bool was = m_channel->isLocalAudioLive();
    m_channel->setPublishRole(on);
    const bool videoPlaying = whiteboard()->isVideoPlaying();
    StudentMsgInterface* student = ClassMsgEngine::instance() ? ClassMsgEngine::getStudentMsgInterface() : nullptr;
    if (on) {
        if (student)
            student->sendMicrophoneOn();
        if (videoPlaying)
            m_channel->muteLocalAudio(true);
    } else if (student) {
        student->sendMicrophoneOff();
    }
    qInfo() << "PublicClassRoom::onSetStudentMicEnable" << on << "was live" << was << "video playing" << videoPlaying;
    if (was != on) {
        if (!on)
            showToast(0, tr("Micphone is turned off"));
        else if (videoPlaying)
            showToast(0, tr("Microphone is temporarily disabled while playing video"));
        else
            showToast(0, tr("Micphone is turned on"));
    }
    whiteboard()->showControlPanel(on);
}

void PublicClassRoom::onWhiteboardWPVideoIsPlaying(bool isPlaying)
{
    if (!AppGlobalData::instance()->isStudent())
        return;
    qInfo() << "PublicClassRoom::onWhiteboardWPVideoIsPlaying" << isPlaying;
    if (isPlaying) {
        if (m_audioDevice)
            m_savedRecordingVolume = m_audioDevice->GetRecordingVolume();
        if (m_channel->isLocalAudioLive())
            showToast(0, tr("Microphone is temporarily disabled while playing video"));
        m_channel->muteLocalAudio(true);
        return;
    }
    m_channel->muteLocalAudio(false);
    if (m_audioDevice && m_savedRecordingVolume >= 0)
        m_audioDevice->SetRecordingVolume(m_savedRecordingVolume);
}

void PublicClassRoom::onWhiteboardBufferFinished(bool status)
{
    qInfo() << "PublicClassRoom::onWhiteboardBufferFinished" << status;
    whiteboard()->startRecording();
}

void PublicClassRoom::onUi_clickedRaiseHand(BtnIconType btnIconType)
{
    // The raise-hand control handles the click itself.
    if (btnIconType == BtnIcon_HandDown && !AppGlobalData::instance()->teacherPresent)
        showToast(1, tr("The teacher is not in the classroom."));
}
