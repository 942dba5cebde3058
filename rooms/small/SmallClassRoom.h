#pragma once

#include "app/records/InitTaskParams.h"
#include "live/frames/WebVideoViewHelper.h"
#include "live/rtc/RtcMetaTypes.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/common/RoomModalDialog.h"
#include "rooms/common/Signals_AboutInitTask.h"
#include "ui/common/ZmBaseDialog.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

#include <functional>
#include <string>

class AgoraAudioDevice;
class AgoraChannel;
class AgoraVideoDevice;
class AgoraVideoFrameObserver;
class CoursewareViewer;
class ModalDialog;
class QGridLayout;
class Whiteboard;

// The window of a small-group lesson. Its whole surface below the title bar is the small-class page of the offline
// resources, shown in the courseware viewer; the page shows every member's video, the own camera included, through
// the video plug-in, from the shared frame sections the room's page video views write (no native video tiles, no
// class message engine). The room owns the RTC channel, runs the class-entry steps, answers the page's requests
// (buttons, environment, microphone, video size, close), forwards the engine's statistics and voice volumes to the
// page, and leaves through a close handshake with the page.
//
// The window router creates it, shows it with showRoom() and, once it has posted its end (ExitMe), releases its
// live resources, closes and deletes it. The entry starts 100 ms after the window first reaches the desktop's full
// width. The room holds at most one dialog over itself and none while a step run is in progress (the run shows its
// own); exits asked for during a run wait for the run's end. GUI thread; the channel's signals arrive queued from the
// engine's threads, and frames reach the page video views on the engine's video thread.
class SmallClassRoom : public ZmBaseDialog
{
    Q_OBJECT

public:
    explicit SmallClassRoom(QWidget* parent = nullptr);
    // Closes the device managers and uninitialises the channel (when the router did not) before the frame observer and
    // the device managers go.
    ~SmallClassRoom() override;

    // Fills the desktop and shows the window; the resize to the desktop's width starts the entry.
    void showRoom();

    // The class entry: the steps [1, 16, 2, 4, 8, 64, 32, 256] with the channel in mode 1, the frame observer and the
    // small-class page with the lesson's query. 1 when the run took place (whatever its result; a failure ends the
    // room once the run has ended), 0 when it could not start: no parameter block, no offline folder for the lesson,
    // or a run already in progress. The call returns once the run has ended.
    int initTasks();

    // Before the router closes the room: the held dialog goes, the page stops, the device managers close, the room's
    // connections go and the channel releases its engine (which detaches the frame observer).
    void releaseLiveResources();

    // Holds dialog as the one dialog over the room (rejecting and deleting the one held before); false while a step
    // run is in progress, when the caller deletes its dialog unseen. Null just closes the held dialog.
    bool setCurModalDialog(ModalDialog* dialog);
    ModalDialog* curModalDialog() const;

    // The parts others reach (the router, the room's tests).
    CoursewareViewer* courseware() const;
    Whiteboard* whiteboard() const;
    AgoraChannel* channel() const { return m_pAgoraChannel; }
    AgoraAudioDevice* audioDevice() const { return m_pAudioDevice; }
    AgoraVideoDevice* videoDevice() const { return m_pVideoDevice; }
    AgoraVideoFrameObserver* frameObserver() const { return m_pFrameObserver; }
    WebVideoViewHelper* videoViews() { return &m_videoViews; }
    // The block of the step run in progress, or null.
    s_InitTask_Params* initTaskParams() const { return m_pInitTaskCurrentParams; }
    bool isExiting() const { return m_bExiting; }
    bool isCloseTimerActive() const { return m_closeTimer.isActive(); }
    bool isEntryStarted() const { return m_bEntryStarted; }
    int cpuOverloadCount() const { return m_cpuOverload.count(); }

signals:
    // A step run has ended: 0 success, anything else failure.
    void sigInitTasksEnded(Init_Tasks_Result result);

public slots:
    // Leaving: the title bar asks the page to close and waits up to 3000 ms for its answer.
    void onTitleCloseBtnClicked();
    void onWbWebCloseWindowResponse();
    void onWbWebCloseWindow();
    // Ends the room once: leaves the channel, tells the router, clears the members. During a step run it stops the
    // run and ends the room when the run has ended.
    void ExitMe();

    // The page's requests.
    void onWbWebBtnClicked(QString webBtn_domID);
    void onWbWebSetMicEnable(bool bEnable);
    void onWbWebEnvRequest();

    // RTC events.
    void onAgora_VolumeIndication(QByteArray data);
    void onAgora_Network_Down();
    void onAgora_Network_Rejoin(uint uid);
    void onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState);
    void onAgora_RtcStats(QMapStrVar rtcStats);
    // A selected device was lost (or the page was reset): the device steps run again and the devices are selected
    // anew. Nothing while a run is in progress.
    void onAgora2_DeviceUnplugged(int deviceType);

    // Dialogs over the room.
    void popupConfigeDlg(bool noCancelBtn);
    void popupConfigeDlg();
    void popupFeedbackDlg();
    void popupFeedbackReceivedDlg();
    void popupNotRecommendDlg(NotRecommendDeviceType deviceTypes);

    // Every 5000 ms: the processor load in the title bar, and one notice after 40 s at 70 % or more.
    void onTimerCpuUsage();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The form and the title bar, set up by the constructor.
    void setUpForm();
    void setUpTitleBar();
    // The connections made once the entry has succeeded.
    void connectAfterEntry();

    // Runs kinds over the block just made (m_pInitTaskCurrentParams), then ends the run: afterRun with the result,
    // ExitMe once the run's end has arrived when it failed, sigInitTasksEnded, with noticeNotRecommended the notice
    // of the not-recommended devices the run found, and the block freed. The result.
    int runInitTasks(QList<int> kinds, bool noticeNotRecommended, const std::function<void(int result)>& afterRun);
    // Runs ExitMe (queued) once after the next sigInitTasksEnded; asked again, still once.
    void exitAfterInitTasks();

    void showToast(int kind, const QString& text);
    // The local user's id as the page knows it.
    static quint32 ownPageUserId();

    struct Form
    {
        QGridLayout* gridLayout_2 = nullptr;
        CoursewareViewer* courseware = nullptr;
    };

    Form m_form;
    s_InitTask_Params* m_pInitTaskCurrentParams = nullptr;
    bool m_bEntryStarted = false;
    QTimer m_closeTimer;
    bool m_bExiting = false;
    // A step run failed or was stopped: the room's end tells the router that its entry was given up.
    bool m_entryGivenUp = false;
    AgoraChannel* m_pAgoraChannel;
    AgoraAudioDevice* m_pAudioDevice = nullptr;
    AgoraVideoDevice* m_pVideoDevice = nullptr;
    WebVideoViewHelper m_videoViews;
    AgoraVideoFrameObserver* m_pFrameObserver;
    RoomModalDialog m_modalDialog;
    Signals_AboutInitTask m_initTaskSignals;
    QTimer m_timerCpuUsage;
    CpuOverloadCounter m_cpuOverload;
};
