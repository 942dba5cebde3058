#include "app/tasks/QRunContext_Imp.h"

#include "app/tasks/LivePointers.h"
#include "app/tasks/QTaskItem.h"

#include <QMutexLocker>

QRunContext_Imp::QRunContext_Imp(QObject* parent)
    : QRunContext(parent)
{
}

QRunContext* QRunContext_Imp::setName(const QString& name)
{
    QMutexLocker locker(&m_lock);
    m_name = name;
    return this;
}

QString QRunContext_Imp::name() const
{
    QMutexLocker locker(&m_lock);
    return m_name;
}

bool QRunContext_Imp::addTask(QTaskItem* task)
{
    if (!task)
        return true;
    QMutexLocker locker(&m_lock);
    m_tasks.append(task);
    return true;
}

bool QRunContext_Imp::removeTask(QTaskItem* task)
{
    QMutexLocker locker(&m_lock);
    for (int i = 0; i < m_tasks.size(); ++i) {
        if (m_tasks.at(i) == task) {
            m_tasks.removeAt(i);
            break;
        }
    }
    return true;
}

QList<QTaskItem*> QRunContext_Imp::tasks() const
{
    QMutexLocker locker(&m_lock);
    return livePointers(m_tasks);
}

int QRunContext_Imp::propertyCount() const
{
    return 0;
}

QMap<QString, QVariant> QRunContext_Imp::properties() const
{
    return {};
}

QVariant QRunContext_Imp::property(const QString&) const
{
    return {};
}

void QRunContext_Imp::setProperty(const QString&, const QVariant&) {}
