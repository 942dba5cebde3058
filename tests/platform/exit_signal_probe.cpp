// A small program that brings exit signals into its event loop, for the exit signal tests:
//   exit_signal_probe <graceMs> quit   ends its loop with 128 + the signal when one arrives
//   exit_signal_probe <graceMs> stay   only reports the signal and runs on
// It reports on standard output: "ready" once its loop runs, "signal <n>" for a signal handed to the loop,
// "loop ended" after the loop, and "written out" when the exit hook writes out.
#include "platform/ExitSignalNotifier.h"
#include "platform/ExitSignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void say(const char* line)
{
    const std::string text = std::string(line) + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0)
        std::abort();
}

void writeOut()
{
    static const char line[] = "written out\n";
    if (::write(STDOUT_FILENO, line, sizeof line - 1) < 0)
        ::_exit(99);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    const int graceMs = std::atoi(argv[1]);
    const bool quit = std::strcmp(argv[2], "quit") == 0;
    // As a program started from a terminal has them: a test runner that starts tests in the background leaves
    // SIGINT ignored, and ignored signals are left alone.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    if (!Platform::installExitSignalHook(&writeOut))
        return 3;
    QCoreApplication app(argc, argv);
    Platform::ExitSignalNotifier notifier(graceMs);
    if (!notifier.isListening())
        return 4;
    QObject::connect(&notifier, &Platform::ExitSignalNotifier::exitSignal, &app, [quit](int signalNumber) {
        say(("signal " + std::to_string(signalNumber)).c_str());
        if (quit)
            QCoreApplication::exit(128 + signalNumber);
    });
    QTimer::singleShot(0, [] { say("ready"); });
    const int result = app.exec();
    say("loop ended");
    return result;
}
