#include "settings/CheckSystemDlg_Ctrl.h"

#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/UrlConfig.h"
#include "live/rtc/CAgoraAudInputManager.h"
#include "live/rtc/CAgoraCameraManager.h"
#include "live/rtc/CAgoraObject.h"
#include "live/rtc/CAgoraPlayoutManager.h"
#include "live/rtc/RtcMetaTypes.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

namespace {

const char kVolumeKey[] = "SelectedDeviceID/AudioOutVolume";

constexpr int kShutdownWaitMs = 5000;

// The engine's device states (1 active, 2 disabled, 4 not present, 8 unplugged): the device is no longer usable.
bool isGone(int deviceState)
{
    return deviceState == 2 || deviceState == 4 || deviceState == 8;
}

unsigned long long threadNumber()
{
    return static_cast<unsigned long long>(reinterpret_cast<quintptr>(QThread::currentThreadId()));
}

// What differs between the three kinds of device manager.
template <typename Manager> struct DeviceKind;

template <> struct DeviceKind<CAgoraCameraManager>
{
    static constexpr const char* key = kSelectedCameraKey;
    static constexpr const char* createFailure = "AgoraVideoDevice.Create Failed!";
    static bool attach(CAgoraCameraManager& manager)
    {
        return manager.createCaptureDeviceManager(CAgoraObject::engine());
    }
    static int count(CAgoraCameraManager& manager) { return manager.captureDeviceCount(); }
    static bool at(CAgoraCameraManager& manager, int index, QString& name, QString& id)
    {
        return manager.captureDeviceAt(index, name, id);
    }
    static QString current(CAgoraCameraManager& manager) { return manager.currentCaptureDevice(); }
    static bool select(CAgoraCameraManager& manager, const QString& id) { return manager.setCaptureDevice(id); }
};

template <> struct DeviceKind<CAgoraAudInputManager>
{
    static constexpr const char* key = kSelectedMicrophoneKey;
    static constexpr const char* createFailure = "AgoraAudioInDevice.Create Failed!";
    static bool attach(CAgoraAudInputManager& manager)
    {
        return manager.createRecordingDeviceManager(CAgoraObject::engine());
    }
    static int count(CAgoraAudInputManager& manager) { return manager.recordingDeviceCount(); }
    static bool at(CAgoraAudInputManager& manager, int index, QString& name, QString& id)
    {
        return manager.recordingDeviceAt(index, name, id);
    }
    static QString current(CAgoraAudInputManager& manager) { return manager.currentRecordingDevice(); }
    static bool select(CAgoraAudInputManager& manager, const QString& id) { return manager.setRecordingDevice(id); }
};

template <> struct DeviceKind<CAgoraPlayoutManager>
{
    static constexpr const char* key = kSelectedSpeakerKey;
    static constexpr const char* createFailure = "AgoraAudioOutDevice.Create Failed!";
    static bool attach(CAgoraPlayoutManager& manager) { return manager.Create(CAgoraObject::engine()); }
    static int count(CAgoraPlayoutManager& manager) { return manager.GetDeviceCount(); }
    static bool at(CAgoraPlayoutManager& manager, int index, QString& name, QString& id)
    {
        return manager.GetDevice(index, name, id);
    }
    static QString current(CAgoraPlayoutManager& manager) { return manager.GetCurDeviceID(); }
    static bool select(CAgoraPlayoutManager& manager, const QString& id) { return manager.SetCurDevice(id); }
};

// Frees the kind's manager and makes it anew: lists its devices, selects the stored choice and stores what the engine
// then has as current. The number of devices; 0 (manager null) when it cannot attach to the engine.
template <typename Manager> int recreateManager(Manager*& manager, vector_device_info& devices)
{
    using Kind = DeviceKind<Manager>;
    devices.clear();
    delete manager;
    manager = nullptr;
    auto* made = new Manager;
    if (!Kind::attach(*made)) {
        delete made;
        ThreadLog(Kind::createFailure);
        return 0;
    }
    manager = made;
    const int count = Kind::count(*made);
    for (int index = 0; index < count; ++index) {
        device_info device;
        device.index = index;
        if (Kind::at(*made, index, device.name, device.id))
            devices.push_back(device);
    }
    if (count > 0) {
        ConfigManager* config = ConfigManager::instance();
        QByteArray stored;
        config->ini_GetParam_String(Kind::key, stored);
        Kind::select(*made, QString::fromUtf8(stored));
        config->ini_SetParam_String(Kind::key, Kind::current(*made).toUtf8());
    }
    return count;
}

// The first device of the list the manager accepts; empty when it accepts none.
template <typename Manager> QString firstAccepted(Manager& manager, const vector_device_info& devices)
{
    for (const device_info& device : devices) {
        if (DeviceKind<Manager>::select(manager, device.id))
            return device.id;
    }
    return QString();
}

void removeFirst(vector_device_info& devices, const QString& id)
{
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        if (it->id == id) {
            devices.erase(it);
            return;
        }
    }
}

