// A small program with the client's crash handling, for the crash upload tests:
//   crash_app <service base address>   starts like the client (crash handler, application object, log handler),
//                                       logs a line and crashes with a null write
//   crash_app <service base address> <end> <lines>
//                                       the same, but logs a burst of lines first and ends as end says: "segv" a
//                                       null write, "threads" a null write after bursts on four threads, "held" a
//                                       null write while another thread holds the log lock (so that nothing
//                                       but the crash handler writes the second half of the burst), "fatal"
//                                       qFatal, "term" SIGTERM, "exit" exit() without closing the log
//   crash_app --zm-crash-upload=<folder> the upload process the crash handler starts
#include "app/AppGlobalData.h"
#include "app/CrashHandler.h"
#include "app/LogHandler.h"
#include "app/LogLock.h"
#include "app/UrlConfig.h"
#include "net/logs/CrashUpload.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {

void burst(int worker, int from, int to)
{
    for (int i = from; i < to; ++i)
        qDebug("burst %d line %d", worker, i);
}

[[noreturn]] void nullWrite()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    int exitCode = 0;
    if (runCrashUploadIfAsked(argc, argv, &exitCode))
        return exitCode;
    if (argc < 2)
        return 2;
    installCrashHandler();
    QCoreApplication application(argc, argv);
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.userId = "100234";
    data->launch.token = "crash-token-secret-99";
    data->launch.accountType = 2;
    data->launch.uiType = 3;
    data->lesson.lessonId = "L-CRASH";
    data->lesson.periodId = "P-CRASH";
    data->teacher.userId = "900";
    data->teacher.enNickName = "Ms Smith";
    UrlConfig::instance()->api = QString::fromLocal8Bit(argv[1]);
    UrlConfig::instance()->restful = QString::fromLocal8Bit(argv[1]);
    installLogHandler();
    qInfo() << "crash_app marker before the crash";
    if (argc < 4)
        nullWrite();

    const QByteArray end = argv[2];
    const int lines = QByteArray(argv[3]).toInt();
    if (end == "threads") {
        QList<QThread*> threads;
        for (int worker = 1; worker <= 4; ++worker)
            threads << QThread::create([worker, lines] { burst(worker, 0, lines / 4); });
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads)
            thread->wait();
        nullWrite();
    }
    if (end == "held") {
        burst(0, 0, lines / 2);
        std::atomic<bool> held{false};
        QThread* holder = QThread::create([&held] {
            LogLock lock;
            held = true;
            for (;;)
                QThread::sleep(1000);
        });
        holder->start();
        while (!held)
            QThread::yieldCurrentThread();
        burst(0, lines / 2, lines);
        nullWrite();
    }
    burst(0, 0, lines);
    if (end == "fatal")
        qFatal("crash_app fatal after the burst");
    if (end == "term")
        std::raise(SIGTERM);
    if (end == "exit")
        std::exit(0);
    nullWrite();
}
