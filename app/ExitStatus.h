#pragma once

// The statuses the program ends with. A signal that ends it (a crash among them) ends it with that signal, which a
// shell reports as 128 + its number; a lesson package given up ends it with -1 (255).
enum ExitStatus : int
{
    // A normal end, a link handed over to the running copy, or a start the version check ended for an update.
    ExitStatus_Normal = 0,
    // The parameter check failed ("Error Params").
    ExitStatus_BadParameters = 2,
    // Another copy runs and took no link ("This program is running already.").
    ExitStatus_RunningAlready = 3,
    // An exception ended the event loop.
    ExitStatus_EventLoopFailed = 4,
    // A program started for a lesson whose class room ended because a step run failed or was given up.
    ExitStatus_ClassEntryGivenUp = 5,
};
