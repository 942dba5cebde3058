#pragma once

#include "app/tasks/QRunContextManager.h"

#include <QMutex>
#include <QPointer>

// The run-context manager: lists every context it created until the context is released.
class RuntimeEnvironmentManager_Imp : public QRunContextManager
{
    Q_OBJECT

public:
    explicit RuntimeEnvironmentManager_Imp(QObject* parent = nullptr);

    QRunContext* createRunContext() override;
    QRunContext* findRunContext(const QString& name) const override;
    QList<QRunContext*> runContexts() const override;
    void releaseRunContext(QRunContext* context) override;

private:
    QList<QPointer<QRunContext>> m_contexts;
    mutable QMutex m_lock;
};
