#pragma once

#include <QString>
#include <QStringList>

// The video plug-in in the embedded browser: where it is, the switches that load it, and the shared frame objects
// it reads.

constexpr char kVideoPluginFileName[] = "libZmVideoPlugin.so";
// The type of the page's <embed> elements that the plug-in paints.
constexpr char kVideoPluginMimeType[] = "application/x-zm-video";
// Started by the browser in front of the plug-in process: a prefix that only runs what follows it. With it the
// plug-in process runs without the browser's sandbox, which would keep it from opening the shared frames by
// name; renderers keep theirs, less the system-call filter.
constexpr char kVideoPluginLauncher[] = "/usr/bin/env";

// The browser switches for the plug-in in programDir: its registration, the launcher prefix and the switch that
// lets an unsandboxed plug-in process start.
QStringList videoPluginSwitches(const QString& programDir);

// Adds videoPluginSwitches() for programDir (by default the program's own folder) to the browser switches. When
// QTWEBENGINE_CHROMIUM_FLAGS is set the browser takes its switches from there alone, so they are added to it too.
// For start-up, before the application object exists.
void addVideoPluginSwitches(QStringList& arguments, const QString& programDir = QString());

// The shared frame layer's log lines go to the program's log, and the frame objects a previous run left behind
// go. For start-up, once the single-instance guard is held (no other copy can be using them).
void prepareSharedFrames();
