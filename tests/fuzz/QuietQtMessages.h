#pragma once

#include <QtGlobal>

// Drops Qt's log messages for the rest of the run: the code under test logs every input it refuses, and the fuzzer
// would spend its time printing them. Call at the top of LLVMFuzzerTestOneInput; only the first call installs.
inline void quietQtMessages()
{
    static const bool installed = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)installed;
}
