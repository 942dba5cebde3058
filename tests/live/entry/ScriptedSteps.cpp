#include "ScriptedSteps.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/QWaitLoop.h"

#include <QTimer>

ScriptedStep::ScriptedStep(int kind, s_InitTask_Params* params, StepOutcome outcome, QStringList* journal)
    : InitTask_Imp(kind, params)
    , m_outcome(outcome)
    , m_journal(journal)
{
    connect(this, &InitTask_Imp::sigTaskEnded, this,
            [this] { m_journal->append(QStringLiteral("%1 sigTaskEnded %2").arg(this->kind()).arg(result())); });
    connect(this, &InitTask_Imp::sigTimeOut, this,
            [this] { m_journal->append(QStringLiteral("%1 sigTimeOut").arg(this->kind())); });
}

void ScriptedStep::runTask()
{
    m_journal->append(QStringLiteral("%1 runTask").arg(kind()));
    if (m_outcome.never)
        return;
    if (m_outcome.waits) {
        QWaitLoop loop;
        connect(this, &InitTask_Imp::sigTimeOut, &loop, &QWaitLoop::quit_timeOut, Qt::QueuedConnection);
        loop.exec();
        m_journal->append(QStringLiteral("%1 wait ended, timed out %2").arg(kind()).arg(loop.timedOut()));
        report();
        return;
    }
    if (m_outcome.delayMs < 0) {
        report();
        return;
    }
    QTimer::singleShot(m_outcome.delayMs, this, [this] { report(); });
}

void ScriptedStep::report()
{
    if (params()) {
        params()->lastDetail_ = m_outcome.detail;
        if (m_outcome.stops)
            params()->stop_ = true;
        if (m_outcome.beforeReport)
            m_outcome.beforeReport(*params());
    }
    bodyReportWon = finishTask(m_outcome.code);
}

StepScript::StepScript()
{
    setInitTaskMakerForTesting([this](int kind, QObject*, s_InitTask_Params* params) { return make(kind, params); });
}

StepScript::~StepScript()
{
    setInitTaskMakerForTesting({});
}

InitTask* StepScript::make(int kind, s_InitTask_Params* params)
{
    const bool isStepKind = kind >= int(Agora_InitChannel) && kind <= int(WebSocket_Link) && (kind & (kind - 1)) == 0;
    if (!params || !isStepKind)
        return nullptr;
    const int attempt = attempts.count(kind);
    attempts << kind;
    const QList<StepOutcome> script = outcomes.value(kind);
    const StepOutcome outcome = script.isEmpty() ? StepOutcome::done() : script.at(qMin(attempt, script.size() - 1));
    return new ScriptedStep(kind, params, outcome, &journal);
}

StepRecorder::StepRecorder()
{
    setInitTaskMakerForTesting([this](int kind, QObject* owner, s_InitTask_Params* params) -> InitTask* {
        InitTask* step = createInitTaskByType(kind, owner, params);
        if (auto* imp = qobject_cast<InitTask_Imp*>(step)) {
            attempts << kind;
            QObject::connect(imp, &InitTask_Imp::sigTaskEnded, imp, [this, imp] { results << imp->result(); });
        }
        return step;
    });
}

StepRecorder::~StepRecorder()
{
    setInitTaskMakerForTesting({});
}
