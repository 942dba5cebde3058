#include "replay/controllers/CompositeReplayCtrl.h"

#include "app/records/LaunchInfo.h"
#include "replay/controllers/VlcReplayCtrl.h"
#include "replay/controllers/WhiteboardReplayCtrl.h"
#include "replay/windows/ClassReplayDlg.h"

#include <QDebug>

CompositeReplayCtrl::CompositeReplayCtrl(QObject* parent)
    : ReplayCtrl(parent)
{
}

CompositeReplayCtrl::~CompositeReplayCtrl()
{
    // The video controllers go before the shared instance they play through.
    delete m_teacherVideoCtrl;
    delete m_studentVideoCtrl;
    delete m_whiteboardCtrl;
    if (m_window) {
        m_window->closeForGood();
        delete m_window;
    }
    VlcReplayCtrl::releaseVlcInstance();
}

ReplayMediaInfo CompositeReplayCtrl::mediaRecord(const QString& url, const QString& start, const QString& duration)
{
    ReplayMediaInfo record;
    record.url = url;
    record.start = static_cast<qint32>(start.toLong(nullptr, 10));
    record.duration = static_cast<qint32>(duration.toLong(nullptr, 10));
    return record;
}

ReplayMediaInfo CompositeReplayCtrl::teacherMedia(const LaunchInfo& launch)
{
    return mediaRecord(launch.media1, launch.media1start, launch.media1dur);
}

ReplayMediaInfo CompositeReplayCtrl::studentMedia(const LaunchInfo& launch)
{
    return mediaRecord(launch.media2, launch.media2start, launch.media2dur);
}

std::array<ReplayCtrl*, 3> CompositeReplayCtrl::children() const
{
    return {m_whiteboardCtrl, m_teacherVideoCtrl, m_studentVideoCtrl};
}

void CompositeReplayCtrl::adopt(ReplayCtrl* child)
{
    connect(child, SIGNAL(stateChanged(ReplayCtrl*, ReplayerState)), this,
            SLOT(onChildReplayCtrlStateChanged(ReplayCtrl*, ReplayerState)));
}

bool CompositeReplayCtrl::allChildrenAt(ReplayerState state) const
{
    if (!m_whiteboardCtrl || m_whiteboardCtrl->state() != state)
        return false;
    for (const ReplayCtrl* video : {m_teacherVideoCtrl, m_studentVideoCtrl})
        if (video && video->state() != state)
            return false;
    return true;
}

quint32 CompositeReplayCtrl::latestVideoEnd() const
{
    quint32 latest = 0;
    for (VlcReplayCtrl* video : {m_teacherVideoCtrl, m_studentVideoCtrl}) {
        if (!video)
            continue;
        const ReplayMediaInfo& media = video->mediaInfo();
        const quint32 end = static_cast<quint32>(media.start) + static_cast<quint32>(media.duration);
        latest = qMax(latest, end);
    }
    return latest;
}

void CompositeReplayCtrl::onChildReplayCtrlStateChanged(ReplayCtrl* /*pCtrl*/, ReplayerState state)
{
    switch (state) {
    case ReplayerState_Loading:
    case ReplayerState_LoadFailed:
    case ReplayerState_Stalled:
        setState(state);
        break;
    case ReplayerState_Ready:
        if (allChildrenAt(ReplayerState_Ready)) {
            m_media.start = 0;
            m_media.duration = static_cast<qint32>(latestVideoEnd());
            setState(ReplayerState_Ready);
        }
        break;
    case ReplayerState_MayContinue:
        if (allChildrenAt(ReplayerState_MayContinue))
            setState(ReplayerState_MayContinue);
        break;
    default:
        break;
    }
}

void CompositeReplayCtrl::play(bool play)
{
    for (ReplayCtrl* child : children())
        if (child)
            child->play(play);
}

void CompositeReplayCtrl::stop()
{
    for (ReplayCtrl* child : children())
        if (child)
            child->stop();
}

bool CompositeReplayCtrl::seek(uint posMs, bool force)
{
    for (ReplayCtrl* child : children())
        if (child)
            child->seek(posMs, force);
    return true;
}

void CompositeReplayCtrl::close()
{
    if (m_window)
        m_window->stopReplayClock();
    if (m_teacherVideoCtrl)
        m_teacherVideoCtrl->close();
    if (m_studentVideoCtrl)
        m_studentVideoCtrl->close();
    if (m_whiteboardCtrl)
        m_whiteboardCtrl->close();
}
