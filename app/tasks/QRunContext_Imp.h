#pragma once

#include "app/tasks/QRunContext.h"

#include <QPointer>
#include <QRecursiveMutex>

// A run context. Its tasks are held weakly: a released task drops out of the list.
class QRunContext_Imp : public QRunContext
{
    Q_OBJECT

public:
    explicit QRunContext_Imp(QObject* parent = nullptr);

    QRunContext* setName(const QString& name) override;
    QString name() const override;
    bool addTask(QTaskItem* task) override;
    bool removeTask(QTaskItem* task) override;
    QList<QTaskItem*> tasks() const override;
    int propertyCount() const override;
    QMap<QString, QVariant> properties() const override;
    QVariant property(const QString& key) const override;
    void setProperty(const QString& key, const QVariant& value) override;

private:
    QString m_name;
    QList<QPointer<QTaskItem>> m_tasks;
    mutable QRecursiveMutex m_lock;
};
