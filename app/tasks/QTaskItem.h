#pragma once

#include "app/tasks/TaskState.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

class QRunContext;
class QTaskItem;

// The work of a task; it receives its own task and ends it with setState(Succeeded or Failed).
using TaskBody = std::function<void(QTaskItem*)>;

// A task: one body, launched at most once, reporting its progress through a guarded state machine.
// Followers chained with then() are launched when this task reaches the state they wait for.
class QTaskItem : public QObject
{
    Q_OBJECT

public:
    explicit QTaskItem(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    virtual QTaskItem* setRunContext(QRunContext* context) = 0;
    virtual QRunContext* runContext() const = 0;
    // The only way the state changes; true when the transition was accepted.
    virtual bool setState(TaskState state) = 0;
    virtual TaskState state() const = 0;
    virtual QTaskItem* previousTask() const = 0;
    virtual QList<QTaskItem*> followers() const = 0;
    virtual QTaskItem* setName(const QString& name) = 0;
    virtual QString name() const = 0;
    virtual QTaskItem* setId(const QString& id) = 0;
    virtual QString id() const = 0;
    // The task that launched this one. Only handed back, never used: it may have been released since.
    virtual QTaskItem* launchedBy() const = 0;
    virtual void setLaunchedBy(QTaskItem* task) = 0;
    virtual void setProperty(const QString& key, const QVariant& value) = 0;
    virtual void setProperties(const QMap<QString, QVariant>& properties) = 0;
    // An invalid value for a missing key, which is then added to the map with that value.
    virtual QVariant property(const QString& key) = 0;
    virtual QMap<QString, QVariant> properties() const = 0;
    // Chains next after this task, to be launched when this task reaches whenState. Returns next, or the
    // sentinel task when the chain cannot be made; outResult (when given) receives 0 or -1.
    virtual QTaskItem* then(TaskState whenState, QTaskItem* next, int* outResult = nullptr) = 0;

public slots:
    // 0 when launched, -1 when refused (the task was launched, ended or released already).
    virtual int launch(QTaskItem* forWho = nullptr) = 0;
    // Kept harmless: tasks are freed with releaseTask().
    virtual int detroy() = 0;
};
