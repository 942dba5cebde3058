#pragma once

#include <QtGlobal>

#include <functional>

// The position of a replay in milliseconds: what has accumulated while it ran, plus the time since it was last
// started while it runs. It reads a monotonic clock, so setting the time of day or passing midnight does not move
// it.
class ReplayClock
{
public:
    // Milliseconds since an arbitrary, fixed moment; never goes back.
    using TimeSource = std::function<qint64()>;

    // source: where the time comes from (tests); the process's monotonic clock by default.
    explicit ReplayClock(TimeSource source = {});

    // Runs from now. On a running clock only the mark moves: the time since the old mark is not added.
    void start();
    // Adds the time since the mark and stops; a stopped clock stays as it is.
    void stop();
    bool isRunning() const { return m_running; }

    qint64 position() const;
    // Sets the accumulated position; a running clock counts on from it since its mark.
    void setPosition(qint64 milliseconds) { m_accumulated = milliseconds; }

    // The process's monotonic clock.
    static qint64 monotonicNow();

private:
    TimeSource m_now;
    qint64 m_accumulated = 0;
    qint64 m_mark = 0;
    bool m_running = false;
};
