#pragma once

#include "platform/ExitSignalNotifier.h"

#include <QObject>

// Ends the program on SIGTERM, SIGINT or SIGHUP through the event loop: the shared frame sections go and the log
// is written out at once, the event loop (with any loop running inside it) ends, and after it the current room or
// replay closes without dialogs and without the log upload. The program then exits with 128 + the signal. The
// whole end takes kGraceMs at most: past that the process ends with the same code, its log written out. A second
// signal ends the program at once. Made on the GUI thread before the event loop runs.
class ExitOnSignal : public QObject
{
    Q_OBJECT

public:
    static constexpr int kGraceMs = 3000;

    ExitOnSignal();

    // The program's exit code: 128 + the signal once one came, else loopResult.
    int exitCode(int loopResult) const;

private:
    void onExitSignal(int signalNumber);
    void onLoopEnded();

    Platform::ExitSignalNotifier m_notifier;
    int m_signal = 0;
};
