#pragma once

#include "web/ZmRouteManager.h"

#include "MessageServerFixture.h"
#include "RoomWindowTestSupport.h"

#include <QList>
#include <QString>

#include <memory>

class CoursewareViewer;
class QWidget;

namespace NormalRoomTest {

constexpr int kPupilId = 100234;
constexpr int kTeacherId = 300451;
constexpr int kGuestId = 100999;

// The application data of a one-to-one lesson about to be entered by the account type (1 pupil 100234, 2 teacher
// 300451, 3 guest 100999): the lesson's records, the teacher's record, and the pupil as the one member with
// classPoint points.
void setUpLesson(int accountType, int classPoint = 0);

using RoomTest::RouterProbe;
using RoomTest::takeToast;
using RoomTest::useCalmProcessor;

// What the room tests share: the simulator with its message server, a router that records the ends posted to it,
// the settings, a whiteboard that stops at once and a calm processor.
class RoomTestEnvironment
{
public:
    MessageServerFixture messages;
    std::unique_ptr<RouterProbe> router;

    ZmTest::Simulator& sim() { return messages.sim(); }
    // Once per test program; false with the reason in messages.error().
    bool start();
    // Before each test: the simulator's logs, routes and addresses reset, the ends recorded so far forgotten.
    bool reset();
    // After each test (the room deleted): no message engine, a calm processor again, queued work done.
    void cleanUp();
};

// Clicks the child button of that name.
bool click(QWidget* parent, const char* buttonName);

// Whether the screen shows the engine's moving picture over the lower half of the widget (below notices and the
// star): two looks 300 ms apart differ and each has a few colours. Qt's own painting (a cover, an empty surface)
// stands still. Looks again for up to timeoutMs.
bool showsMovingPicture(const QWidget* widget, int timeoutMs = ZmTest::kWaitMs);

} // namespace NormalRoomTest
