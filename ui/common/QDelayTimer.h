#pragma once

#include <QPointer>
#include <QTimer>

#include <functional>

// Runs a function once after a delay, then deletes itself. The timer is created by delay() and owned by
// nobody; the caller may only store a value in m_data for the function to read.
class QDelayTimer : public QTimer
{
    Q_OBJECT

public:
    using Function = std::function<void(QDelayTimer* timer)>;

    // Starts a single-shot timer on the calling thread. When a context is given and it is destroyed
    // before the delay ends, the function is skipped.
    static QDelayTimer* delay(int milliseconds, Function function, QObject* context = nullptr);

    // The context given to delay(); null when none was given or once it has been destroyed.
    QObject* context() const { return m_context.data(); }

    // A free pointer-sized word for the caller, zero at the start.
    quintptr m_data = 0;

private slots:
    void onDelayTimeOut();

private:
    QDelayTimer(Function function, QObject* context);

    Function m_function;
    QPointer<QObject> m_context;
    bool m_hasContext = false;
};
