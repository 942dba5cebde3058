#pragma once

#include "web/ZmRouteManager.h"

#include <QImage>
#include <QList>
#include <QString>

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

// A window router that only records the window ends posted to it (the rooms' ExitMe).
class RouterProbe : public ZmRouteManager
{
public:
    QList<int> codes;

protected:
    bool event(QEvent* event) override;
};

// The visible top-level dialog of class T with that label text in a child named labelName; null when none.
QWidget* visibleDialogWithText(const char* className, const char* labelName, const QString& text);

// Clicks the child button of that name.
bool click(QWidget* parent, const char* buttonName);

// Whether the screen shows the engine's moving picture over the lower half of the widget (below notices and the
// star): two looks 300 ms apart differ and each has a few colours. Qt's own painting (a cover, an empty surface)
// stands still. Looks again for up to timeoutMs.
bool showsMovingPicture(const QWidget* widget, int timeoutMs = 10000);

// The screen's pixels over the widget.
QImage screenPixels(const QWidget* widget);

// The text of the next notice the courseware shows (waiting up to timeoutMs), which is then taken off so that the
// one queued behind it follows; empty when none came.
QString takeToast(CoursewareViewer* courseware, int timeoutMs = 5000);

} // namespace NormalRoomTest
