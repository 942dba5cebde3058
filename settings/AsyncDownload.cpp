#include "settings/AsyncDownload.h"

#include "app/LogHandler.h"
#include "net/http/HttpCurl.h"

#include <QElapsedTimer>
#include <QUrl>

#include <atomic>
#include <climits>

namespace {

std::atomic<int> g_fixedDurationMs{-1};

} // namespace

AsyncDownload::AsyncDownload(const QString& url, int timeLimitSec)
    : AsyncProbe(timeLimitSec * 1000)
    , m_url(url)
    , m_timeLimitSec(timeLimitSec)
{
    qRegisterMetaType<AsyncDownload*>("AsyncDownload*");
    ThreadLog("AsyncDownload::AsyncDownload");
}

AsyncDownload::~AsyncDownload()
{
    ThreadLog("AsyncDownload::~AsyncDownload()");
}

float AsyncDownload::speedOf(qint64 size, qint64 elapsedMs)
{
    return float(size) / float(qMax<qint64>(1, elapsedMs));
}

void AsyncDownload::setDurationMsForTesting(int durationMs)
{
    g_fixedDurationMs.store(durationMs);
}

QString AsyncDownload::resultTextOf(const QString& url, int result, float speed)
{
    const QString value = result != 0 ? QStringLiteral("Connection failed")
                                      : QString::number(double(speed), 'g', 6) + QStringLiteral("KB");
    return url + QStringLiteral(" = ") + value;
}

void AsyncDownload::run()
{
    ThreadLog("AsyncDownload::run()");
    QElapsedTimer clock;
    clock.start();
    m_result = HttpCurl::getToByteArray(QUrl(m_url), nullptr, &m_data, m_timeLimitSec);
    const int fixedMs = g_fixedDurationMs.load();
    const qint64 elapsed = fixedMs >= 0 ? fixedMs : clock.elapsed();
    m_elapsedMs = int(qBound<qint64>(0, elapsed, INT_MAX));
    if (m_result == 0)
        m_speed = speedOf(m_data.size(), elapsed);
    quitThread();
}

void AsyncDownload::emitEnded()
{
    logEmitSignal("sigEnded");
    emit sigEnded(this);
}
