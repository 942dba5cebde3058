#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Restarting the program (the rendering settings, the main window's cache clearing): a new copy is started detached
// and every window of this copy closes, so that this copy ends. The new copy carries kRestartedOption; its start
// waits up to kRestartWaitMs for this copy to let go of the single-instance lock instead of refusing to run.
namespace ProgramRestart {

constexpr char kRestartedOption[] = "--zm-restarted";
constexpr int kRestartWaitMs = 10000;

// Starts program with arguments, detached; true when it started.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

// Starts the new copy (QCoreApplication::applicationFilePath() with kRestartedOption and carriedOptions() of this
// copy's arguments), then closes all windows. When the copy cannot be started nothing is closed and the result is
// false. GUI thread.
bool restart();

// True while restart() closes the windows: a window that asks before it closes lets this close through.
bool isClosingWindows();

// The options of a command line that a restarted copy keeps: where the services are and how the RTC engine is set
// up ("--web_mode", "--urlmain", "--urlapi", "--urlrestful", "--urlwb", "--urlpwb", "--rtc_scenario",
// "--rtc_devices"), in that order, each with its last value. The lesson and the user's credentials stay behind,
// so the new copy opens the main window.
QStringList carriedOptions(const QStringList& arguments);

// True when argv holds kRestartedOption.
bool isRestartedStart(int argc, const char* const* argv);

// Replaces the launcher (tests); an empty one restores QProcess::startDetached.
void setLauncher(Launcher launcher);

} // namespace ProgramRestart
