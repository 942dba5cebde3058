#pragma once

#include <cstddef>

#include <signal.h>

namespace Platform {

// What the crash handler needs from the program. The functions run inside the signal handler of a crashed
// process: they may use async-signal-safe calls only (no allocation, no locks, no logging).
struct CrashHooks
{
    // Writes out what the program still buffers (its log); runs first, before the dump. May be null.
    void (*writePending)() = nullptr;
    // Writes this run's log folder (UTF-8, NUL-terminated) into buffer; false when there is none yet.
    bool (*crashFolder)(char* buffer, std::size_t size) = nullptr;
    // Writes what the upload process reads on its standard input; the byte count (may be 0).
    std::size_t (*handOver)(char* buffer, std::size_t size) = nullptr;
    // The dump's file name in the crash folder.
    const char* dumpFileName = "crash.dmp";
    // The program is started again with this option followed by the crash folder (for example
    // "--zm-crash-upload="); null: no upload process.
    const char* uploadOption = nullptr;
    // How long the crashed process waits for the upload process before it kills it.
    int uploadTimeoutSeconds = 60;
};

// Installs handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT that run on an alternate stack (given to
// the calling thread here; other threads get one with installCrashStackForCurrentThread). On a crash the
// handler writes out what is pending (writePending), writes the dump file into the crash folder (signal, fault address,
// thread, registers, backtrace, memory maps), starts the program again with the upload option and the hand-over on its
// standard input, waits for it within the time limit, and ends the process with the original signal. Only the first
// crash is handled; other threads that crash meanwhile wait for the end. Calling it again replaces the hooks.
bool installCrashSignalHandlers(const CrashHooks& hooks);

// An alternate signal stack for the calling thread (so that a stack overflow can be handled too); freed when
// the thread ends. True when the thread has one.
bool installCrashStackForCurrentThread();

// The dump text for a signal, written to fd (the handler's dump; tests call it directly).
void writeCrashDump(int fd, int signalNumber, const siginfo_t* info, const void* userContext);

// The registers of a signal's user context, one "name value" pair per line (platform dependent).
class SignalSafeWriter;
void writeCrashRegisters(SignalSafeWriter& out, const void* userContext);

} // namespace Platform
