#include "ReplayWindowSupport.h"

#include "app/ZmAppEvents.h"

bool ZmTest::RecordingRouter::event(QEvent* event)
{
    if (event->type() == ZmAppEvent::kType) {
        codes << static_cast<ZmAppEvent*>(event)->code();
        return true;
    }
    return QWidget::event(event);
}
