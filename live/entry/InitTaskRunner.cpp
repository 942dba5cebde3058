#include "live/entry/InitTaskRunner.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/TryWarningDlg.h"
#include "ui/common/WattingDlg.h"

#include <QDebug>
#include <QPointer>

namespace {

// The first kind of the list that gives a step, with that step; null when none does.
InitTask* firstStep(const QList<int>& kinds, QObject* owner, s_InitTask_Params* params, int& kind)
{
    for (const int candidate : kinds) {
        if (InitTask* step = makeInitTask(candidate, owner, params)) {
            kind = candidate;
            return step;
        }
    }
    return nullptr;
}

// Asks whether to try the failed step again: true for "Retry".
bool askRetry(const InitTask& step)
{
    TryWarningDlg dialog(nullptr);
    dialog.setTitle(step.failureText());
    dialog.setContent(step.hintText());
    dialog.setModal(true);
    return dialog.exec() == TryWarningDlg::ResultRetry;
}

void showFinalError(const s_InitTask_Params& params)
{
    ErrorDlg dialog(nullptr);
    dialog.setErrorCode(params.currentType_, params.lastResult_, params.lastDetail_);
    dialog.setModal(true);
    dialog.exec();
}

// waiting goes with its parent window, should that close during the run.
int runSteps(QList<int>& kinds, QObject* owner, s_InitTask_Params& params, const QPointer<WattingDlg>& waiting,
             int timeoutSec)
{
    int retries = kInitTaskRetryBudget;
    for (;;) {
        if (kinds.isEmpty() || params.stop_)
            return 0;
        if (waiting)
            waiting->startWaiting(QString(), false, 0);

        int kind = 0;
        InitTask* step = firstStep(kinds, owner, &params, kind);
        if (!step)
            return 0;
        params.currentType_ = static_cast<unsigned int>(kind);
        qInfo().noquote() << "runTasks_awaitEnd: task_start:" << step->runningText();

        const bool untimed = kind == API_LoadClassInfo || kind == API_EnterClass;
        const int result = step->runTaskSync(waiting ? waiting->textLabel() : nullptr, untimed ? -1 : timeoutSec);
        params.lastResult_ = result;

        if (result == Init_Task_Done) {
            qInfo().noquote() << "runTasks_awaitEnd: task_succed:" << step->runningText();
            kinds.removeOne(kind);
            retries = kInitTaskRetryBudget;
            delete step;
            continue;
        }

        qWarning().noquote() << "runTasks_awaitEnd: task_failed:" << step->runningText() << "result" << result;
        if (waiting)
            waiting->stopWaiting();
        if (retries > 0) {
            const bool retry = askRetry(*step);
            delete step;
            if (!retry)
                return Init_Task_FailedAfterRetries;
            --retries;
            continue;
        }
        showFinalError(params);
        delete step;
        return Init_Task_FailedAfterRetries;
    }
}

} // namespace

int runTasks_awaitEnd(QWidget* parent, QList<int>* kinds, QObject* owner, int timeoutSec)
{
    // The run keeps the block current at its start: a block made meanwhile for a single step is not its own.
    s_InitTask_Params* params = getInitTaskParams();
    if (!params || !kinds) {
        qWarning() << "runTasks_awaitEnd: no parameter block or no list; nothing runs";
        return 0;
    }
    QPointer<WattingDlg> waiting = new WattingDlg(parent);
    const int result = runSteps(*kinds, owner, *params, waiting, timeoutSec);
    delete waiting.data();
    qInfo() << "runTasks_awaitEnd: result" << result << "left" << *kinds;
    return result;
}
