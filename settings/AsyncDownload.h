#pragma once

#include "settings/AsyncProbe.h"

#include <QByteArray>
#include <QString>

// Downloads one address once on a thread of its own and measures the speed in bytes per millisecond (shown as
// "KB", per second). The transfer and the probe share one time limit in seconds.
class AsyncDownload : public AsyncProbe
{
    Q_OBJECT

public:
    AsyncDownload(const QString& url, int timeLimitSec);
    ~AsyncDownload() override;

    // 0 when the transfer succeeded; -1 before it ended or when it failed.
    int result() const { return m_result; }
    bool failed() const { return m_result != 0; }
    // Bytes per millisecond; 0 unless the transfer succeeded.
    float speed() const { return m_speed; }
    int elapsedMs() const { return m_elapsedMs; }
    qint64 receivedBytes() const { return m_data.size(); }
    QString url() const { return m_url; }

    // "<url> = <speed>KB" (format g, precision 6), or "<url> = Connection failed".
    QString resultText() const { return resultTextOf(m_url, m_result, m_speed); }
    static QString resultTextOf(const QString& url, int result, float speed);

    // The speed of size bytes in elapsedMs; a transfer measured as 0 ms counts as 1 ms.
    static float speedOf(qint64 size, qint64 elapsedMs);

    // Every transfer that ends from now on counts as lasting durationMs instead of its measured time, so a test
    // decides the speed; a negative value restores the measurement.
    static void setDurationMsForTesting(int durationMs);

signals:
    void sigEnded(AsyncDownload* pAsyncDownload);

public slots:
    void run() override;

protected:
    void emitEnded() override;

private:
    QString m_url;
    int m_timeLimitSec;
    int m_result = -1;
    QByteArray m_data;
    float m_speed = 0.0f;
    int m_elapsedMs = 0;
};
