#include "settings/TitleBarDialogs_Imp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Every room window's title bar opens the feedback and device-check dialogs of the settings library.
    TitleBarDialogs_Imp::installForProcess();
    return 0;
}
