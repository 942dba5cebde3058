#pragma once

#include "app/records/LessonContext.h"

#include <QString>
#include <QStringList>

#include <functional>

class QRunContext;
class QTaskItem;

// One class-service request of the class entry, sent to backup addresses first and to the primary address
// only when they fail. With backups, a parallel group sends the request to each of them; the first member to
// end decides the group (a success wins it, a failure fails it while none has succeeded), and only a failed
// group starts the primary request. Every request runs on a task thread of its own; the two outcomes run on
// the thread that launched the chain (the GUI thread), as synchronous tasks of the same chain.
namespace BackupRequestChain {

// The request body on its task thread: sends to base and ends the task as succeeded or failed.
using Request = std::function<void(QTaskItem* task, const QString& base)>;
// winner: the task whose request succeeded (the group carries its winning member's properties).
using Succeeded = std::function<void(QTaskItem* winner)>;
using Failed = std::function<void()>;

// Builds the chain in a new run context named contextName, every request carrying lesson as its lesson
// context, and launches it. The context is the caller's: release it with releaseWhenIdle.
QRunContext* launch(const QString& contextName, const QString& primary, const QStringList& backups,
                    const LessonContext& lesson, Request request, Succeeded onSucceeded, Failed onFailed);

// Releases every task of the context (requests still running finish on their threads first, their results
// ignored) and frees the context once its last task is gone. Null is ignored.
void releaseWhenIdle(QRunContext* context);

} // namespace BackupRequestChain
