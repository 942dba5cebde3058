#pragma once

#include <QEventLoop>
#include <QVariant>

// A local waiting loop for step bodies: it quits with a value (quit_bool) or because the step timed out
// (quit_timeOut), and remembers which.
class QWaitLoop : public QEventLoop
{
    Q_OBJECT

public:
    explicit QWaitLoop(QObject* parent = nullptr);

    bool timedOut() const { return m_timedOut; }
    // The value given to quit_bool; invalid until then.
    QVariant quitValue() const { return m_quitValue; }

public slots:
    void quit_bool(bool bQuitCode);
    void quit_timeOut();

private:
    bool m_timedOut = false;
    QVariant m_quitValue;
};
