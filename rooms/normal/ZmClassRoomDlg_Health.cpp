// The normal class room's health checks: the processor load it samples and the RTC engine's statistics.
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraChannel.h"
#include "ui/common/MyTitleBar.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

void ZmClassRoomDlg::onTimerCpuUsage()
{
    if (RoomCpuLoad::sampleForRoom(m_cpuOverload, m_titleBar))
        m_modalDialog.openNotice(this, tr("CPU overload, please close other software programs."), tr("Get it"));
}

void ZmClassRoomDlg::onAgora_RtcStats(QMapStrVar rtcStats)
{
    const AppGlobalData* data = AppGlobalData::instance();
    if (!data->isTeacher() && !data->isStudent())
        return;
    RtcStatsContext context;
    context.localIsTeacher = data->isTeacher();
    context.localIsPupil = data->isStudent();
    context.onlineUsers = int(m_pAgoraChannel->onlineUserSet().size());
    context.pageVideoPlaying = whiteboard()->isVideoPlaying();
    context.teacherAudioMuted = data->teacherAudioMuted;
    context.localAudioLive = m_pAgoraChannel->isLocalAudioLive();
    const QList<DeviceProblem> problems = m_statsCheck.check(rtcStats, context);
    for (const DeviceProblem& problem : problems) {
        qWarning().noquote() << "ZmClassRoomDlg::onAgora_RtcStats reports" << problem.remark << problem.description;
        ProblemReportQueue::file(problem.problemType, problem.errorCode, problem.remark, problem.description);
    }
}