// The device to use after a device event, with the kind's manager made anew: when the device in use went away, the
// first remaining one the manager accepts; when it is still there (another device came or went, or it came back),
// that one, selected again over the stored choice the new manager restored; none for any other state.
template <typename Manager>
QString deviceAfterChange(Manager* manager, vector_device_info& devices, const QString& deviceId, int deviceState,
                          const QString& inUse)
{
    if (!manager)
        return QString();
    if (isGone(deviceState) && deviceId == inUse) {
        removeFirst(devices, deviceId);
        return firstAccepted(*manager, devices);
    }
    if (deviceState != 1 && !isGone(deviceState))
        return QString();
    if (!inUse.isEmpty() && DeviceKind<Manager>::current(*manager) != inUse)
        DeviceKind<Manager>::select(*manager, inUse);
    return inUse;
}

} // namespace

CheckSystemDlg_Ctrl::CheckSystemDlg_Ctrl()
    : m_workThread(new QThread)
{
    connect(m_workThread, &QThread::finished, this, &CheckSystemDlg_Ctrl::slot_stop_sdk_byThread, Qt::DirectConnection);
}

CheckSystemDlg_Ctrl::~CheckSystemDlg_Ctrl()
{
    delete m_workThread;
}

void CheckSystemDlg_Ctrl::start(QObject* view, WId previewWindow)
{
    if (m_started)
        return;
    m_started = true;
    qDebug().noquote() << QString::asprintf("ConfigeDlg_2c::start / ThreadID : 0x%llx", threadNumber());
    m_pView = view;
    m_previewWindow = previewWindow;
    m_appId = UrlConfig::instance()->rtcAppId;
    moveToThread(m_workThread);
    m_workThread->start(QThread::InheritPriority);

    registerRtcMetaTypes();
    connect(view, SIGNAL(sig_page_current_changed(int)), this, SLOT(slot_page_current_changed(int)));
    connect(this, SIGNAL(sig_async_start_result(int)), view, SLOT(slot_async_start_result(int)));
    connect(this, SIGNAL(sig_camera_devices_changed(vector_device_info, QString)), view,
            SLOT(slot_camera_devices_changed(vector_device_info, QString)));
    connect(this, SIGNAL(sig_camera_preview_began(QString)), view, SLOT(slot_camera_preview_began(QString)));
    connect(this, SIGNAL(sig_camera_preview_ended(QString)), view, SLOT(slot_camera_preview_ended(QString)));
    connect(view, SIGNAL(sig_page_camera_select_changed(QString)), this,
            SLOT(slot_view_camera_select_changed(QString)));
    connect(view, SIGNAL(sig_page_camera_syncDeviceList()), this, SLOT(slot_view_camera_syncDeviceList()));
    connect(view, SIGNAL(sig_reboot_camera_devices()), this, SLOT(slot_reboot_camera_devices()));
    connect(this, SIGNAL(sig_microphone_devices_changed(vector_device_info, QString)), view,
            SLOT(slot_microphone_devices_changed(vector_device_info, QString)));
    connect(this, SIGNAL(sig_microphone_volume(QString, int)), view,
            SLOT(slot_micphone_volume_indication(QString, int)), Qt::QueuedConnection);
    connect(view, SIGNAL(sig_page_microphone_select_changed(QString)), this,
            SLOT(slot_microphone_select_changed(QString)));
    connect(view, SIGNAL(sig_page_microphone_syncDeviceList()), this, SLOT(slot_microphone_syncDeviceList()));
    connect(this, SIGNAL(sig_speaker_devices_changed(vector_device_info, QString)), view,
            SLOT(slot_speaker_devices_changed(vector_device_info, QString)));
    connect(this, SIGNAL(sig_speaker_preview_ended(QString)), view, SLOT(slot_speaker_preview_ended(QString)));
    connect(view, SIGNAL(sig_page_speaker_play_audio(bool)), this, SLOT(slot_view_speaker_play_audio(bool)));
    connect(view, SIGNAL(sig_page_speaker_select_changed(QString)), this,
            SLOT(slot_view_speaker_select_changed(QString)));
    connect(view, SIGNAL(sig_page_speaker_volume_changed(int)), this, SLOT(slot_view_speaker_volume_changed(int)));
    connect(view, SIGNAL(sig_page_speaker_syncDeviceList()), this, SLOT(slot_view_speaker_syncDeviceList()));
    connect(view, SIGNAL(sig_finish_check_save_ini()), this, SLOT(slot_finish_check_save_ini()));

    QMetaObject::invokeMethod(this, "slot_start_sdk_byThread", Qt::QueuedConnection);
    ThreadLogF("ConfigeDlg_2c::start / ThreadID : 0x%llx", threadNumber());
}

