#include "platform/CrashHandler.h"
#include "platform/ExitSignals.h"
#include "platform/SignalSafeText.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {

namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t kAltStackSize = 256 * 1024;
constexpr std::size_t kFolderSize = 4096;
constexpr long kPollNanoseconds = 20 * 1000 * 1000;

// Everything the handler uses is prepared here beforehand: it must not allocate.
CrashHooks s_hooks;
char s_programPath[PATH_MAX];
char s_folder[kFolderSize];
char s_dumpPath[kFolderSize + 256];
char s_uploadArgument[kFolderSize + 256];
char s_handOver[16 * 1024];
std::atomic<long> s_crashingThread{0};

// The calling thread's alternate signal stack, released when the thread ends.
struct AltStack
{
    void* memory = nullptr;

    ~AltStack()
    {
        if (!memory)
            return;
        stack_t current{};
        if (::sigaltstack(nullptr, &current) == 0 && current.ss_sp == memory) {
            stack_t disabled{};
            disabled.ss_flags = SS_DISABLE;
            ::sigaltstack(&disabled, nullptr);
        }
        ::munmap(memory, kAltStackSize);
    }
};

thread_local AltStack t_altStack;

bool monotonicNow(timespec& now)
{
    return ::clock_gettime(CLOCK_MONOTONIC, &now) == 0;
}

long long millisecondsBetween(const timespec& from, const timespec& to)
{
    return (to.tv_sec - from.tv_sec) * 1000LL + (to.tv_nsec - from.tv_nsec) / 1000000;
}

// In the child of the crashed process: its standard input is the hand-over pipe; then the program again.
[[noreturn]] void execUploadProcess(int readEnd)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (readEnd != STDIN_FILENO) {
        ::dup2(readEnd, STDIN_FILENO);
        ::close(readEnd);
    } else {
        ::fcntl(STDIN_FILENO, F_SETFD, 0);
    }
    char* const arguments[] = {s_programPath, s_uploadArgument, nullptr};
    ::execve("/proc/self/exe", arguments, environ);
    ::_exit(127);
}

// Starts the upload process and waits for it within the time limit.
void runUploadProcess()
{
    s_uploadArgument[0] = '\0';
    if (!appendText(s_uploadArgument, sizeof s_uploadArgument, s_hooks.uploadOption) ||
        !appendText(s_uploadArgument, sizeof s_uploadArgument, s_folder))
        return;
    const std::size_t handOverSize = s_hooks.handOver ? s_hooks.handOver(s_handOver, sizeof s_handOver) : 0;

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    timespec started{};
    monotonicNow(started);
    const pid_t child = ::_Fork();
    if (child == 0) {
        ::close(pipeEnds[1]);
        execUploadProcess(pipeEnds[0]);
    }
    ::close(pipeEnds[0]);
    if (child < 0) {
        ::close(pipeEnds[1]);
        return;
    }
    // A child that ended early must not end this process with SIGPIPE.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    ::sigprocmask(SIG_BLOCK, &pipeSignal, nullptr);
    writeAllSignalSafe(pipeEnds[1], s_handOver, handOverSize);
    ::close(pipeEnds[1]);

    const long long limit = s_hooks.uploadTimeoutSeconds * 1000LL;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR))
            return;
        timespec now{};
        if (!monotonicNow(now) || millisecondsBetween(started, now) >= limit)
            break;
        const timespec pause{0, kPollNanoseconds};
        ::nanosleep(&pause, nullptr);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

void handleCrash(int signalNumber, siginfo_t* info, void* userContext)
{
    if (s_hooks.writePending)
        s_hooks.writePending();
    if (!s_hooks.crashFolder || !s_hooks.crashFolder(s_folder, sizeof s_folder) || s_folder[0] == '\0')
        return;
    s_dumpPath[0] = '\0';
    if (appendText(s_dumpPath, sizeof s_dumpPath, s_folder) && appendText(s_dumpPath, sizeof s_dumpPath, "/") &&
        appendText(s_dumpPath, sizeof s_dumpPath, s_hooks.dumpFileName)) {
        const int fd = ::open(s_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            writeCrashDump(fd, signalNumber, info, userContext);
            ::close(fd);
        }
    }
    if (s_hooks.uploadOption)
        runUploadProcess();
}

void crashSignalHandler(int signalNumber, siginfo_t* info, void* userContext)
{
    long expected = 0;
    const long self = ::syscall(SYS_gettid);
    if (!s_crashingThread.compare_exchange_strong(expected, self)) {
        for (;;) // another thread handles its crash and ends the process
            ::pause();
    }
    handleCrash(signalNumber, info, userContext);
    endWithSignal(signalNumber);
}

} // namespace

bool installCrashStackForCurrentThread()
{
    if (t_altStack.memory)
        return true;
    void* memory = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return false;
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kAltStackSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(memory, kAltStackSize);
        return false;
    }
    t_altStack.memory = memory;
    return true;
}

bool installCrashSignalHandlers(const CrashHooks& hooks)
{
    s_hooks = hooks;
    const ssize_t length = ::readlink("/proc/self/exe", s_programPath, sizeof s_programPath - 1);
    s_programPath[length > 0 ? length : 0] = '\0';
    // The first backtrace() loads the unwinder, which allocates: do it now, not in the handler.
    void* frames[4];
    ::backtrace(frames, 4);

    bool installed = installCrashStackForCurrentThread();
    struct sigaction action
    {
    };
    action.sa_sigaction = crashSignalHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kCrashSignals)
        sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : kCrashSignals)
        installed = ::sigaction(signalNumber, &action, nullptr) == 0 && installed;
    return installed;
}

} // namespace Platform
