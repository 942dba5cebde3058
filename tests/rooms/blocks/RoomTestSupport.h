#pragma once

#include "app/AppGlobalData.h"
#include "rooms/blocks/RoomClock.h"

#include <QAbstractButton>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace RoomTest {

// A clock the test moves by hand, in place of the system clock for its lifetime.
class ManualClock
{
public:
    explicit ManualClock(qint64 startMs = 1000000)
        : m_now(startMs)
    {
        RoomClock::setSource([this] { return m_now; });
    }
    ~ManualClock() { RoomClock::setSource({}); }
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void advance(qint64 ms) { m_now += ms; }
    qint64 now() const { return m_now; }

private:
    qint64 m_now;
};

// A child of w by object name; null when missing.
template <typename T = QWidget> T* child(const QObject& w, const char* name)
{
    return w.findChild<T*>(QLatin1String(name));
}

// Runs a single-shot timer's work now, as if its time had come.
inline void fire(QTimer* timer)
{
    timer->stop();
    QMetaObject::invokeMethod(timer, "timeout");
}

// The lesson of the member tests: the teacher 100 and the local user in the given role (1 student, 2 teacher),
// the local student being 7 when a student.
struct Lesson
{
    static constexpr int kTeacherId = 100;
    static constexpr int kOwnStudentId = 7;

    explicit Lesson(int localAccountType)
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->clearUsers();
        data->launch.accountType = localAccountType;
        data->launch.userId = QString::number(localAccountType == 2 ? kTeacherId : kOwnStudentId);
        data->teacherPresent = false;
        data->screenShareOn = false;
        UserInfo teacher;
        teacher.userId = QString::number(kTeacherId);
        teacher.accountType = 2;
        teacher.enNickName = QStringLiteral("Ms Rowan");
        data->setTeacherInfo(teacher);
    }
    ~Lesson()
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->clearUsers();
        data->setTeacherInfo(UserInfo());
        data->launch.accountType = 0;
        data->launch.userId.clear();
        data->teacherPresent = false;
        data->screenShareOn = false;
    }
    Lesson(const Lesson&) = delete;
    Lesson& operator=(const Lesson&) = delete;

    static UserInfo& addStudent(int id, const QString& name, int starPoint = 0, int classPoint = 0)
    {
        UserInfo student;
        student.userId = QString::number(id);
        student.accountType = 1;
        student.enNickName = name;
        student.starPoint = starPoint;
        student.classPoint = classPoint;
        AppGlobalData::instance()->addUser(student);
        return (*AppGlobalData::instance()->memberMap())[id];
    }
};

} // namespace RoomTest