void CheckSystemDlg_Ctrl::shutdown()
{
    qDebug() << "~ConfigeDlg_2c (step1) m_workThread->quit()!";
    QElapsedTimer clock;
    clock.start();
    if (m_pView) {
        disconnect(m_pView, nullptr, this, nullptr);
        disconnect(this, nullptr, m_pView, nullptr);
        m_pView = nullptr;
    }
    if (!m_started) {
        delete this;
        return;
    }
    // Queued behind the calls already sent (the settings of Finish among them), so that they still run.
    QMetaObject::invokeMethod(
        this, [] { QThread::currentThread()->quit(); }, Qt::QueuedConnection);
    if (m_workThread->wait(kShutdownWaitMs)) {
        qDebug().noquote() << QString::asprintf("~ConfigeDlg_2c (step3) wait quit finish!( %dms )",
                                                int(clock.elapsed()));
        delete this;
        return;
    }
    qDebug().noquote() << QString::asprintf("~ConfigeDlg_2c (step3) wait quit timeover!( %dms )", int(clock.elapsed()));
    int expected = Running;
    if (m_lifecycle.compare_exchange_strong(expected, FreeWhenFinished))
        return; // freed by the thread's end
    // The thread released everything just now.
    m_workThread->wait();
    delete this;
}

void CheckSystemDlg_Ctrl::slot_start_sdk_byThread()
{
    ThreadLogF("ConfigeDlg_2c::ansyStart / ThreadID : 0x%llx", threadNumber());
    CAgoraObject* object = CAgoraObject::getOrCreate(QString::fromLatin1(m_appId));
    agora::rtc::IRtcEngine* engine = CAgoraObject::engine();
    object->setLogFile(ConfigManager::instance()->getAgoraLogPath());
    if (engine)
        engine->setChannelProfile(agora::rtc::CHANNEL_PROFILE_COMMUNICATION);
    object->setVideoEnabled(true);

    createCameraManager();
    createAudInputManager();
    createPlayoutManager();

    if (CAGEngineEventHandler* handler = engineEventHandler()) {
        connect(handler, &CAGEngineEventHandler::sig_local_video_ready, this,
                &CheckSystemDlg_Ctrl::slot_agora_localVideoIsReady);
        connect(handler, &CAGEngineEventHandler::sig_video_device_changed, this,
                &CheckSystemDlg_Ctrl::slot_agora_videoDeviceChanged);
        connect(handler, &CAGEngineEventHandler::sig_local_audio_volume, this,
                &CheckSystemDlg_Ctrl::slot_agora_localMicrophoneVolume);
        connect(handler, &CAGEngineEventHandler::sig_audio_device_changed, this,
                &CheckSystemDlg_Ctrl::slot_agora_audioDeviceChanged);
    }
    ThreadLogF("ConfigeDlg_2c::ansyStart End / ThreadID : 0x%llx", threadNumber());
    logEmitSignal("sig_async_start_result");
    emit sig_async_start_result(0);
}

