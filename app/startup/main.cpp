#include "app/startup/Startup.h"
#include "settings/TitleBarDialogs_Imp.h"

int main(int argc, char* argv[])
{
    // Every room window's title bar opens the feedback and device-check dialogs of the settings library.
    TitleBarDialogs_Imp::installForProcess();
    return runApplication(argc, argv);
}
