#pragma once

#include "RtcTestSupport.h"
#include "Simulator.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class PublicClassRoom;
class SimRtcEngine;

namespace PublicRoomTest {

// The lesson's people as the simulator's lesson reply names them.
constexpr int kTeacherId = 300451;
constexpr int kStudentId = 100234;
constexpr int kAuditorId = 100999;

// What a public class room needs around it: the simulator (class service, message server and lesson pages), a
// traced simulated RTC engine and a lesson of one role; and the room itself, shown as the router shows it.
class RoomFixture
{
public:
    // Starts the simulator once; false with the reason in error().
    bool start();
    QString error() const { return m_error; }

    // Before each test: the simulator's logs and routes cleared and every address pointed at it, the lesson of
    // accountType (1 student, 2 teacher, 3 auditor) about to be entered, a fresh traced engine scenario (change
    // rtc().scenario, then rtc().use()), the selected devices forgotten.
    bool prepare(int accountType);
    RtcTest::TracedScenario& rtc() { return *m_rtc; }
    ZmTest::Simulator& sim() { return m_sim; }

    // A new room, shown (maximised): its entry starts on its own.
    PublicClassRoom* open();
    PublicClassRoom* room() const { return m_room.data(); }
    // Waits until the room has entered the class.
    bool waitEntered(int timeoutMs = ZmTest::kWaitMs);
    // Opens a room and waits for its entry.
    PublicClassRoom* enter();
    // Deletes the room and what it leaves behind, and waits for the problem reports to go out.
    void close();

    // The simulated engine behind the room's channel; null before the channel's first step.
    SimRtcEngine* engine() const;

    // The class messages the program sent, with that tag (all when 0), oldest first.
    QList<QJsonObject> sent(int tag = 0);
    // Waits until count messages with that tag were sent; all of them.
    QList<QJsonObject> waitForSent(int tag, int count = 1, int timeoutMs = ZmTest::kWaitMs);
    // A message from the teacher (envelope of the simulator's scenarios) pushed to the program.
    bool pushFromTeacher(int tag, const QJsonObject& fields);
    // The device reports sent: "<deviceType> <deviceStatus>" each.
    QStringList deviceReports();
    // The whiteboard page loads the simulator has served.
    int pageLoads();

private:
    ZmTest::Simulator m_sim;
    std::unique_ptr<RtcTest::TracedScenario> m_rtc;
    QPointer<PublicClassRoom> m_room;
    QString m_error;
};

// A visible dialog of that class (a top-level window), or null.
template <typename Dialog> Dialog* visibleDialog()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<Dialog*>(window); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Clicks the button of that object name in the window.
void press(QWidget* window, const char* buttonName);

} // namespace PublicRoomTest