void CheckSystemDlg_Ctrl::slot_stop_sdk_byThread()
{
    delete m_pCameraManager;
    m_pCameraManager = nullptr;
    delete m_pAudInputManager;
    m_pAudInputManager = nullptr;
    delete m_pPlayoutManager;
    m_pPlayoutManager = nullptr;
    if (CAgoraObject::instance())
        CAgoraObject::destroy();
    ThreadLog("~ConfigeDlg_2c (step2) slot_stop_sdk_byThread");

    int expected = Running;
    if (m_lifecycle.compare_exchange_strong(expected, Stopped))
        return;
    // shutdown() gave up waiting: free the worker on the GUI thread once this thread is gone.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            application,
            [this] {
                m_workThread->wait();
                delete this;
            },
            Qt::QueuedConnection);
    }
}

CAGEngineEventHandler* CheckSystemDlg_Ctrl::engineEventHandler() const
{
    CAgoraObject* object = CAgoraObject::instance();
    return object ? object->m_pEventHandler : nullptr;
}

// Managers

int CheckSystemDlg_Ctrl::createCameraManager()
{
    return recreateManager(m_pCameraManager, m_cameraDevices);
}

int CheckSystemDlg_Ctrl::createAudInputManager()
{
    return recreateManager(m_pAudInputManager, m_microphoneDevices);
}

int CheckSystemDlg_Ctrl::createPlayoutManager()
{
    return recreateManager(m_pPlayoutManager, m_speakerDevices);
}

// Publishing

void CheckSystemDlg_Ctrl::emitCameraDevices(const QString& current)
{
    m_cameraInUse = current;
    logEmitSignal("sig_camera_devices_changed");
    emit sig_camera_devices_changed(m_cameraDevices, current);
}

void CheckSystemDlg_Ctrl::emitMicrophoneDevices(const QString& current)
{
    m_microphoneInUse = current;
    logEmitSignal("sig_microphone_devices_changed");
    emit sig_microphone_devices_changed(m_microphoneDevices, current);
}

void CheckSystemDlg_Ctrl::emitSpeakerDevices(const QString& current)
{
    m_speakerInUse = current;
    logEmitSignal("sig_speaker_devices_changed");
    emit sig_speaker_devices_changed(m_speakerDevices, current);
}

void CheckSystemDlg_Ctrl::startPreview()
{
    if (CAgoraObject* object = CAgoraObject::instance())
        object->setLocalPreview(m_previewWindow, true, true);
}

void CheckSystemDlg_Ctrl::stopPreview()
{
    if (CAgoraObject* object = CAgoraObject::instance())
        object->setLocalPreview(0, false, true);
}

// Pages

