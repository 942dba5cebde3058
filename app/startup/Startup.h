#pragma once

// The program's start-up, event loop and shut-down; main() hands over to it. Returns an ExitStatus
// (app/ExitStatus.h) when the start ends early (another copy runs, a link was handed to it, bad parameters, the
// version check refuses) or an exception ends the event loop, else the event loop's result.
int runApplication(int argc, char** argv);
