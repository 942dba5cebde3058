#pragma once

#include <QString>

class QSettings;

// The program's own folder and name, its two settings files and its version.

// Part 0: the program folder, ending in "/"; part 1: the program's file name without extension.
QString getModulePathPart(int part);

// "ZmQuillo_Desktop.ini" in the program folder.
QString getDesktopIniPath();

// The user settings file: the same file the configuration manager keeps in the program data folder.
QString getUserIniPath();

// Why settings could not be read in full ("it cannot be opened", "it is not a valid ini file"); empty when they could.
// Reads every section of the file.
QString settingsReadProblem(const QSettings& settings);

// The readers below log a warning, once per file in a run, when the file cannot be read in full.

// Reads an int; false when the key is absent or its value is not an int (value untouched then).
bool readIniInt(const QString& path, const QString& key, int& value);

// Reads a text; value keeps its content when the key is absent. Always true.
bool readIniString(const QString& path, const QString& key, QString& value);

// Reads an int from the program-folder file, then from the user file (which wins); true when either has it.
bool readSettingWithDefault(const QString& key, int& value);

// "a.b.c.d" (parts 4) or "a.b.c" (any other value) for the running program; empty for any other file.
QString getFileVersion(const QString& path, int parts);
QString getExeFileVersion(int parts);
