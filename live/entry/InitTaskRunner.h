#pragma once

#include <QList>

class QObject;
class QWidget;

// Runs the class-entry steps of kinds (InitTaskType) one at a time on the GUI thread over the current parameter
// block, behind a waiting dialog (parent: parent), and returns when the run has ended: 0 when it ended without
// failure (all steps done, the block's stop_ seen before a step, or only kinds without a step left, such as 1024),
// -3 when a step failed and the user closed the retry dialog, or failed a fourth time in a row (after the error
// dialog). Each step has timeoutSec seconds (callers pass 30), except the two class-service steps (16, 32),
// whose requests are bounded by their transport. A failed step may be retried three times in a row through the
// retry dialog; every success restores the three.
//
// kinds is edited in place: each done step's kind is removed (its first occurrence), so afterwards it holds the
// kinds that did not run. The block's currentType_, lastResult_ (and the steps' lastDetail_) tell what ran last.
// owner goes to the factory (the wiring step calls it). The run waits in nested event loops: slots, timers and
// dialogs keep running meanwhile. Without a current block nothing runs and the result is 0.
int runTasks_awaitEnd(QWidget* parent, QList<int>* kinds, QObject* owner, int timeoutSec);

// How often a failed step may be retried in a row.
constexpr int kInitTaskRetryBudget = 3;
