#include "ReplayWindowSupport.h"

#include "app/ZmAppEvents.h"
#include "replay/ReplayRoutes.h"

#include <QCoreApplication>

bool ZmTest::RecordingRouter::event(QEvent* event)
{
    if (event->type() == ZmAppEvent::kType) {
        codes << static_cast<ZmAppEvent*>(event)->code();
        return true;
    }
    return QWidget::event(event);
}

ZmTest::ReplayRowsRouter::ReplayRowsRouter()
{
    setWindowRoute(AppStartStatus_NormalClassReplay, ReplayRoutes::normalClassReplayRoute());
    setWindowRoute(AppStartStatus_PublicClassReplay, ReplayRoutes::publicClassReplayRoute());
    setWindowRoute(AppStartStatus_SmallClassReplay, ReplayRoutes::smallClassReplayRoute());
}

void ZmTest::ReplayRowsRouter::post(QEvent* event)
{
    QCoreApplication::postEvent(this, event);
    QCoreApplication::sendPostedEvents(this);
}
