// The public class room during the class: network quality and loss, the selected devices going away and their
// re-check, the page reload and the device settings.
#include "rooms/public/PublicClassRoom.h"

#include "app/LogHandler.h"
#include "live/entry/InitTaskRunner.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraChannel.h"
#include "rooms/common/RoomDevices.h"
#include "settings/ConfigeDlg_Imp.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

namespace {

constexpr int kWorstQuality = 6;
constexpr int kUnplugRetryDelayMs = 5000;
constexpr int kStepTimeoutSec = 30;

} // namespace

void PublicClassRoom::onAgora_Network_Quality(uint uid, int txQuality, int rxQuality)
{
    // Only the local user's report counts, and none while the connection is down.
    if (uid != 0 || m_networkDown)
        return;
    m_titleBar->setNetworkQuality(txQuality, rxQuality);
}

void PublicClassRoom::onAgora_Network_Down()
{
    qInfo() << "PublicClassRoom::onAgora_Network_Down";
    m_networkDown = true;
    m_titleBar->setNetworkQuality(kWorstQuality, kWorstQuality);
    if (ClassMsgEngine* engine = ClassMsgEngine::instance())
        engine->tryReConnect();
}

void PublicClassRoom::onAgora_Network_Rejoin(uint uid)
{
    qInfo() << "PublicClassRoom::onAgora_Network_Rejoin" << uid;
    m_networkDown = false;
}

void PublicClassRoom::onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::audioDeviceStateChanged(whiteboard(), deviceId, deviceType, deviceState)) {
        logEmitSignal("sigAgora2_DeviceUnPlugged");
        emit sigAgora2_DeviceUnPlugged(deviceType);
    }
}

void PublicClassRoom::onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::videoDeviceStateChanged(whiteboard(), deviceId, deviceState)) {
        logEmitSignal("sigAgora2_DeviceUnPlugged");
        emit sigAgora2_DeviceUnPlugged(deviceType);
    }
}

void PublicClassRoom::onAgora2_DeviceUnplugged(int deviceType)
{
    if (m_runnerParams) {
        qInfo().noquote() << "PublicClassRoom::onAgora2_DeviceUnplugged ( taskParams->forCase_ ="
                          << m_runnerParams->forCase_ << ")";
        QDelayTimer::delay(
            kUnplugRetryDelayMs,
            [this, deviceType](QDelayTimer*) {
                logEmitSignal("sigAgora2_DeviceUnPlugged");
                emit sigAgora2_DeviceUnPlugged(deviceType);
            },
            this);
        return;
    }
    runDeviceRecheck(deviceType);
}

void PublicClassRoom::runDeviceRecheck(int deviceType)
{
    qInfo() << "PublicClassRoom::runDeviceRecheck after an unplug of device type" << deviceType;
    m_runnerParams =
        createInitTaskParams(InitCase_DeviceUnplugged, m_channel, &m_audioDevice, &m_videoDevice, whiteboard());
    if (!m_runnerParams)
        return;
    // No room dialog stays open over the re-check, and none opens while it runs.
    setCurModalDialog(nullptr);

    QList<int> kinds{Agora_CheckCamera, Agora_CheckMicphone, Agora_CheckSpeaker};
    const Init_Tasks_Result result = runTasks_awaitEnd(this, &kinds, this, kStepTimeoutSec);
    if (result == 0) {
        RoomDevices::reselectDevices(m_audioDevice, m_videoDevice);
    } else {
        m_entryGivenUp = true;
        connectInitTasksEnded();
    }
    logEmitSignal("sigInitTasksEnded");
    emit sigInitTasksEnded(result);
    freeInitTaskParams(m_runnerParams);

    // What waited for the re-check's end goes on now, from the event loop.
    if (m_exitDeferred) {
        m_exitDeferred = false;
        QMetaObject::invokeMethod(this, "ExitMe", Qt::QueuedConnection);
    }
    if (m_entryPassDeferred) {
        m_entryPassDeferred = false;
        m_checkTimer.start(0);
    }
    m_modalDialog.runEnded();
}

void PublicClassRoom::connectInitTasksEnded()
{
    qRegisterMetaType<Init_Tasks_Result>("Init_Tasks_Result");
    disconnect(this, &PublicClassRoom::sigInitTasksEnded, this, &PublicClassRoom::ExitMe);
    connect(this, &PublicClassRoom::sigInitTasksEnded, this, &PublicClassRoom::ExitMe, Qt::QueuedConnection);
}

void PublicClassRoom::onButtonReloadClicked()
{
    whiteboard()->reloadPage();
}

void PublicClassRoom::onButtonSettingClicked()
{
    openSettingsDialog();
}

void PublicClassRoom::openSettingsDialog()
{
    ConfigeDlg_Imp* dialog = ConfigeDlg_Imp::create(m_channel->engine(), false, this);
    if (!dialog)
        return;
    QPointer<ConfigeDlg_Imp> finished = dialog;
    dialog->setDoneCallback(
        [this, finished](QObject* context, int result) {
            if (!finished)
                return;
            finished->deleteLater();
            if (context && result == 1)
                RoomDevices::applyChangedDevices(finished->changedDevices(), m_audioDevice, m_videoDevice);
        },
        this);
    m_modalDialog.open(dialog);
}
