#pragma once

// Lets the program write out what it still buffers when a signal ends it (SIGTERM, SIGINT, SIGHUP, SIGQUIT,
// SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ): writeOut runs, then the signal ends the process as it
// would have. writeOut must be async-signal-safe. Signals the program handles or ignores already are left
// alone; the crash signals are the crash handler's. Calling it again replaces writeOut. False when a handler
// could not be installed.
namespace Platform {

bool installExitSignalHook(void (*writeOut)());

// Hands SIGTERM, SIGINT and SIGHUP (where the hook handles them) to the program instead of ending it: the first of
// them writes its number as one byte to notifyFd (the write end of a non-blocking pipe) and returns. From then on
// the process has graceMs to end by itself; past that writeOut runs and it ends with the exit code 128 + the
// signal. Any later exit signal ends the process at once, as without the hand-over. notifyFd -1 stops handing
// signals over (one handed over already keeps its time limit).
void handExitSignalsTo(int notifyFd, int graceMs);

// From a signal handler: ends the process with the signal's own default action (a core dump where the system keeps
// them), as if no handler had been installed for it.
[[noreturn]] void endWithSignal(int signalNumber);

} // namespace Platform
