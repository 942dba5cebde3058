#include "LogCapture.h"

#include "WaitUntil.h"

#include <QTest>

namespace ZmTest {

namespace {

// Guards which capture is active: a message from another thread is appended while it holds this lock, so the
// capture it writes to cannot go away meanwhile.
QMutex s_activeMutex;

} // namespace

LogCapture* LogCapture::s_active = nullptr;

LogCapture::LogCapture()
{
    QMutexLocker locker(&s_activeMutex);
    Q_ASSERT(!s_active);
    s_active = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    QMutexLocker locker(&s_activeMutex);
    qInstallMessageHandler(m_previous);
    s_active = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    QMutexLocker activeLocker(&s_activeMutex);
    LogCapture* capture = s_active;
    if (!capture)
        return;
    QMutexLocker locker(&capture->m_mutex);
    capture->m_lines.append(message);
    capture->m_types.append(type);
}

QStringList LogCapture::lines() const
{
    QMutexLocker locker(&m_mutex);
    return m_lines;
}

QStringList LogCapture::lines(QtMsgType type) const
{
    QMutexLocker locker(&m_mutex);
    QStringList matching;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_types.at(i) == type)
            matching.append(m_lines.at(i));
    }
    return matching;
}

QString LogCapture::text() const
{
    return lines().join(QLatin1Char('\n'));
}

QStringList LogCapture::linesContaining(const QString& needle) const
{
    return lines().filter(needle);
}

QStringList LogCapture::linesAfter(const QString& marker) const
{
    QStringList rests;
    for (const QString& line : lines()) {
        const int at = line.indexOf(marker);
        if (at >= 0)
            rests.append(line.mid(at + marker.size()));
    }
    return rests;
}

void LogCapture::clear()
{
    QMutexLocker locker(&m_mutex);
    m_lines.clear();
    m_types.clear();
}

bool LogCapture::waitFor(const QString& needle, int count, int timeoutMs) const
{
    // Each look reads every line so far: every 20 ms is often enough.
    if (waitUntil([&] { return linesContaining(needle).size() >= count; }, timeoutMs, 20))
        return true;
    const QStringList all = lines();
    const QString tail = all.mid(qMax(0, all.size() - 30)).join(QLatin1Char('\n'));
    fprintf(stderr, "LogCapture::waitFor did not see %d x \"%s\"; the last lines:\n%s\n", count, qPrintable(needle),
            qPrintable(tail));
    return false;
}

} // namespace ZmTest
