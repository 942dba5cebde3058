#pragma once

#include "app/records/InitTaskParams.h"
#include "rooms/blocks/RoomMemberTypes.h"
#include "rooms/common/RoomModalDialog.h"
#include "ui/common/ModalDialog.h"
#include "ui/common/WattingDlg.h"
#include "ui/common/ZmBaseDialog.h"

#include <QByteArray>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <memory>
#include <mutex>
#include <string>

class AgoraAudioDevice;
class AgoraChannel;
class AgoraVideoDevice;
class ErrorDlg;
class ModalDialog;
class RaiseHandCtrl;
class UserListCtrl;
class Whiteboard;
struct PublicRoomForm;

// The window of a public class: one teacher, many students and auditors. The courseware page fills the left; on
// the right the teacher's tile stands above the member list with the raise-hand button. The window router creates
// it, shows it with showRoom(), and after ExitMe() releases, closes and deletes it.
//
// The room enters the class by an entry machine of its own: a mask of pending steps chosen by role, worked through
// in a fixed order by passes that a check timer starts on the GUI thread. A pass runs every pending step in turn
// until one fails or the class message connection is awaited; a failure offers "Retry" three times in a row, the
// fourth ends the entry with the error dialog. A retry resumes at the failed step. Only the devices' re-check after
// an unplug goes through the class-entry runner.
//
// GUI thread only; the RTC channel's signals arrive queued from the engine's threads.
class PublicClassRoom : public ZmBaseDialog
{
    Q_OBJECT

public:
    explicit PublicClassRoom(QWidget* parent = nullptr);
    ~PublicClassRoom() override;

    // Fills the available desktop (the title bar's maximised state) and shows the window. The entry starts 300 ms
    // after the first resize to the full available width.
    void showRoom();
    // Called by the router before it closes and deletes the room: the controls go, the whiteboard stops, the
    // channel's signals are cut and the devices closed.
    void releaseLiveResources();

    // One pass of the entry machine: true when it finished every pending step or waits for the class message
    // connection, false when a step failed.
    bool enterClass();

    // Loads the whiteboard page with the signed address of this user and lesson.
    void makeWhiteboardUrl();

    // Offers dialog as the room's one open dialog (see RoomModalDialog): false while the device re-check runs or
    // a prompt (the lesson's end, the entry's retry or failure) waits for its answer.
    bool setCurModalDialog(ModalDialog* dialog);
    ModalDialog* curModalDialog() const { return m_modalDialog.current(); }

    // What the entry machine and the room's state look like, for the window's owner and tests.
    unsigned int pendingSteps() const { return m_pendingSteps; }
    unsigned int currentStep() const { return m_currentStep; }
    int failureCount() const { return m_failureCount; }
    int serviceResult() const { return m_serviceResult; }
    bool hasEntered() const { return m_entered; }
    bool isExiting() const { return m_exiting; }
    bool isShareView() const { return m_shareView; }
    bool isNetworkDown() const { return m_networkDown; }
    bool isDeviceRecheckRunning() const { return m_runnerParams != nullptr; }
    AgoraChannel* channel() const { return m_channel; }
    AgoraAudioDevice* audioDevice() const { return m_audioDevice; }
    AgoraVideoDevice* videoDevice() const { return m_videoDevice; }
    RaiseHandCtrl* raiseHandCtrl() const { return m_raiseHandCtrl; }
    UserListCtrl* userListCtrl() const { return m_userListCtrl; }
    Whiteboard* whiteboard() const;
    QTimer* checkTimer() { return &m_checkTimer; }

signals:
    void sigAgora2_DeviceUnPlugged(int deviceType);
    void sigInitTasksEnded(Init_Tasks_Result result);

public slots:
    // Ends the room: the router is asked to close it and the member map is cleared.
    void ExitMe();

    void onButtonReloadClicked();
    void onButtonSettingClicked();
    void onButtonCloseClicked();

    void onStartCheckTimeout();
    void onSigMsgEngineConnectResult(int result);

    void agoraOnUserJoined(uint uid);
    void agoraOnUserOffline(uint uid, int reason);
    void agoraOnRemoteVideoIsReady(int uid);
    void agoraOnLocalVideoIsReady();
    void agoraOnVolumeIndication(QByteArray data);

