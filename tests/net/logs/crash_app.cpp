// A small program with the client's crash handling, for the crash upload tests:
//   crash_app <service base address>   starts like the client (crash handler, application object, log handler),
//                                       logs a line and crashes with a null write
//   crash_app --zm-crash-upload=<folder> the upload process the crash handler starts
#include "app/AppGlobalData.h"
#include "app/CrashHandler.h"
#include "app/LogHandler.h"
#include "app/UrlConfig.h"
#include "net/logs/CrashUpload.h"

#include <QCoreApplication>
#include <QDebug>

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

    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 3;
}