void CheckSystemDlg_Ctrl::slot_page_current_changed(int nCurrentPageIndex)
{
    if (nCurrentPageIndex == m_nCurrentPage)
        return;
    switch (m_nCurrentPage) {
    case 2:
    case 21:
        closePageSysInfo();
        break;
    case 22:
        closePageCamera();
        break;
    case 23:
        closePageMicrophone();
        break;
    case 24:
        closePageSpeaker();
        break;
    default:
        break;
    }
    switch (nCurrentPageIndex) {
    case 2:
    case 21:
        openPageSysInfo();
        break;
    case 22:
        openPageCamera();
        break;
    case 23:
        openPageMicrophone();
        break;
    case 24:
        openPageSpeaker();
        break;
    default:
        break;
    }
    m_nCurrentPage = nCurrentPageIndex;
}

void CheckSystemDlg_Ctrl::openPageSysInfo()
{
    ThreadLogF("lpAgoraObject::openPageSysInfo -> EnableLastmileTest(true) / ThreadID : 0x%llx", threadNumber());
}

void CheckSystemDlg_Ctrl::closePageSysInfo() {}

void CheckSystemDlg_Ctrl::openPageCamera()
{
    if (!CAgoraObject::instance())
        return;
    QString current;
    if (m_pCameraManager)
        current = m_pCameraManager->currentCaptureDevice();
    else if (createCameraManager() > 0 && m_pCameraManager)
        current = m_pCameraManager->currentCaptureDevice();
    emitCameraDevices(current);
    if (!current.isEmpty())
        startPreview();
}

void CheckSystemDlg_Ctrl::closePageCamera()
{
    if (!m_pCameraManager) {
        ThreadLog("ConfigeDlg_2c::closePageCamera() / nullptr == m_pCameraManager");
        return;
    }
    m_strCameraID = m_pCameraManager->currentCaptureDevice();
    stopPreview();
    logEmitSignal("sig_camera_preview_ended");
    emit sig_camera_preview_ended(m_strCameraID);
    delete m_pCameraManager;
    m_pCameraManager = nullptr;
}

void CheckSystemDlg_Ctrl::openPageMicrophone()
{
    if (!CAgoraObject::instance())
        return;
    QString current;
    if (m_pAudInputManager)
        current = m_pAudInputManager->currentRecordingDevice();
    else if (createAudInputManager() > 0 && m_pAudInputManager)
        current = m_pAudInputManager->currentRecordingDevice();
    emitMicrophoneDevices(current);
    if (m_pAudInputManager && !current.isEmpty())
        m_pAudInputManager->setRecordingDeviceTest(true);
}

void CheckSystemDlg_Ctrl::closePageMicrophone()
{
    if (!m_pAudInputManager)
        return;
    m_pAudInputManager->setRecordingDeviceTest(false);
    m_strMicrophoneID = m_pAudInputManager->currentRecordingDevice();
    delete m_pAudInputManager;
    m_pAudInputManager = nullptr;
}

void CheckSystemDlg_Ctrl::openPageSpeaker()
{
    if (!CAgoraObject::instance())
        return;
    QString current;
    if (m_pPlayoutManager)
        current = m_pPlayoutManager->GetCurDeviceID();
    else if (createPlayoutManager() > 0 && m_pPlayoutManager)
        current = m_pPlayoutManager->GetCurDeviceID();
    emitSpeakerDevices(current);
}

void CheckSystemDlg_Ctrl::closePageSpeaker()
{
    if (!m_pPlayoutManager)
        return;
    m_strSpeakerID = m_pPlayoutManager->GetCurDeviceID();
    m_pPlayoutManager->TestPlaybackDevice(QString(), false);
    delete m_pPlayoutManager;
    m_pPlayoutManager = nullptr;
}

void CheckSystemDlg_Ctrl::slot_reboot_camera_devices()
{
    closePageCamera();
    openPageCamera();
}

// Selections from the wizard

void CheckSystemDlg_Ctrl::slot_view_camera_select_changed(QString curDeviceID)
{
    if (m_pCameraManager && m_pCameraManager->setCaptureDevice(curDeviceID))
        m_cameraInUse = curDeviceID;
}

