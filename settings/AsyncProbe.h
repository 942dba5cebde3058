#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>

// One measurement of the device check on a thread of its own: start() moves the probe to its thread and queues
// run() there; the probe ends when run() returns or its time limit quits the thread, and then, back on the thread
// that started it, emits its end signal exactly once.
//
// The owner reads the results after the end signal and gives the probe up with release(): deleted (later) at once
// when it has ended, else by itself as soon as its thread has finished. Nothing ever waits for a running probe.
class AsyncProbe : public QObject
{
    Q_OBJECT

public:
    ~AsyncProbe() override;

    // Starts the thread, the time-limit timer and run(); a second call does nothing.
    void start();

    // The probe's thread has finished (set on that thread just before the end signal).
    bool isFinished() const { return m_finished.load(); }

    // The owner is done with the probe; see above. The owner must not touch it afterwards.
    void release();

public slots:
    // The measurement, on the probe's thread.
    virtual void run() = 0;

protected:
    explicit AsyncProbe(int timeLimitMs);

    // Emits the derived class's end signal.
    virtual void emitEnded() = 0;

    // The probe's own thread; run() polls its interruption between steps.
    QThread& workThread() { return m_thread; }
    // Milliseconds left of the time limit (0 once it has passed); the whole limit before start().
    int remainingMs() const;
    // Ends the thread's event loop once run() returns.
    void quitThread() { m_thread.quit(); }

private:
    enum State
    {
        Running,
        Ended,
        Released
    };

    // On the probe's thread as it finishes.
    void onThreadFinished();

    const int m_timeLimitMs;
    QThread m_thread;
    QTimer m_timer; // lives on the starting thread, as does its time-out handler
    QThread* m_startThread = nullptr;
    QDeadlineTimer m_deadline;
    bool m_started = false;
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_state{Running};
};
