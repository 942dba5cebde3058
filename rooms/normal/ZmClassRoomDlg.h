#pragma once

#include "app/records/InitTaskParams.h"
#include "live/entry/NormalClassEntryRoom.h"
#include "live/rtc/RtcMetaTypes.h"
#include "rooms/blocks/ClickGate.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/common/RoomModalDialog.h"
#include "rooms/normal/NormalRoomStatsCheck.h"
#include "ui/common/ZmBaseDialog.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QVariant>

#include <functional>

#include <mutex>
#include <string>

class AgoraAudioDevice;
class AgoraChannel;
class AgoraVideoDevice;
class AwardAnimation;
class CoursewareViewer;
class DesktopShareTitleBar;
class ModalDialog;
class PortraitLoader;
class Signals_AboutInitTask;
class TranslucentDialog;
class VideoDisplayWidget;
class Whiteboard;

namespace Ui {
class ZmVideoDlg;
}

// One award waiting to be shown: who gave it, to whom, and the pupil's points after it.
struct AwardRecord
{
    int teacherId;
    int studentId;
    int totalPoints;
};

// The window of a one-to-one ("normal") live lesson: the teacher's and the pupil's video tiles beside the courseware
// page, the RTC channel, the class messages and the room's own controls (exit, reset, settings, help). The window
// router creates it, shows it with showRoom() and, once it has posted its end (ExitMe), releases its live resources,
// closes and deletes it.
//
// The room runs the class-entry steps itself once the window has reached the desktop's width, runs subsets of them
// again after a selected device was unplugged or the user asked for a reset, and holds at most one dialog over
// itself (none while a step run is in progress: the run shows its own; the lesson's end stays until it is
// answered, a notice meanwhile waits behind it). The local role (1 pupil, 2 teacher, 3 guest) is read from the
// application data whenever it matters. The local user's own picture is always the bottom tile. GUI thread; the
// channel's signals arrive queued from the engine's threads.
class ZmClassRoomDlg : public ZmBaseDialog, public NormalClassEntryRoom
{
    Q_OBJECT

public:
    explicit ZmClassRoomDlg(QWidget* parent = nullptr);
    ~ZmClassRoomDlg() override;

    // Shows the window filling the desktop; the resize to the desktop's width starts the entry.
    void showRoom();
    // Before the router closes the room: stops the page, closes the device managers, disconnects the channel from
    // the room and releases the engine.
    void releaseLiveResources();

    // Holds dialog as the one dialog over the room (rejecting and deleting the one held before); false while a step
    // run is in progress or the lesson's end waits for its answer, when the caller deletes its dialog unseen. Null
    // just closes the held dialog (not the lesson's end).
    bool setCurModalDialog(ModalDialog* dialog);
    ModalDialog* curModalDialog() const;

    // Binds the members to the tiles: names, controls by role, the local picture (end of entry and of each reset).
    void connectVideoWidgets() override;

    // The parts others reach (the router's tests, the room's own tests).
    VideoDisplayWidget* teacherVideo() const { return m_pTeacherVideo; }
    VideoDisplayWidget* studentVideo() const { return m_pStudentVideo; }
    CoursewareViewer* courseware() const;
    Whiteboard* whiteboard() const;
    AgoraChannel* channel() const { return m_pAgoraChannel; }
    AgoraAudioDevice* audioDevice() const { return m_pAudioDevice; }
    AgoraVideoDevice* videoDevice() const { return m_pVideoDevice; }
    // The block of the step run in progress, or null.
    s_InitTask_Params* initTaskParams() const { return m_pInitTaskCurrentParams; }
    bool isExiting() const { return m_bExiting; }
    bool isDesktopShareMode() const { return m_bDesktopShareMode; }
    QList<AwardRecord> awardQueue() const { return m_awardPointsList; }
    AwardAnimation* playingAward() const;
    TranslucentDialog* awardOverlay() const;
    int cpuOverloadCount() const { return m_cpuOverload.count(); }

signals:
    void sigAgora2_DeviceUnPlugged(int deviceType);
    void sigAgora2_Reset();
    void sigAwardPoints_popFront();
    void sigInitTasksEnded(Init_Tasks_Result result);

public slots:
    // Construction, entry and leaving.
    void ExitMe();
    void onTitleBar_CloseBtn_Clicked();
    void onTitleBar_SettingBtn_Clicked();
    void onTitleBar_Reset_Cliecked();
    void onAgora2_DeviceUnplugged(int deviceType);
    void onAgora2_Reset();
    void onAgora2_loadWhiteBoardForAuditAtNormalUserJoined();
    void onWebSocket_ReceiveMsg_TeacherLeaveClass(int nTeacherID, bool bStopClass);
    void slot_initTask_selectedDeviceIsNotRecommend(NotRecommendDeviceType deviceTypes);
    void onWhiteboardLoadStarted();
    void onWhiteboardloadFinished(bool ok);
    void slot_start_reload_whiteboard();

