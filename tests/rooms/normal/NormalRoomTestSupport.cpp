#include "NormalRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/messages/ClassMsgEngine.h"
#include "web/whiteboard/Whiteboard.h"

#include "EntryTestSupport.h"
#include "Screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

void NormalRoomTest::setUpLesson(int accountType, int classPoint)
{
    setUpEntryLesson(accountType);
    AppGlobalData* data = AppGlobalData::instance();
    data->lesson.lessonName = QStringLiteral("Unit 3 · At the Zoo");
    data->screenShareOn = false;
    data->teacherAudioMuted = false;
    UserInfo teacher;
    teacher.userId = QString::number(kTeacherId);
    teacher.accountType = 2;
    teacher.enNickName = QStringLiteral("Ms. Clara Whitfield");
    data->setTeacherInfo(teacher);
    UserInfo pupil;
    pupil.userId = QString::number(kPupilId);
    pupil.accountType = 1;
    pupil.enNickName = QStringLiteral(" Leo ");
    pupil.classPoint = classPoint;
    pupil.starPoint = 27;
    data->addUser(pupil);
}

bool NormalRoomTest::RoomTestEnvironment::start()
{
    if (!messages.start())
        return false;
    ConfigManager::instance();
    Whiteboard::setStopAllWaitForTesting(0);
    router = std::make_unique<RouterProbe>();
    useCalmProcessor();
    return true;
}

bool NormalRoomTest::RoomTestEnvironment::reset()
{
    if (!sim().reset())
        return false;
    sim().pointUrlConfig();
    router->codes.clear();
    return true;
}

void NormalRoomTest::RoomTestEnvironment::cleanUp()
{
    ClassMsgEngine::destroyInstance();
    useCalmProcessor();
    QCoreApplication::processEvents();
}

bool NormalRoomTest::click(QWidget* parent, const char* buttonName)
{
    auto* button = parent ? parent->findChild<QAbstractButton*>(QLatin1String(buttonName)) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

bool NormalRoomTest::showsMovingPicture(const QWidget* widget, int timeoutMs)
{
    const QRect lowerHalf(widget->mapToGlobal(QPoint(0, widget->height() / 2)),
                          QSize(widget->width(), widget->height() / 2));
    return QTest::qWaitFor(
        [&] {
            const QImage before = ZmTest::grabScreenArea(lowerHalf);
            QTest::qWait(300);
            const QImage after = ZmTest::grabScreenArea(lowerHalf);
            return before != after && ZmTest::distinctColours(before) >= 4 && ZmTest::distinctColours(after) >= 4;
        },
        timeoutMs);
}
