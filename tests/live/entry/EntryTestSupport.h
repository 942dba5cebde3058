#pragma once

#include "live/entry/NormalClassEntryRoom.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

namespace ZmTest {
class Simulator;
}

// The application data of a lesson about to be entered: user 100234 (pupil), 300451 (teacher) or 100999
// (auditor) by the account type, period 20240611093, lesson 880213, teaching type 1, class type 1; no member yet.
void setUpEntryLesson(int accountType = 1);

// The problem reports the simulator received, once the report queue is idle: "<problemType> <remark>" each.
QStringList filedReports(ZmTest::Simulator& sim);

// The simulator's lesson reply (fixture lesson.json) with its addresses pointing at sim.
QByteArray lessonReply(const ZmTest::Simulator& sim);

// A normal class room as the wiring step sees it: counts its wirings.
class FakeNormalRoom : public QObject, public NormalClassEntryRoom
{
public:
    int wired = 0;
    void connectVideoWidgets() override { ++wired; }
};
