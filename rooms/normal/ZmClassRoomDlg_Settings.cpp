// The normal class room's settings dialog.
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/LogHandler.h"
#include "live/rtc/AgoraChannel.h"
#include "rooms/common/RoomDevices.h"
#include "rooms/common/Signals_AboutInitTask.h"
#include "settings/ConfigeDlg_Imp.h"

#include <QDebug>

void ZmClassRoomDlg::onTitleBar_SettingBtn_Clicked()
{
    ConfigeDlg_Imp* dialog = ConfigeDlg_Imp::create(m_pAgoraChannel->engine(), false, this);
    if (!dialog)
        return;
    dialog->setDoneCallback(
        [this, dialog](QObject* context, int result) {
            if (context)
                onSettingsAccepted(dialog, result);
        },
        this);
    m_modalDialog.open(dialog);
}

void ZmClassRoomDlg::onSettingsAccepted(QObject* dialog, int result)
{
    auto* settings = qobject_cast<ConfigeDlg_Imp*>(dialog);
    if (!settings || result != 1)
        return;
    const int notRecommended = settings->notRecommendDeviceTypes();
    qInfo() << "ConfigeDlg::Accepted : m_notRecommendDeviceTypes : " << notRecommended;
    if (notRecommended != 0) {
        logEmitSignal("sig_selectedDeviceIsNotRecommend");
        emit m_initTaskSignals->sig_selectedDeviceIsNotRecommend(NotRecommendDeviceType(notRecommended));
    }
    RoomDevices::applyChangedDevices(settings->changedDevices(), m_pAudioDevice, m_pVideoDevice);
}
