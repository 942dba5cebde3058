#include "RoomWindowTestSupport.h"

#include "app/ZmAppEvents.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ToastDialog.h"

#include <QLabel>
#include <QTest>

bool RoomTest::RouterProbe::event(QEvent* event)
{
    if (event->type() == ZmAppEvent::kType) {
        codes << static_cast<ZmAppEvent*>(event)->code();
        return true;
    }
    return ZmRouteManager::event(event);
}

QString RoomTest::takeToast(CoursewareViewer* courseware, int timeoutMs)
{
    auto* toast = courseware->findChild<ToastDialog*>();
    if (!toast || !QTest::qWaitFor([toast] { return toast->isVisible(); }, timeoutMs))
        return QString();
    const QString text = toast->findChild<QLabel*>(QStringLiteral("label_text"))->text();
    toast->hideToast();
    return text;
}

void RoomTest::useCalmProcessor()
{
    RoomCpuLoad::setSource([] { return 10; });
}
