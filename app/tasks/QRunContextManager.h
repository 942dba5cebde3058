#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QRunContext;

// The process-wide keeper of run contexts.
class QRunContextManager : public QObject
{
    Q_OBJECT

public:
    // Created on first use, kept until the process ends.
    static QRunContextManager* instance();

    // A new context without name or tasks.
    virtual QRunContext* createRunContext() = 0;
    // The first context (in creation order) with this name, or null when there is none.
    virtual QRunContext* findRunContext(const QString& name) const = 0;
    // Every context not released yet, in creation order.
    virtual QList<QRunContext*> runContexts() const = 0;
    // Releases every task of the context (releaseTask) and frees the context itself.
    virtual void releaseRunContext(QRunContext* context) = 0;

protected:
    explicit QRunContextManager(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
};
