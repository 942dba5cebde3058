// A program that restarts itself through ProgramRestart, for tst_restart:
//   first start:      takes the lock "zm-restart-probe", shows a window and restarts. After its event loop it keeps
//                     the lock until the new copy reports that it waits for it (at most 90 s), then ends with 0.
//   restarted start:  (ProgramRestart::kRestartedOption) waits for the lock as the program's start-up does, logs its
//                     arguments and whether it holds the lock, and ends.
// Every log line goes to the file named by ZM_RESTART_PROBE_LOG, prefixed with "first: " or "restarted: ".
#include "app/startup/InstanceLockWait.h"
#include "platform/SingleInstance.h"
#include "ui/common/ProgramRestart.h"

#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

const char* s_prefix = "first: ";
// How long the first copy waits for its new copy to start waiting for the lock: as long as a start of a helper
// process may take on a loaded machine.
constexpr int kNewCopyStartMs = 90000;

void logToFile(QtMsgType, const QMessageLogContext&, const QString& message)
{
    QFile file(qEnvironmentVariable("ZM_RESTART_PROBE_LOG"));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(s_prefix + message.toUtf8() + '\n');
}

bool logContains(const QByteArray& text)
{
    QFile file(qEnvironmentVariable("ZM_RESTART_PROBE_LOG"));
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
}

} // namespace

int main(int argc, char** argv)
{
    const bool restarted = ProgramRestart::isRestartedStart(argc, argv);
    if (restarted)
        s_prefix = "restarted: ";
    qInstallMessageHandler(logToFile);
    Platform::SingleInstanceLock lock(QStringLiteral("zm-restart-probe"));

    if (restarted) {
        QCoreApplication app(argc, argv);
        const bool held = acquireInstanceLock(lock, ProgramRestart::kRestartWaitMs);
        qInfo().noquote() << "arguments" << app.arguments().mid(1).join(' ');
        qInfo() << "done, lock held:" << held;
        return held ? 0 : 1;
    }

    QApplication app(argc, argv);
    if (!acquireInstanceLock(lock, 0)) {
        qWarning() << "no lock";
        return 2;
    }
    QWidget window;
    window.show();
    QTimer::singleShot(0, [] {
        if (!ProgramRestart::restart())
            QCoreApplication::exit(3);
    });
    const int result = app.exec();

    QElapsedTimer waited;
    waited.start();
    while (!logContains("restarted: acquireInstanceLock waits") && waited.elapsed() < kNewCopyStartMs)
        QThread::msleep(20);
    qInfo() << "ends with" << result;
    return result;
}
