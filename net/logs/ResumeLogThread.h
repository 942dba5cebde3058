#pragma once

#include "app/records/LessonContext.h"

#include <QThread>

// Started at every class entry: removes log folders older than 10 days, tries the owed uploads of earlier runs,
// then records this run's log as owed for the lesson and the user of the application data when the thread was
// created (each entry goes up under its own user; those without one under that user). One run at a time: a run
// that can't start within a second (another is busy) does nothing.
class ResumeLogThread : public QThread
{
    Q_OBJECT

public:
    explicit ResumeLogThread(QObject* parent = nullptr);

    static constexpr int kExpiryDays = 10;
    static constexpr int kRunLockTimeoutMs = 1000;

protected:
    void run() override;

private:
    const LessonContext m_lesson;
};
