#include "platform/ExitSignals.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace Platform {

namespace {

// The signals whose default action ends the process, except the crash signals and SIGKILL and SIGSTOP, which
// can't be caught, and the profiling timers, which belong to profilers.
constexpr int kExitSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ};

std::atomic<void (*)()> s_writeOut{nullptr};

void exitSignalHandler(int signalNumber)
{
    if (void (*writeOut)() = s_writeOut.load())
        writeOut();
    endWithSignal(signalNumber);
}

} // namespace

void endWithSignal(int signalNumber)
{
    // The default action again, then the same signal: the process ends as it would have without us.
    struct sigaction fallback
    {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signalNumber, &fallback, nullptr);
    ::raise(signalNumber);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    ::_exit(128 + signalNumber);
}

bool installExitSignalHook(void (*writeOut)())
{
    s_writeOut.store(writeOut);
    bool installed = true;
    for (const int signalNumber : kExitSignals) {
        struct sigaction current
        {
        };
        if (::sigaction(signalNumber, nullptr, &current) != 0) {
            installed = false;
            continue;
        }
        // Handled or ignored already (by us too: writeOut is replaced above).
        if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action
        {
        };
        action.sa_handler = exitSignalHandler;
        sigemptyset(&action.sa_mask);
        for (const int other : kExitSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        installed = ::sigaction(signalNumber, &action, nullptr) == 0 && installed;
    }
    return installed;
}

} // namespace Platform
