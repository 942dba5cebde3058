#pragma once

#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>

// How one attempt of a scripted step ends.
struct StepOutcome
{
    int code = 1;       // what the body reports (1 or -1)
    int delayMs = -1;   // -1: at once inside runTask; else after that many ms (from the event loop)
    bool never = false; // the body never reports (only a time-out ends the attempt)
    bool waits = false; // the body waits in a QWaitLoop that quits on sigTimeOut, then reports code
    int detail = 0;     // written to the block's lastDetail_ before reporting
    bool stops = false; // sets the block's stop_ before reporting
    // Runs with the block just before the body reports: what a step finds on the way (inside the run).
    std::function<void(s_InitTask_Params&)> beforeReport;

    static StepOutcome done() { return {}; }
    static StepOutcome failed(int detail = 0)
    {
        StepOutcome outcome;
        outcome.code = -1;
        outcome.detail = detail;
        return outcome;
    }
};

// A step whose body ends as its outcome says; it records what happened to it in the shared journal.
class ScriptedStep : public InitTask_Imp
{
    Q_OBJECT

public:
    ScriptedStep(int kind, s_InitTask_Params* params, StepOutcome outcome, QStringList* journal);

    // What finishTask answered to the body's own report (after a time-out: false).
    bool bodyReportWon = false;

public slots:
    void runTask() override;

private:
    void report();

    StepOutcome m_outcome;
    QStringList* m_journal;
};

// Makes scripted steps for the runner: each attempt of a kind takes the next outcome of that kind (the last
// one repeats; a kind without a script is done at once). Kinds that are no step kind (not 1 to 512) get no step.
// Every attempt is recorded in attempts, in order.
class StepScript
{
public:
    QMap<int, QList<StepOutcome>> outcomes;
    QList<int> attempts;
    // "<kind> ended <result>", "<kind> sigTaskEnded", "<kind> sigTimeOut", ... in order.
    QStringList journal;

    // Installs this script as the runner's maker until the object goes.
    StepScript();
    ~StepScript();
    StepScript(const StepScript&) = delete;
    StepScript& operator=(const StepScript&) = delete;

    InitTask* make(int kind, s_InitTask_Params* params);
};

// Records the steps the runner makes with the real factory: each attempt's kind and, once it ended, its result.
class StepRecorder
{
public:
    QList<int> attempts;
    QList<int> results; // in the order the attempts ended

    // Installs the recorder as the runner's maker until the object goes.
    StepRecorder();
    ~StepRecorder();
    StepRecorder(const StepRecorder&) = delete;
    StepRecorder& operator=(const StepRecorder&) = delete;
};
