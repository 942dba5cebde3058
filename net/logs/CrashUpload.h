#pragma once

#include "app/CrashHandler.h"

#include <QString>

// The program's crash-upload mode, started by the crash handler of a crashed run (see app/CrashHandler.h).

// Results of the crash upload (the upload process's exit code).
enum CrashUploadResult : int
{
    CrashUpload_Stored = 0,
    CrashUpload_NoCredentials = 1,
    CrashUpload_ZipFailed = 2,
    CrashUpload_PutFailed = 3,
    CrashUpload_BadFolder = 4,
};

// When the arguments hold kCrashUploadOption: reads the hand-over from standard input, uploads the crashed run's
// log folder and sets exitCode to a CrashUploadResult; true. False (nothing done) without the option. Call it
// first thing in main, before the application object exists.
bool runCrashUploadIfAsked(int argc, char** argv, int* exitCode);

// The upload of a crashed run's log folder: credentials from the class service for the archive
// "<folder>/<yyyy-MM-dd HH-mm-ss of the crash>.zip", the log-information document (from the run log's last
// 300 KiB, with the run's context) into the folder, the folder zipped (the archive itself left out), the
// archive uploaded and confirmed.
CrashUploadResult crashUploadLogFolder(const QString& folder, const CrashHandOver& handOver);
