#include "ui/common/QDelayTimer.h"

#include <QDebug>

QDelayTimer::QDelayTimer(Function function, QObject* context)
    : QTimer(nullptr)
    , m_function(std::move(function))
    , m_context(context)
    , m_hasContext(context != nullptr)
{
}

QDelayTimer* QDelayTimer::delay(int milliseconds, Function function, QObject* context)
{
    auto* timer = new QDelayTimer(std::move(function), context);
    connect(timer, &QTimer::timeout, timer, &QDelayTimer::onDelayTimeOut);
    timer->setSingleShot(true);
    timer->start(milliseconds);
    return timer;
}

void QDelayTimer::onDelayTimeOut()
{
    if (m_hasContext && m_context.isNull())
        qDebug() << "QDelayTimer::onDelayTimeOut context destroyed, call skipped";
    else if (m_function)
        m_function(this);
    deleteLater();
}
