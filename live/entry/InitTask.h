#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;
struct s_InitTask_Params;

// One class-entry step: a small object that does one thing on the GUI thread, reports one result code
// (Init_Task_Result) and carries the three texts the runner shows for it. One-shot: made for one attempt.
class InitTask : public QObject
{
    Q_OBJECT

public:
    explicit InitTask(int kind, QObject* parent = nullptr);

    // Runs the step to its end in a local event loop and returns its result; a time-out above 0 seconds ends
    // it with -2 when the body has not finished by then.
    virtual int runTaskSync(QLabel* statusLabel, int timeoutSec) = 0;
    virtual int result() const = 0;
    // Shown while the step runs; the retry dialog's title and content line after it failed.
    virtual QString runningText() const = 0;
    virtual QString failureText() const = 0;
    virtual QString hintText() const = 0;

    // The step's kind (InitTaskType).
    int kind() const { return m_kind; }

private:
    const int m_kind;
};

// The common implementation of the steps: the synchronous run, the time-out and the first-wins end. A step
// derives from it, passes its kind and implements runTask(), the body, which ends the step through finishTask
// exactly once (1 done, -1 failed), at once or later from a callback. The texts come from the table of the
// kind (InitTaskTexts.h).
class InitTask_Imp : public InitTask
{
    Q_OBJECT

public:
    // params: the parameter block the step reads and writes; it outlives the step.
    InitTask_Imp(int kind, s_InitTask_Params* params, QObject* parent = nullptr);

    int runTaskSync(QLabel* statusLabel, int timeoutSec) override;
    int result() const override;
    QString runningText() const override;
    QString failureText() const override;
    QString hintText() const override;

    // Ends the step with code unless it has ended already (the first call wins): stops the time-out and emits
    // sigTaskEnded. True when this call ended it.
    bool finishTask(int code);

    // Tests only: milliseconds > 0 replaces every positive step time-out (seconds) by that many milliseconds;
    // 0 restores the seconds.
    static void setTimeoutMsForTesting(int milliseconds);
    // The time-out in milliseconds for a limit in seconds: 0 for none.
    static int timeoutMsFor(int timeoutSec);

signals:
    void sigTaskEnded();
    // After sigTaskEnded on a time-out: bodies waiting in a QWaitLoop connect it to quit_timeOut.
    void sigTimeOut();

public slots:
    // The body; started queued inside runTaskSync's loop.
    virtual void runTask() = 0;
    void onSigTimeOut();

protected:
    // The limit (seconds) a step keeps when it runs without one from its caller; 0: none.
    virtual int ownTimeoutSec() const { return 0; }
    s_InitTask_Params* params() const { return m_params; }

private:
    int m_result = 0;
    QTimer m_timeOutTimer;
    s_InitTask_Params* const m_params;
};
