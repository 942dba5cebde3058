#include "settings/AsyncPing.h"

#include "app/LogHandler.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpSocket>

#include <climits>
#include <cmath>

namespace {

// Each echo request waits this long for its reply; so does each TCP connect of the fallback.
constexpr int kReplyWaitMs = 500;

QMutex g_programMutex;
QString g_program = QStringLiteral("ping");
// The program that turned out not to run: later attempts with it go straight to TCP connects.
QString g_unavailableProgram;

bool isPingUnavailable()
{
    QMutexLocker locker(&g_programMutex);
    return !g_unavailableProgram.isNull() && g_unavailableProgram == g_program;
}

void notePingUnavailable(const QString& program, const QString& why)
{
    {
        QMutexLocker locker(&g_programMutex);
        if (program != g_program || g_unavailableProgram == program)
            return;
        g_unavailableProgram = program;
    }
    qWarning().noquote() << "AsyncPing the system ping cannot run (" + why +
                                "): round trips are timed as TCP connects from now on";
}

// ping's words for "this process may not send ICMP echo requests".
bool isPermissionFailure(const QByteArray& errorOutput)
{
    const QByteArray text = errorOutput.toLower();
    return text.contains("operation not permitted") || text.contains("permission denied") || text.contains("privilege");
}

} // namespace

AsyncPing::AsyncPing(const QString& host, int attemptCount, int timeLimitMs)
    : AsyncProbe(timeLimitMs)
    , m_host(host)
    , m_attemptCount(attemptCount)
{
    qRegisterMetaType<AsyncPing*>("AsyncPing*");
    ThreadLog("AsyncPing::AsyncPing");
}

AsyncPing::~AsyncPing()
{
    ThreadLog("AsyncPing::~AsyncPing()");
}

void AsyncPing::setPingProgram(const QString& program)
{
    QMutexLocker locker(&g_programMutex);
    g_program = program;
    g_unavailableProgram.clear();
}

QString AsyncPing::pingProgram()
{
    QMutexLocker locker(&g_programMutex);
    return g_program;
}

int AsyncPing::ping(const QString& host, int requestCount, int& average, int timeoutMs)
{
    const QString program = pingProgram();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(program,
                  {QStringLiteral("-c"), QString::number(requestCount), QStringLiteral("-W"),
                   QString::number(kReplyWaitMs / 1000.0), host},
                  QIODevice::ReadOnly);
    if (!process.waitForStarted(qMax(1, timeoutMs))) {
        notePingUnavailable(program, process.errorString());
        process.kill();
        process.waitForFinished(1000);
        return kPingUnavailable;
    }
    if (!process.waitForFinished(qMax(1, timeoutMs))) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (process.exitCode() != 0) {
        if (isPermissionFailure(process.readAllStandardError())) {
            notePingUnavailable(program, QStringLiteral("not allowed to send ICMP"));
            return kPingUnavailable;
        }
        return process.exitCode();
    }
    return readAverage(process.readAllStandardOutput(), average);
}

int AsyncPing::readAverage(const QByteArray& output, int& average)
{
    QString lastLine;
    const QList<QByteArray> lines = output.split('\n');
    for (const QByteArray& line : lines) {
        const QString text = QString::fromLocal8Bit(line).trimmed();
        if (!text.isEmpty())
            lastLine = text;
    }
    const QStringList sides = lastLine.split(QLatin1Char('='), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (sides.size() < 2)
        return -1;
    QString value = sides.last();
    const int unit = value.lastIndexOf(QStringLiteral("ms"));
    if (unit < 0)
        return -1;
    value = value.left(unit).trimmed();

    // "rtt min/avg/max/mdev = 0.040/0.046/0.052/0.006 ms": the value standing where the label says "avg".
    const QStringList labels = sides.at(sides.size() - 2).trimmed().split(QLatin1Char(' ')).last().split('/');
    const QStringList values = value.split(QLatin1Char('/'));
    if (values.size() > 1) {
        const int position = labels.indexOf(QStringLiteral("avg"));
        if (position < 0 || labels.size() != values.size())
            return -1;
        bool ok = false;
        const double milliseconds = values.at(position).toDouble(&ok);
        if (!ok || !std::isfinite(milliseconds) || milliseconds < 0 || milliseconds > INT_MAX)
            return -1;
        average = int(std::lround(milliseconds));
        return 0;
    }
    bool ok = false;
    const int milliseconds = value.toInt(&ok, 10);
    if (!ok)
        return -1;
    average = milliseconds;
    return 0;
}

int AsyncPing::gradeOf(int okAttempts, int totalMs)
{
    if (okAttempts <= 0)
        return 0;
    const float mean = float(totalMs / okAttempts);
    if (mean < 150.0f)
        return 1;
    if (mean > 250.0f)
        return 2;
    return 3;
}

QString AsyncPing::gradeWord(int grade)
{
    switch (grade) {
    case 1:
        return QStringLiteral("Fluency");
    case 2:
        return QStringLiteral("Congestion");
    case 3:
        return QStringLiteral("Busy");
    default:
        return QStringLiteral("Connection Failed");
    }
}

QString AsyncPing::resultText() const
{
    return m_host + QStringLiteral(" = ") + gradeWord(quality());
}

int AsyncPing::connectAttempt(int requestCount, int& average, int timeoutMs) const
{
    QElapsedTimer attempt;
    attempt.start();
    int replies = 0;
    qint64 total = 0;
    for (int request = 0; request < requestCount; ++request) {
        const int wait = int(qMin<qint64>(kReplyWaitMs, timeoutMs - attempt.elapsed()));
        if (wait <= 0)
            break;
        QTcpSocket socket;
        QElapsedTimer connect;
        connect.start();
        socket.connectToHost(m_host, m_fallbackPort);
        if (socket.waitForConnected(wait)) {
            total += connect.elapsed();
            ++replies;
        }
        socket.abort();
    }
    if (replies == 0)
        return -1;
    average = int(total / replies);
    return 0;
}

void AsyncPing::run()
{
    ThreadLog("AsyncPing::run()");
    while (m_attemptsDone < m_attemptCount && !workThread().isInterruptionRequested()) {
        const int remaining = remainingMs();
        if (remaining <= 0)
            break;
        int average = INT_MAX;
        int result = kPingUnavailable;
        if (!isPingUnavailable())
            result = ping(m_host, 2, average, remaining);
        if (result == kPingUnavailable)
            result = connectAttempt(2, average, remainingMs());
        if (result == 0) {
            m_totalMs += average;
            ++m_okAttempts;
        }
        ++m_attemptsDone;
    }
    quitThread();
}

void AsyncPing::emitEnded()
{
    logEmitSignal("sigPingEnded");
    emit sigPingEnded(this);
}
