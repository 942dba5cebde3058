#pragma once

// Lets the program write out what it still buffers when a signal ends it (SIGTERM, SIGINT, SIGHUP, SIGQUIT,
// SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ): writeOut runs, then the signal ends the process as it
// would have. writeOut must be async-signal-safe. Signals the program handles or ignores already are left
// alone; the crash signals are the crash handler's. Calling it again replaces writeOut. False when a handler
// could not be installed.
namespace Platform {

bool installExitSignalHook(void (*writeOut)());

// From a signal handler: ends the process with the signal's own default action (a core dump where the system keeps
// them), as if no handler had been installed for it.
[[noreturn]] void endWithSignal(int signalNumber);

} // namespace Platform
