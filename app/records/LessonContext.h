#pragma once

#include "app/records/LaunchInfo.h"

#include <QMetaType>
#include <QString>

// Who runs the program and for which lesson: what the class-service calls and the tasks read of the launch and
// lesson records, taken at one moment. An immutable value: copies are cheap and every thread may read its own
// copy, so a task thread gets the copy its creator took on the GUI thread, and a call that needs several of these
// values reads them from one snapshot instead of the records piece by piece.
class LessonContext
{
public:
    LessonContext() = default;
    LessonContext(const LaunchInfo& launch, const LessonInfo& lesson);

    // The launch record's values.
    const QString& userId() const { return m_userId; } // empty when nobody is signed in
    const QString& token() const { return m_token; }
    int accountType() const { return m_accountType; } // 1 pupil, 2 teacher, 3 auditor; 0 unset
    int appType() const { return m_appType; }
    int startAppType() const { return m_startAppType; }
    int paramA() const { return m_paramA; }
    const QString& language() const { return m_language; }

    // The lesson record's values.
    const QString& lessonId() const { return m_lessonId; }
    const QString& periodId() const { return m_periodId; }

    // The user id as int: -1 when empty, 0 when it is not a number.
    int userIdAsInt() const;

private:
    QString m_userId;
    QString m_token;
    int m_accountType = 0;
    int m_appType = AppType_None;
    int m_startAppType = AppType_None;
    int m_paramA = 0;
    QString m_language;
    QString m_lessonId;
    QString m_periodId;
};

Q_DECLARE_METATYPE(LessonContext)
