#pragma once

#include "settings/AsyncProbe.h"

#include <QByteArray>
#include <QString>

// Pings one host a number of times on a thread of its own and grades the mean round trip: 0 no reply, 1 fluent
// (below 150 ms), 2 congested (above 250 ms), 3 busy (in between). Each attempt runs the system's ping with two
// echo requests ("-c 2 -W 0.5"), bounded by what remains of the time limit. Where the system's ping cannot run at
// all (missing, or not allowed to send ICMP) the attempt times two TCP connects to the host's port instead.
class AsyncPing : public AsyncProbe
{
    Q_OBJECT

public:
    // A result of ping(): the ping program could not be run at all.
    static constexpr int kPingUnavailable = -100;

    AsyncPing(const QString& host, int attemptCount, int timeLimitMs);
    ~AsyncPing() override;

    // The port timed when the system's ping cannot run; 80 unless set.
    void setFallbackPort(quint16 port) { m_fallbackPort = port; }

    // The grade of the attempts done: see above.
    int quality() const { return gradeOf(m_okAttempts, m_totalMs); }
    // "<host> = Connection Failed" / "Fluency" / "Congestion" / "Busy".
    QString resultText() const;

    QString host() const { return m_host; }
    int attemptsDone() const { return m_attemptsDone; }
    int okAttempts() const { return m_okAttempts; }
    int totalMs() const { return m_totalMs; }

    // One run of the ping program with requestCount echo requests: 0 with average set (ms); else the program's
    // non-zero exit code, -1 (no average in its output, or killed after timeoutMs) or kPingUnavailable.
    static int ping(const QString& host, int requestCount, int& average, int timeoutMs = 30000);

    // The average round trip of a ping's output, from its last non-empty line: the value at the "avg" position of
    // a "rtt min/avg/max/mdev = a/b/c/d ms" summary (rounded to whole ms), or the whole number before the last
    // "ms" after the line's last "=" ("Average = 2ms"). 0 with average set, else -1.
    static int readAverage(const QByteArray& output, int& average);

    // The grade of okAttempts attempts whose averages add up to totalMs.
    static int gradeOf(int okAttempts, int totalMs);
    // The report word of a grade.
    static QString gradeWord(int grade);

    // The ping program: a path, or a name looked up on PATH; "ping" unless set. Any thread.
    static void setPingProgram(const QString& program);
    static QString pingProgram();

signals:
    void sigPingEnded(AsyncPing* pAsyncPing);

public slots:
    void run() override;

protected:
    void emitEnded() override;

private:
    // One attempt by TCP connects: 0 with average set, else -1.
    int connectAttempt(int requestCount, int& average, int timeoutMs) const;

    QString m_host;
    int m_attemptCount;
    int m_attemptsDone = 0;
    int m_okAttempts = 0;
    int m_totalMs = 0;
    quint16 m_fallbackPort = 80;
};
