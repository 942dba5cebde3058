#include "platform/ExitSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <semaphore.h>
#include <thread>
#include <unistd.h>

namespace Platform {

namespace {

// The signals whose default action ends the process, except the crash signals and SIGKILL and SIGSTOP, which
// can't be caught, and the profiling timers, which belong to profilers.
constexpr int kExitSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ};

// The signals that may be handed to the program.
constexpr int kHandedSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<void (*)()> s_writeOut{nullptr};
std::atomic<int> s_notifyFd{-1};
std::atomic<int> s_graceMs{0};
// The signal handed over; 0 before the first.
std::atomic<int> s_handedSignal{0};
// Posted by the handler when it hands a signal over; the time limit's thread waits for it.
sem_t s_handedOver;
std::once_flag s_timeLimitStarted;

bool isHandedSignal(int signalNumber)
{
    for (const int handed : kHandedSignals) {
        if (handed == signalNumber)
            return true;
    }
    return false;
}

// In the handler: the first handed signal goes to the program; false for any other signal.
bool handOver(int signalNumber)
{
    const int fd = s_notifyFd.load();
    int none = 0;
    if (fd < 0 || !isHandedSignal(signalNumber) || !s_handedSignal.compare_exchange_strong(none, signalNumber))
        return false;
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    while (::write(fd, &byte, 1) < 0 && errno == EINTR) {
    }
    ::sem_post(&s_handedOver);
    errno = savedErrno;
    return true;
}

void exitSignalHandler(int signalNumber)
{
    if (handOver(signalNumber))
        return;
    if (void (*writeOut)() = s_writeOut.load())
        writeOut();
    endWithSignal(signalNumber);
}

// The time limit of a handed signal: a thread of its own, so that a busy program thread cannot hold it up.
void enforceTimeLimit()
{
    while (::sem_wait(&s_handedOver) != 0) {
    }
    const int graceMs = s_graceMs.load();
    timespec left{graceMs / 1000, static_cast<long>(graceMs % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    if (void (*writeOut)() = s_writeOut.load())
        writeOut();
    ::_exit(128 + s_handedSignal.load());
}

void startTimeLimit()
{
    ::sem_init(&s_handedOver, 0, 0);
    // The thread takes no signals: they go to the program's threads.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    std::thread(enforceTimeLimit).detach();
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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

void handExitSignalsTo(int notifyFd, int graceMs)
{
    if (notifyFd >= 0) {
        std::call_once(s_timeLimitStarted, startTimeLimit);
        s_graceMs.store(graceMs);
    }
    s_notifyFd.store(notifyFd);
}

} // namespace Platform
