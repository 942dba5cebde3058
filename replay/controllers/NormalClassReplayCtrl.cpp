#include "replay/controllers/NormalClassReplayCtrl.h"

#include "app/AppGlobalData.h"
#include "replay/controllers/VlcReplayCtrl.h"
#include "replay/controllers/WhiteboardReplayCtrl.h"
#include "replay/vlc/VlcInstance.h"
#include "replay/widgets/VideoReplayWidget.h"
#include "replay/windows/NormalClassReplayDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include <QLabel>

#include <QDebug>

namespace {

// The tile of a medium the launch record does not name: its placeholder picture, no name.
void showPlaceholder(VideoReplayWidget* tile, const char* picture)
{
    tile->setUserImage(QString::fromLatin1(picture));
    tile->setUserImageVisible(true);
    tile->setUserNameVisible(false);
}

} // namespace

NormalClassReplayCtrl::NormalClassReplayCtrl(QObject* parent)
    : CompositeReplayCtrl(parent)
{
}

NormalClassReplayCtrl::~NormalClassReplayCtrl() = default;

NormalClassReplayDlg* NormalClassReplayCtrl::replayWindow() const
{
    return static_cast<NormalClassReplayDlg*>(m_window);
}

bool NormalClassReplayCtrl::init(QObject* /*view*/, const ReplayMediaInfo* /*media*/, const UserInfo* /*member*/)
{
    VlcInstance* instance = VlcReplayCtrl::createVlcInstance(nullptr);
    if (!instance) {
        qWarning() << "NormalClassReplayCtrl::init libvlc cannot be started: no replay";
        return false;
    }
    instance->setLogLevel(Vlc::DisabledLevel);

    auto* window = new NormalClassReplayDlg;
    m_window = window;
    window->setReplayCtrl(this);
    window->showMax();

    m_whiteboardCtrl = new WhiteboardReplayCtrl;
    adopt(m_whiteboardCtrl);
    m_whiteboardCtrl->init(window->whiteboard(), nullptr, nullptr);

    AppGlobalData* data = AppGlobalData::instance();
    window->lessonTitle()->setText(data->lesson.lessonName);

    if (!data->launch.media1.isEmpty()) {
        const ReplayMediaInfo record = teacherMedia(data->launch);
        m_teacherVideoCtrl = new VlcReplayCtrl;
        adopt(m_teacherVideoCtrl);
        m_teacherVideoCtrl->init(window->teacherTile(), &record, data->teacherInfo());
    } else {
        showPlaceholder(window->teacherTile(), ":/imageRes/image/res/teacher2.png");
    }

    if (!data->launch.media2.isEmpty()) {
        const ReplayMediaInfo record = studentMedia(data->launch);
        m_studentVideoCtrl = new VlcReplayCtrl;
        adopt(m_studentVideoCtrl);
        // The member map's record under id 0, made empty when there is none.
        m_studentVideoCtrl->init(window->studentTile(), &record, &(*data->memberMap())[0]);
    } else {
        showPlaceholder(window->studentTile(), ":/imageRes/image/res/student2.png");
    }
    return true;
}
