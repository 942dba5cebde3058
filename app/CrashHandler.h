#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

#include <cstddef>

// Crash handling: a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) writes out the run log's pending lines,
// leaves the dump "ZmQuillo.dmp" in this start's log folder, then the program is started again in its crash-upload mode
// (kCrashUploadOption followed by the log folder) to zip the folder and upload it, away from the locks of the crashed
// process; the crashed process waits for it at most kCrashUploadTimeoutSeconds and then ends with its signal.
//
// What the upload needs of the crashed run (the lesson, the user and their token, the service addresses) is
// handed to the upload process on its standard input, never on its command line.

constexpr char kCrashUploadOption[] = "--zm-crash-upload=";
constexpr char kCrashDumpFileName[] = "ZmQuillo.dmp";
constexpr int kCrashUploadTimeoutSeconds = 60;

// Installs the handlers (once; later calls change nothing). Creates the application data and the URL
// configuration if they don't exist yet, so the handler never has to.
void installCrashHandler();

// The crashed run's values the upload process uses.
struct CrashHandOver
{
    QDateTime crashTime; // local time of the crash
    QString apiBase;
    QString restfulBase;
    QString token;
    QString userId;
    int accountType = 0;
    int uiType = 0;
    int paramA = 0;
    QString lessonId;
    QString periodId;
    QString teacherId;
    QString teacherName;

    // Reads the "key=value" lines written by writeCrashHandOver; unknown keys are skipped.
    static CrashHandOver parse(const QByteArray& text);

    // Puts the values into the application data and the URL configuration of this process.
    void apply() const;
};

// Writes the hand-over of the current run into buffer ("key=value" lines, UTF-8); the byte count. Safe in a
// signal handler: reads the application data and the URL configuration without locking or allocating.
std::size_t writeCrashHandOver(char* buffer, std::size_t size);

// This start's log folder into buffer (UTF-8, NUL-terminated); false when there is none yet. Signal-safe.
bool crashLogFolder(char* buffer, std::size_t size);

// The folder named by the crash-upload option in the program's arguments; empty when it isn't there.
QString crashUploadFolderArgument(int argc, const char* const* argv);
