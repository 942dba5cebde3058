#include "app/CrashHandler.h"
#include "app/logupload/CrashUpload.h"
#include "settings/TitleBarDialogs_Imp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Started again by the crash handler of a crashed run: upload its logs and end.
    int crashUploadResult = 0;
    if (runCrashUploadIfAsked(argc, argv, &crashUploadResult))
        return crashUploadResult;
    installCrashHandler();

    QApplication app(argc, argv);
    // Every room window's title bar opens the feedback and device-check dialogs of the settings library.
    TitleBarDialogs_Imp::installForProcess();
    return 0;
}