void CheckSystemDlg_Ctrl::slot_microphone_select_changed(QString curDeviceID)
{
    if (m_pAudInputManager && m_pAudInputManager->setRecordingDevice(curDeviceID))
        m_microphoneInUse = curDeviceID;
}

void CheckSystemDlg_Ctrl::slot_view_speaker_select_changed(QString curDeviceID)
{
    if (!m_pPlayoutManager)
        return;
    const bool accepted = m_pPlayoutManager->SetCurDevice(curDeviceID);
    ThreadLogF("slot_view_speaker_select_changed(%d):%s", int(accepted), curDeviceID.toUtf8().constData());
    if (accepted)
        m_speakerInUse = curDeviceID;
}

// Lists made again on the wizard's request

void CheckSystemDlg_Ctrl::slot_view_camera_syncDeviceList()
{
    if (!CAgoraObject::instance())
        return;
    const QString before = m_pCameraManager ? m_pCameraManager->currentCaptureDevice() : QString();
    const int count = createCameraManager();
    QString after = m_pCameraManager ? m_pCameraManager->currentCaptureDevice() : QString();
    if (m_pCameraManager && count > 0 && (after.isEmpty() || before.isEmpty())) {
        const QString accepted = firstAccepted(*m_pCameraManager, m_cameraDevices);
        if (!accepted.isEmpty()) {
            startPreview();
            after = accepted;
        }
    }
    emitCameraDevices(after);
}

void CheckSystemDlg_Ctrl::slot_microphone_syncDeviceList()
{
    if (!CAgoraObject::instance())
        return;
    const int count = createAudInputManager();
    if (!m_pAudInputManager) {
        emitMicrophoneDevices(QString());
        return;
    }
    CAgoraAudInputManager* manager = m_pAudInputManager;
    QString after = manager->currentRecordingDevice();
    if (count > 0 && after.isEmpty())
        after = firstAccepted(*manager, m_microphoneDevices);
    if (!after.isEmpty())
        manager->setRecordingDeviceTest(true);
    emitMicrophoneDevices(after);
}

void CheckSystemDlg_Ctrl::slot_view_speaker_syncDeviceList()
{
    if (!CAgoraObject::instance())
        return;
    const int count = createPlayoutManager();
    if (!m_pPlayoutManager) {
        ThreadLog("slot_view_speaker_syncDeviceList / nullptr == m_pPlayoutManager");
        emitSpeakerDevices(QString());
        return;
    }
    CAgoraPlayoutManager* manager = m_pPlayoutManager;
    QString after = manager->GetCurDeviceID();
    if (count > 0 && after.isEmpty())
        after = firstAccepted(*manager, m_speakerDevices);
    emitSpeakerDevices(after);
}

// Devices that come and go

void CheckSystemDlg_Ctrl::slot_agora_videoDeviceChanged(QString deviceId, int deviceType, int deviceState)
{
    Q_UNUSED(deviceType)
    const QString previous = m_pCameraManager ? m_cameraInUse : QString();
    createCameraManager();
    if (!m_pCameraManager) {
        stopPreview();
        logEmitSignal("sig_camera_preview_ended");
        emit sig_camera_preview_ended(previous);
        emitCameraDevices(QString());
        return;
    }
    const bool inUseGone = isGone(deviceState) && deviceId == previous;
    if (inUseGone) {
        stopPreview();
        logEmitSignal("sig_camera_preview_ended");
        emit sig_camera_preview_ended(previous);
    }
    const QString current = deviceAfterChange(m_pCameraManager, m_cameraDevices, deviceId, deviceState, previous);
    if (inUseGone && !current.isEmpty())
        startPreview();
    emitCameraDevices(current);
}

void CheckSystemDlg_Ctrl::slot_agora_audioDeviceChanged(QString deviceId, int deviceType, int deviceState)
{
    if (deviceType == 0)
        onSpeakerDeviceChanged(deviceId, deviceState);
    else if (deviceType == 1)
        onMicrophoneDeviceChanged(deviceId, deviceState);
}

