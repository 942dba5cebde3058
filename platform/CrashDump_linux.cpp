#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

#include <cerrno>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr int kMaxFrames = 64;

const char* signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

const char* codeMeaning(int signalNumber, int code)
{
    if (code == SI_USER)
        return "sent by kill";
    if (code == SI_TKILL)
        return "sent by tkill or raise";
    if (code == SI_QUEUE)
        return "sent by sigqueue";
    switch (signalNumber) {
    case SIGSEGV:
        return code == SEGV_MAPERR ? "address not mapped" : code == SEGV_ACCERR ? "no permission" : "";
    case SIGBUS:
        return code == BUS_ADRALN ? "misaligned address" : code == BUS_ADRERR ? "no such address" : "";
    case SIGFPE:
        return code == FPE_INTDIV ? "integer division by zero" : code == FPE_INTOVF ? "integer overflow" : "";
    case SIGILL:
        return code == ILL_ILLOPC ? "illegal opcode" : code == ILL_PRVOPC ? "privileged opcode" : "";
    default:
        return "";
    }
}

// "yyyy-mm-dd hh:mm:ss UTC" from seconds since 1970 (civil date from day count, no time-zone files).
void writeUtcTime(SignalSafeWriter& out, long long seconds)
{
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    out.decimal(year).text("-").twoDigits(month).text("-").twoDigits(day).text(" ");
    out.twoDigits(int(rest / 3600)).text(":").twoDigits(int(rest / 60 % 60)).text(":").twoDigits(int(rest % 60));
    out.text(" UTC");
}

// Copies a whole file (such as /proc/self/maps) to out.
void copyFile(SignalSafeWriter& out, const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.text("  (cannot open ").text(path).text(")\n");
        return;
    }
    char block[1024];
    for (;;) {
        const ssize_t count = ::read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        out.bytes(block, std::size_t(count));
    }
    ::close(fd);
}

void writeThreadName(SignalSafeWriter& out, long threadId)
{
    char path[64] = "/proc/self/task/";
    char digits[24];
    int count = 0;
    unsigned long value = static_cast<unsigned long>(threadId);
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::size_t used = textLength(path);
    while (count > 0)
        path[used++] = digits[--count];
    path[used] = '\0';
    appendText(path, sizeof path, "/comm");
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    char name[32];
    const ssize_t length = ::read(fd, name, sizeof name - 1);
    ::close(fd);
    if (length <= 0)
        return;
    std::size_t end = std::size_t(length);
    while (end > 0 && (name[end - 1] == '\n' || name[end - 1] == '\0'))
        --end;
    out.text(" \"").bytes(name, end).text("\"");
}

} // namespace

void writeCrashDump(int fd, int signalNumber, const siginfo_t* info, const void* userContext)
{
    SignalSafeWriter out(fd);
    out.text("ZmQuillo crash report\n");
    out.text("Time: ");
    writeUtcTime(out, static_cast<long long>(::time(nullptr)));
    out.newline();
    out.text("Signal: ").decimal(signalNumber).text(" (").text(signalName(signalNumber)).text(")");
    if (info) {
        out.text(", code ").decimal(info->si_code);
        const char* meaning = codeMeaning(signalNumber, info->si_code);
        if (meaning[0] != '\0')
            out.text(" (").text(meaning).text(")");
        out.newline();
        if (info->si_code <= 0)
            out.text("Sender: process ").decimal(info->si_pid).newline();
        else
            out.text("Fault address: ").hex(reinterpret_cast<std::uintptr_t>(info->si_addr), 16).newline();
    } else {
        out.newline();
    }
    out.text("Process: ").decimal(::getpid()).newline();
    const long threadId = ::syscall(SYS_gettid);
    out.text("Thread: ").decimal(threadId);
    writeThreadName(out, threadId);
    out.newline();

    out.text("\nRegisters:\n");
    writeCrashRegisters(out, userContext);

    out.text("\nBacktrace:\n");
    out.flush();
    void* frames[kMaxFrames];
    const int frameCount = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, frameCount, fd);

    out.text("\nMemory maps:\n");
    copyFile(out, "/proc/self/maps");
    out.flush();
}

} // namespace Platform
