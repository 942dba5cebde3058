#pragma once

#include "live/rtc/DeviceInfo.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <qwindowdefs.h>

#include <atomic>

class CAgoraAudInputManager;
class CAgoraCameraManager;
class CAgoraPlayoutManager;
class CAGEngineEventHandler;
class QThread;

// The device check's worker: on a thread of its own it starts the device-test engine, lists, selects and tests
// cameras, microphones and speakers for the wizard's page on show, follows devices that come and go, and stores the
// chosen devices at the end. The wizard talks to it only through signals and slots (connected by start()), so slow
// engine calls never block the dialog. At most one device manager of each kind exists at a time: opening a page
// makes its manager, leaving the page frees it.
//
// Created and started by the wizard on the GUI thread; freed only through shutdown().
class CheckSystemDlg_Ctrl : public QObject
{
    Q_OBJECT

public:
    // The test sound, relative to the program folder.
    static constexpr const char* kTestSound = "/sounds/test.wav";

    CheckSystemDlg_Ctrl();

    // Moves the worker to its thread, connects it with the wizard (view) and starts the engine there. The camera
    // preview is drawn into previewWindow. Once only.
    void start(QObject* view, WId previewWindow);

    // Disconnects the wizard, lets the calls already queued run, ends the thread (the engine is released on it)
    // and frees the worker. Waits at most 5 s; after that the worker frees itself once its thread has finished.
    void shutdown();

signals:
    void sig_async_start_result(int nInitResult);
    void sig_camera_devices_changed(vector_device_info devices, QString curDeviceID);
    void sig_camera_preview_began(QString curDeviceID);
    void sig_camera_preview_ended(QString curDeviceID);
    void sig_microphone_devices_changed(vector_device_info devices, QString curDeviceID);
    void sig_microphone_volume(QString curDeviceID, int volume);
    void sig_speaker_devices_changed(vector_device_info devices, QString curDeviceID);
    void sig_speaker_preview_ended(QString curDeviceID);

public slots:
    void slot_start_sdk_byThread();
    void slot_stop_sdk_byThread();
    void slot_agora_localMicrophoneVolume(int totalVolume);
    void slot_agora_audioDeviceChanged(QString deviceId, int deviceType, int deviceState);
    void slot_page_current_changed(int nCurrentPageIndex);
    void slot_view_camera_select_changed(QString curDeviceID);
    void slot_view_camera_syncDeviceList();
    void slot_reboot_camera_devices();
    void slot_agora_localVideoIsReady();
    void slot_agora_videoDeviceChanged(QString deviceId, int deviceType, int deviceState);
    void slot_microphone_select_changed(QString curDeviceID);
    void slot_microphone_syncDeviceList();
    void slot_view_speaker_select_changed(QString curDeviceID);
    void slot_view_speaker_volume_changed(int nValue);
    void slot_view_speaker_play_audio(bool playAudio);
    void slot_view_speaker_syncDeviceList();
    void slot_finish_check_save_ini();

private:
    ~CheckSystemDlg_Ctrl() override;

    void openPageSysInfo();
    void closePageSysInfo();
    void openPageCamera();
    void closePageCamera();
    void openPageMicrophone();
    void closePageMicrophone();
    void openPageSpeaker();
    void closePageSpeaker();

    // Each makes the kind's manager anew (the old one freed), lists its devices, restores the stored choice and
    // stores what the engine then has as current; the number of devices.
    int createCameraManager();
    int createAudInputManager();
    int createPlayoutManager();

    void onMicrophoneDeviceChanged(const QString& deviceId, int deviceState);
    void onSpeakerDeviceChanged(const QString& deviceId, int deviceState);

    // The event handler of the device-test engine, or null.
    CAGEngineEventHandler* engineEventHandler() const;

    void startPreview();
    void stopPreview();

    void emitCameraDevices(const QString& current);
    void emitMicrophoneDevices(const QString& current);
    void emitSpeakerDevices(const QString& current);

    enum Lifecycle
    {
        Running,
        Stopped,          // the thread released everything; shutdown() frees the worker
        FreeWhenFinished, // shutdown() gave up waiting; the thread's end frees the worker
    };

    QThread* m_workThread = nullptr;
    QObject* m_pView = nullptr;
    int m_nCurrentPage = 0;
    WId m_previewWindow = 0;
    CAgoraCameraManager* m_pCameraManager = nullptr;
    CAgoraAudInputManager* m_pAudInputManager = nullptr;
    CAgoraPlayoutManager* m_pPlayoutManager = nullptr;
    vector_device_info m_cameraDevices;
    vector_device_info m_microphoneDevices;
    vector_device_info m_speakerDevices;
    QString m_strCameraID;
    QString m_strMicrophoneID;
    QString m_strSpeakerID;
    int m_nSpeakerVolume = -1; // -1 until the wizard sends a volume

    // The device of each kind in use as last published to the wizard: what a device that goes away is compared
    // with (the engine may already have moved on when it reports the loss).
    QString m_cameraInUse;
    QString m_microphoneInUse;
    QString m_speakerInUse;

    QByteArray m_appId;
    bool m_started = false;
    std::atomic<int> m_lifecycle{Running};
};
