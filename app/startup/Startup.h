#pragma once

// The program's start-up, event loop and shut-down; main() hands over to it. Returns 0 when the start ends
// early (another copy runs, a link was handed to it, bad parameters, the version check refuses), else the
// event loop's result (0 when an exception escaped it).
int runApplication(int argc, char** argv);
