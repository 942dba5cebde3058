#include "replay/controllers/PublicClassReplayCtrl.h"

#include "app/AppGlobalData.h"
#include "net/api/ZmNetAPI.h"
#include "replay/controllers/VlcReplayCtrl.h"
#include "replay/controllers/WhiteboardReplayCtrl.h"
#include "replay/vlc/VlcInstance.h"
#include "replay/widgets/VideoReplayWidget.h"
#include "replay/windows/PublicClassReplayDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

PublicClassReplayCtrl::PublicClassReplayCtrl(QObject* parent)
    : CompositeReplayCtrl(parent)
{
}

PublicClassReplayCtrl::~PublicClassReplayCtrl() = default;

PublicClassReplayDlg* PublicClassReplayCtrl::replayWindow() const
{
    return static_cast<PublicClassReplayDlg*>(m_window);
}

bool PublicClassReplayCtrl::init(QObject* /*view*/, const ReplayMediaInfo* /*media*/, const UserInfo* /*member*/)
{
    AppGlobalData* data = AppGlobalData::instance();
    const ReplayMediaInfo record = teacherMedia(data->launch);

    auto* window = new PublicClassReplayDlg;
    m_window = window;
    window->setReplayCtrl(this);
    window->showMax();

    if (record.url.isEmpty() || record.duration == 0) {
        qWarning() << "PublicClassReplayCtrl::init no teacher video to replay:" << record.url << record.duration;
        setState(ReplayerState_LoadFailed);
        return false;
    }

    m_lessonInfoResult =
        ZmNetAPI::instance()->GetSmallClassInfo(data->lesson.periodId, data->launch.userId, data->launch.token);
    if (m_lessonInfoResult != 0) {
        qWarning() << "PublicClassReplayCtrl::init the lesson record could not be loaded:" << m_lessonInfoResult;
        setState(ReplayerState_LoadFailed);
        return false;
    }

    m_whiteboardCtrl = new WhiteboardReplayCtrl;
    adopt(m_whiteboardCtrl);
    m_whiteboardCtrl->init(window->whiteboard(), nullptr, nullptr);
    window->whiteboard()->setLessonTitle(data->lesson.lessonName);

    VlcInstance* instance = VlcReplayCtrl::createVlcInstance(nullptr);
    if (!instance) {
        qWarning() << "PublicClassReplayCtrl::init libvlc cannot be started: the whiteboard replays alone";
        return false;
    }
    instance->setLogLevel(Vlc::DisabledLevel);

    m_teacherVideoCtrl = new VlcReplayCtrl;
    adopt(m_teacherVideoCtrl);
    m_teacherVideoCtrl->init(window->teacherTile(), &record, data->teacherInfo());
    return true;
}
