#pragma once

// The owed-log upload of the class entry: a ResumeLogThread started and not waited for; it frees itself when
// its run ends (the thread serialises its runs itself).
void startOwedLogUpload();

// Waits (running the event loop) until every upload started here has ended and been freed, at most timeoutMs:
// true when none is left. For the end of the program and for tests.
bool waitForOwedLogUploads(int timeoutMs);
