#include "NormalRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ToastDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <set>

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

namespace {

QImage screenArea(const QRect& area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int distinctColours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

} // namespace

QImage NormalRoomTest::screenPixels(const QWidget* widget)
{
    return screenArea(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

bool NormalRoomTest::showsMovingPicture(const QWidget* widget, int timeoutMs)
{
    const QRect lowerHalf(widget->mapToGlobal(QPoint(0, widget->height() / 2)),
                          QSize(widget->width(), widget->height() / 2));
    return QTest::qWaitFor(
        [&] {
            const QImage before = screenArea(lowerHalf);
            QTest::qWait(300);
            const QImage after = screenArea(lowerHalf);
            return before != after && distinctColours(before) >= 4 && distinctColours(after) >= 4;
        },
        timeoutMs);
}
