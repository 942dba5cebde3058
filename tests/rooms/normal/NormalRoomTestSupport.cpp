#include "NormalRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ToastDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

void NormalRoomTest::setUpLesson(int accountType, int classPoint)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.accountType = accountType;
    data->launch.userId = QString::number(accountType == 2 ? kTeacherId : (accountType == 1 ? kPupilId : kGuestId));
    data->launch.token = QStringLiteral("lesson-token");
    data->launch.appType = AppType_JoinClass;
    data->launch.teachType = 1;
    data->launch.classType = 1;
    data->launch.uiType = 1;
    data->lesson = LessonInfo();
    data->lesson.lessonId = QStringLiteral("880213");
    data->lesson.periodId = QStringLiteral("20240611093");
    data->lesson.lessonName = QStringLiteral("Unit 3 · At the Zoo");
    data->enteredClass = false;
    data->screenShareOn = false;
    data->teacherAudioMuted = false;
    UserInfo teacher;
    teacher.userId = QString::number(kTeacherId);
    teacher.accountType = 2;
    teacher.enNickName = QStringLiteral("Ms. Clara Whitfield");
    data->setTeacherInfo(teacher);
    data->clearUsers();
    UserInfo pupil;
    pupil.userId = QString::number(kPupilId);
    pupil.accountType = 1;
    pupil.enNickName = QStringLiteral(" Leo ");
    pupil.classPoint = classPoint;
    pupil.starPoint = 27;
    data->addUser(pupil);
}

bool NormalRoomTest::RouterProbe::event(QEvent* event)
{
    if (event->type() == ZmAppEvent::kType) {
        codes << static_cast<ZmAppEvent*>(event)->code();
        return true;
    }
    return ZmRouteManager::event(event);
}

QWidget* NormalRoomTest::visibleDialogWithText(const char* className, const char* labelName, const QString& text)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!window->isVisible() || !window->inherits(className))
            continue;
        const auto* label = window->findChild<QLabel*>(QLatin1String(labelName));
        if (label && label->text() == text)
            return window;
    }
    return nullptr;
}

bool NormalRoomTest::click(QWidget* parent, const char* buttonName)
{
    auto* button = parent ? parent->findChild<QAbstractButton*>(QLatin1String(buttonName)) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

QString NormalRoomTest::takeToast(CoursewareViewer* courseware, int timeoutMs)
{
    auto* toast = courseware->findChild<ToastDialog*>();
    if (!toast || !QTest::qWaitFor([toast] { return toast->isVisible(); }, timeoutMs))
        return QString();
    const QString text = toast->findChild<QLabel*>(QStringLiteral("label_text"))->text();
    toast->hideToast();
    return text;
}