void CheckSystemDlg_Ctrl::onMicrophoneDeviceChanged(const QString& deviceId, int deviceState)
{
    if (!m_pAudInputManager)
        return;
    const QString previous = m_microphoneInUse;
    createAudInputManager();
    const QString current = deviceAfterChange(m_pAudInputManager, m_microphoneDevices, deviceId, deviceState, previous);
    // The new manager runs no level test: start it again while the microphone page is on show.
    if (m_pAudInputManager && !current.isEmpty() && m_nCurrentPage == 23)
        m_pAudInputManager->setRecordingDeviceTest(true);
    emitMicrophoneDevices(current);
}

void CheckSystemDlg_Ctrl::onSpeakerDeviceChanged(const QString& deviceId, int deviceState)
{
    if (!m_pPlayoutManager)
        return;
    const QString previous = m_speakerInUse;
    const bool wasPlaying = m_pPlayoutManager->isPlaybackTest();
    createPlayoutManager(); // freeing the old manager stops its test sound
    if (wasPlaying || (isGone(deviceState) && deviceId == previous)) {
        logEmitSignal("sig_speaker_preview_ended");
        emit sig_speaker_preview_ended(previous);
    }
    emitSpeakerDevices(deviceAfterChange(m_pPlayoutManager, m_speakerDevices, deviceId, deviceState, previous));
}

// Engine reports

void CheckSystemDlg_Ctrl::slot_agora_localMicrophoneVolume(int totalVolume)
{
    ThreadLogF("totalVolume = %d", totalVolume);
    if (!m_pAudInputManager) {
        ThreadLog("ConfigeDlg_2c::slot_agora_localMicrophoneVolume() / nullptr == m_pAudInputManager");
        return;
    }
    logEmitSignal("sig_microphone_volume");
    emit sig_microphone_volume(m_pAudInputManager->currentRecordingDevice(), totalVolume);
}

void CheckSystemDlg_Ctrl::slot_agora_localVideoIsReady()
{
    if (!m_pCameraManager) {
        ThreadLog("ConfigeDlg_2c::slot_agora_localVideoIsReady() / nullptr == m_pCameraManager");
        return;
    }
    logEmitSignal("sig_camera_preview_began");
    emit sig_camera_preview_began(m_pCameraManager->currentCaptureDevice());
}

// Speaker test sound and volume

void CheckSystemDlg_Ctrl::slot_view_speaker_play_audio(bool playAudio)
{
    if (!m_pPlayoutManager) {
        ThreadLog("slot_view_speaker_play_audio / nullptr == m_pPlayoutManager");
        return;
    }
    if (playAudio)
        m_pPlayoutManager->TestPlaybackDevice(QString::fromLatin1(kTestSound), true);
    else
        m_pPlayoutManager->TestPlaybackDevice(QString(), false);
}

void CheckSystemDlg_Ctrl::slot_view_speaker_volume_changed(int nValue)
{
    if (!m_pPlayoutManager)
        return;
    ThreadLogF("view_speaker_volume_changed:%d", nValue);
    // The slider's top is 99: 99 gives 255, 50 gives 128.
    m_nSpeakerVolume = int(nValue * 255.0 / 99.0);
    m_pPlayoutManager->SetVolume(m_nSpeakerVolume);
}

void CheckSystemDlg_Ctrl::slot_finish_check_save_ini()
{
    ConfigManager* config = ConfigManager::instance();
    config->ini_SetParam_String(kSelectedCameraKey, m_strCameraID.toUtf8());
    config->ini_SetParam_String(kSelectedMicrophoneKey, m_strMicrophoneID.toUtf8());
    config->ini_SetParam_String(kSelectedSpeakerKey, m_strSpeakerID.toUtf8());
    if (m_nSpeakerVolume >= 0)
        config->ini_SetParam_Int(kVolumeKey, m_nSpeakerVolume);
}
