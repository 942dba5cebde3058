#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

class QTaskItem;

// A named set of the tasks of one run. A task belongs to the context set on it last.
class QRunContext : public QObject
{
    Q_OBJECT

public:
    explicit QRunContext(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    virtual QRunContext* setName(const QString& name) = 0;
    virtual QString name() const = 0;
    virtual bool addTask(QTaskItem* task) = 0;
    virtual bool removeTask(QTaskItem* task) = 0;
    virtual QList<QTaskItem*> tasks() const = 0;
    // A context keeps no properties of its own: these report none and store nothing.
    virtual int propertyCount() const = 0;
    virtual QMap<QString, QVariant> properties() const = 0;
    virtual QVariant property(const QString& key) const = 0;
    virtual void setProperty(const QString& key, const QVariant& value) = 0;

signals:
    void sigAllTasksAreEnded();
};
