// The small class room's dialogs (settings, feedback, notices), its selected devices going away, and the processor
// load check.
#include "rooms/small/SmallClassRoom.h"

#include "app/LogHandler.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "rooms/common/RoomDevices.h"
#include "settings/ConfigeDlg_Imp.h"
#include "settings/FeedbackFlow.h"
#include "settings/FeedbackReceivedDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

namespace {

const QList<int> kDeviceSteps{Agora_CheckCamera, Agora_CheckMicphone, Agora_CheckSpeaker};

} // namespace

void SmallClassRoom::popupConfigeDlg()
{
    popupConfigeDlg(false);
}

void SmallClassRoom::popupConfigeDlg(bool noCancelBtn)
{
    ConfigeDlg_Imp* dialog = ConfigeDlg_Imp::create(m_pAgoraChannel->engine(), noCancelBtn, this);
    if (!dialog)
        return;
    dialog->setDoneCallback(
        [this, dialog](QObject* context, int result) {
            dialog->setDoneCallback({}, nullptr);
            if (!context || result != 1)
                return;
            const int notRecommended = dialog->notRecommendDeviceTypes();
            qInfo() << "ConfigeDlg::Accepted : m_notRecommendDeviceTypes : " << notRecommended;
            if (notRecommended != 0) {
                logEmitSignal("sig_selectedDeviceIsNotRecommend");
                emit m_initTaskSignals.sig_selectedDeviceIsNotRecommend(NotRecommendDeviceType(notRecommended));
            }
            RoomDevices::applyChangedDevices(dialog->changedDevices(), m_pAudioDevice, m_pVideoDevice);
        },
        this);
    m_modalDialog.open(dialog);
}

void SmallClassRoom::popupFeedbackDlg()
{
    FeedbackFlow::openForm(
        this, [this](ModalDialog* dialog) { m_modalDialog.open(dialog); },
        [this] { QMetaObject::invokeMethod(this, "popupFeedbackReceivedDlg", Qt::QueuedConnection); });
}

void SmallClassRoom::popupFeedbackReceivedDlg()
{
    auto* received = new FeedbackReceivedDlg(this);
    received->setDoneCallback({}, this);
    m_modalDialog.open(received);
}

void SmallClassRoom::popupNotRecommendDlg(NotRecommendDeviceType deviceTypes)
{
    if (deviceTypes == 0)
        return;
    const QString names = RoomDevices::notRecommendedNames(deviceTypes, "SmallClassRoom");
    m_modalDialog.openNotice(
        this, tr("The device (%1) may affect classes. Please replace the new device in time.").arg(names),
        tr("Get it"));
}

void SmallClassRoom::onAgora_AudioDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::audioDeviceStateChanged(whiteboard(), deviceId, deviceType, deviceState))
        QMetaObject::invokeMethod(this, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, deviceType));
}

void SmallClassRoom::onAgora_VideoDeviceStateChanged(std::string deviceId, int deviceType, int deviceState)
{
    if (RoomDevices::videoDeviceStateChanged(whiteboard(), deviceId, deviceState))
        QMetaObject::invokeMethod(this, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, deviceType));
}

void SmallClassRoom::onAgora2_DeviceUnplugged(int deviceType)
{
    if (m_pInitTaskCurrentParams) {
        qInfo().noquote() << "SmallClassRoom::onAgora2_DeviceUnplugged ( taskParams->forCase_ = "
                          << m_pInitTaskCurrentParams->forCase_ << ")";
        return;
    }
    qInfo() << "SmallClassRoom::onAgora2_DeviceUnplugged device type" << deviceType;
    m_pInitTaskCurrentParams =
        createInitTaskParams(InitCase_DeviceUnplugged, m_pAgoraChannel, &m_pAudioDevice, &m_pVideoDevice, whiteboard());
    if (!m_pInitTaskCurrentParams)
        return;
    setCurModalDialog(nullptr);
    runInitTasks(kDeviceSteps, false, [this](int result) {
        if (result == 0)
            RoomDevices::reselectDevices(m_pAudioDevice, m_pVideoDevice);
    });
}

void SmallClassRoom::onTimerCpuUsage()
{
    if (RoomCpuLoad::sampleForRoom(m_cpuOverload, m_titleBar))
        m_modalDialog.openNotice(this, tr("CPU overload, please close other software programs."), tr("Get it"));
}