    // Video tiles and RTC events.
    void onAgora_UserJoined(uint uid, int elapsed);
    void onAgora_UserOffline(uint uid, int reason);
    void onAgora_RemoteVideoIsReady(int uid);
    void onAgora_LocalVideoIsReady();
    void onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora_Error(int err, std::string msg);
    void onAgora_Network_Quality(uint uid, int txQuality, int rxQuality);
    void onAgora_Network_Down();
    void onAgora_Network_Rejoin(uint uid);
    void onAgora_VolumeIndication(QByteArray data);
    void onAgora_AudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE deviceType, int volume, bool muted);
    void onDealy_checkVideoIsReady(bool trueIsTeacher_falseIsStudent);
    void slot_setAgoraWnd(int Local0_Remote1, QVariant hWnd, QVariant idUser);

    // Class messages, awards and lesson controls.
    void onWebSocket_ReceiveMsg_TeacherAwardPoints_PushToList(int nTeacherID, int nStudentID, int nAddPoints,
                                                              int nTotalPoints);
    void onAwardPoints_popFront();
    void onAwardPoints_animationFinished();
    void onWebSocket_ReceiveMsg_TeacherEnableControlWhiteboard(int nTeacherID, int nStudentID, bool bEnable);
    void onWebSocket_ReceiveMsg_TeacherEnableScreenShare(int nTeacherID, bool bEnable);
    void onWebSocket_ReceiveMsg_TeacherMuteAudio(int nTeacherID, bool bMute);
    void onTeacher_AwardStarBtn_Clicked();
    void onTeacher_EnableStudentControlWhiteboard(bool bEnable);
    void onEnableTeacherMic(bool bEnable);
    void onWhiteboard_VideoIsPlaying(bool isPlaying);
    void onWhiteboardBufferFinished(bool status);
    void onShareDesktop_StartBtn_Clicked();
    void onShareDesktop_ExitBtn_Clicked();

    // Health checks.
    void onTimerCpuUsage();
    void onAgora_RtcStats(QMapStrVar rtcStats);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void initTitleBar();
    void connectChannelSignals();
    void lunach_initTasks();
    // Runs kinds over a new block of forCase; the run's result, or -1 when no block could be made. The block is
    // m_pInitTaskCurrentParams meanwhile. afterRun runs with the result and the kinds left before the end is
    // announced; a non-zero result then queues ExitMe.
    using AfterRun = std::function<void(int result, const QList<int>& kindsLeft)>;
    int runInitTasks(int forCase, QList<int> kinds, bool closeDialog, const AfterRun& afterRun);
    // Runs slot (by name) once, queued, after the next sigInitTasksEnded.
    void queueAfterInitTasks(const char* slot);
    // Leaves now, or, while a run is in progress, stops it and leaves after its end.
    void exitNowOrAfterRun();
    void onExitConfirmed(int result);
    void onSettingsAccepted(QObject* dialog, int result);

    void startVideoReadyCheck(bool teacher);
    void showLowMicVolumeNotice(int volume);
    // The tile of a member type (1 pupil, 2 teacher); null for others.
    VideoDisplayWidget* tileOfUserType(int userType) const;
    // The member type of uid: 1 pupil, 2 teacher, 0 unknown.
    static int userTypeOf(int uid);

    void connectClassMessages();
    // Fetches the pupil's portrait for the award card.
    void loadPupilPortrait(const QString& url);
    void showDesktopShareStarted();
    void showDesktopShareStopped();
    void emitAwardPopFront();
    void applyLayout();

    bool m_bFirstResize = true;
    bool m_bExiting = false;
    // A step run failed or was stopped: the room's end tells the router that its entry was given up.
    bool m_entryGivenUp = false;
    QTimer m_teacherVideoCheck;
    QTimer m_studentVideoCheck;
    Ui::ZmVideoDlg* ui;
    AgoraChannel* m_pAgoraChannel;
    AgoraAudioDevice* m_pAudioDevice;
    AgoraVideoDevice* m_pVideoDevice;
    VideoDisplayWidget* m_pTeacherVideo = nullptr;
    VideoDisplayWidget* m_pStudentVideo = nullptr;
    bool m_bNetworkDown = false;
    QWidget* m_pVideoPlaceHolder = nullptr;
    DesktopShareTitleBar* m_pDesktopShareTitleBar = nullptr;
    bool m_bDesktopShareMode = false;
    QRect m_savedGeometry;
    std::mutex m_shareMutex;
    int m_exitRequestResult = 0;
    QList<AwardRecord> m_awardPointsList;
    QPointer<AwardAnimation> m_pAwardAnimation;
    QPointer<TranslucentDialog> m_pAwardDialog;
    // The teacher's star clicks: one a second; a refused click starts the second again.
    ClickGate m_starClickGate;
    s_InitTask_Params* m_pInitTaskCurrentParams = nullptr;
    RoomModalDialog m_modalDialog;
    QTimer m_timerCpuUsage;
    CpuOverloadCounter m_cpuOverload;
    Signals_AboutInitTask* m_initTaskSignals;
    // Start of the current stretch of low microphone level on the room's clock; -1 when none.
    qint64 m_lowMicVolumeSinceMs = -1;
    NormalRoomStatsCheck m_statsCheck;

    // The pupil's recording volume when a courseware video started; -1 when none is saved.
    int m_savedRecordingVolume = -1;
    // The pupil's portrait for the award card, fetched once the pupil is known; the fallback until it arrives.
    PortraitLoader* m_portraitLoader = nullptr;
    QString m_pupilPortraitPath;
    // The one-shot connections of queueAfterInitTasks, by slot.
    QHash<QByteArray, QMetaObject::Connection> m_afterInitTasks;
};
