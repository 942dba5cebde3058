#pragma once

#include "web/ZmRouteManager.h"

#include "WaitUntil.h"

#include <QList>
#include <QString>

class CoursewareViewer;

// What the class room window tests share.
namespace RoomTest {

// A window router that only records the window ends posted to it (the rooms' ExitMe); the current router while it
// lives.
class RouterProbe : public ZmRouteManager
{
public:
    QList<int> codes;

protected:
    bool event(QEvent* event) override;
};

// The text of the next notice the courseware shows (waiting up to timeoutMs), which is then taken off so that the
// one queued behind it follows; empty when none came.
QString takeToast(CoursewareViewer* courseware, int timeoutMs = ZmTest::kWaitMs);

// The rooms sample a calm processor (10 %) instead of the machine's, whose load would open their overload notice
// in the middle of a test; a test that wants an overload puts a source of its own in place.
void useCalmProcessor();

} // namespace RoomTest
