// The small class room's page: its requests, and the engine's statistics, voice volumes and network state shown
// there.
#include "rooms/small/SmallClassRoom.h"

#include "app/AppGlobalData.h"
#include "live/rtc/AgoraChannel.h"
#include "rooms/small/SmallRoomPage.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "rooms/widgets/PageEnvironment.h"
#include "ui/common/ToastDialog.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

quint32 SmallClassRoom::ownPageUserId()
{
    return static_cast<quint32>(AppGlobalData::instance()->userIdAsInt());
}

void SmallClassRoom::showToast(int kind, const QString& text)
{
    courseware()->showToast(kind, text);
}

void SmallClassRoom::onWbWebBtnClicked(QString webBtn_domID)
{
    qInfo() << "SmallClassRoom::onWbWebBtnClicked" << webBtn_domID;
    if (webBtn_domID == QLatin1String("reset")) {
        whiteboard()->reloadPage();
        m_videoViews.resetViews();
        QMetaObject::invokeMethod(this, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, 3));
    } else if (webBtn_domID == QLatin1String("setting")) {
        popupConfigeDlg(false);
    } else if (webBtn_domID == QLatin1String("feedback")) {
        popupFeedbackDlg();
    }
}

void SmallClassRoom::onWbWebSetMicEnable(bool bEnable)
{
    // A user who does not publish (an auditor) sends no sound whatever the page asks: nothing changes, nothing is
    // told.
    if (!m_pAgoraChannel->isPublishing()) {
        qInfo() << "SmallClassRoom::onWbWebSetMicEnable" << bEnable << "ignored: the local user does not publish";
        return;
    }
    if (m_pAgoraChannel->isLocalAudioLive() == bEnable)
        return;
    const int result = m_pAgoraChannel->muteLocalAudio(!bEnable);
    if (result != 0) {
        qWarning() << "SmallClassRoom::onWbWebSetMicEnable" << bEnable << "refused by the engine:" << result;
        return;
    }
    showToast(ToastDialog::Success, bEnable ? tr("Micphone is turned on") : tr("Micphone is turned off"));
}

void SmallClassRoom::onWbWebEnvRequest()
{
    postPageEnvironment(whiteboard(), ownPageUserId());
}

void SmallClassRoom::onAgora_RtcStats(QMapStrVar rtcStats)
{
    QMap<QString, QString> texts;
    for (auto it = rtcStats.cbegin(); it != rtcStats.cend(); ++it)
        texts.insert(it.key(), it.value().toString());
    whiteboard()->postN2WMessage(QStringLiteral("msg-n2w-post-rtc-stats"), ownPageUserId(), texts, false);
}

void SmallClassRoom::onAgora_VolumeIndication(QByteArray data)
{
    const quint32 ownId = ownPageUserId();
    for (const agora::rtc::AudioVolumeInfo& speaker : AgoraChannel::readVolumeRecords(data)) {
        const quint32 uid = speaker.uid;
        whiteboard()->onUserVolumeChange(uid == 0 ? ownId : uid, smallRoomPageVolume(qint32(speaker.volume)));
    }
}

void SmallClassRoom::onAgora_Network_Down()
{
    showToast(ToastDialog::Warning, tr("Broken network, reconnecting..."));
}

void SmallClassRoom::onAgora_Network_Rejoin(uint uid)
{
    Q_UNUSED(uid)
    showToast(ToastDialog::Success, tr("Network connection success."));
}