    void onAgora_Network_Quality(uint uid, int txQuality, int rxQuality);
    void onAgora_Network_Down();
    void onAgora_Network_Rejoin(uint uid);
    void onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora2_DeviceUnplugged(int deviceType);

    void onWebSocket_ReceiveMsg_TeacherLeaveClass(int nTeacherID, bool bStopClass);
    void onReceiveMsgTeacherMuteAudioToAllStudent(int nTeacherID, bool bMute);
    void onReceiveMsgTeacherEnableScreenShare(int nTeacherID, bool bEnable);
    void onSetStudentMicEnable(bool on);
    void onWhiteboardWPVideoIsPlaying(bool isPlaying);
    void onWhiteboardBufferFinished(bool status);
    void onUi_clickedRaiseHand(BtnIconType btnIconType);

public:
    // The teacher's shared screen big in place of the page, and back.
    void showDesktopShareStarted();
    void showDesktopShareStopped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What one step's work came to.
    enum class StepOutcome
    {
        Done,
        Failed,
        // The class message connection was asked for; its result comes later.
        AwaitingMessages,
    };

    void buildTitleBar();
    void connectSignals();
    // Lays the parts out for the window's size and the current view.
    void layoutRoom(const QSize& size);

    // The entry driver: one pass, then the failure handler unless the pass waits for the class messages.
    void runEntryPass();
    StepOutcome runStep(unsigned int step);
    bool stepInitEngine();
    bool stepCamera();
    bool stepMicrophone();
    bool stepSpeaker();
    // A new audio device object over the channel's engine in place of the old one.
    AgoraAudioDevice* replaceAudioDevice();
    bool stepClassInfo();
    StepOutcome stepMessageEngine();
    bool stepEnterClass();
    bool stepWhiteboard();
    bool stepJoinChannel();
    void stepRoomInterface();
    // The message connection is up: the teacher tile's buttons go and the teacher's messages reach the room.
    void takeClassMessages();
    // After a failed step: the retry dialog (at most three times in a row) or the end of the entry.
    void handleEntryResult(bool ok);
    void showRetryDialog();
    void endEntryWithError();
    // The room ends once the user acknowledges the dialog.
    void exitOnAcknowledge(ErrorDlg* dialog);

    // The closing question's answer.
    void onCloseAnswered(int result);
    // The device re-check after an unplug, through the class-entry runner.
    void runDeviceRecheck(int deviceType);
    void connectInitTasksEnded();
    void openSettingsDialog();
    // A short notice over the courseware (kinds: 0 information, 1 warning, 2 error).
    void showToast(int kind, const QString& text);

    bool m_firstShowPending = true;
    bool m_exiting = false;
    // The router was told once; later calls change nothing.
    bool m_exitPosted = false;
    // The entry or a device re-check failed or was given up: the room's end tells the router so.
    bool m_entryGivenUp = false;
    std::unique_ptr<PublicRoomForm> m_form;
    WattingDlg m_waitingDlg;
    QPointer<QWidget> m_savedRaiseHandParent;
    bool m_raiseHandWasVisible = false;
    QTimer m_checkTimer;
    s_InitTask_Params* m_runnerParams = nullptr;
    bool m_entered = false;
    unsigned int m_pendingSteps = 0;
    QString m_waitingText;
    QString m_failureTitle;
    QString m_failureDetail;
    int m_failureCount = 0;
    unsigned int m_currentStep = 0;
    int m_serviceResult = 0;
    AgoraChannel* m_channel = nullptr;
    AgoraAudioDevice* m_audioDevice = nullptr;
    AgoraVideoDevice* m_videoDevice = nullptr;
    bool m_networkDown = false;
    RaiseHandCtrl* m_raiseHandCtrl = nullptr;
    UserListCtrl* m_userListCtrl = nullptr;
    bool m_shareView = false;
    QRect m_savedGeometry;
    RoomModalDialog m_modalDialog;
    // The microphone volume from before a whiteboard video started; -1 while none is kept.
    int m_savedRecordingVolume = -1;
    // Held by both share-view switches for their whole run.
    std::mutex m_roomMutex;
    // While the device re-check runs in its own event loop: a pass or an exit that came meanwhile waits for its end.
    bool m_entryPassDeferred = false;
    bool m_exitDeferred = false;
};
