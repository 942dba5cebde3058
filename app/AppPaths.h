#pragma once

#include <QString>
#include <QStringList>

// The program's folders in the user's area. Computed from the environment alone, so the answers are the
// same before and after the application object exists.
namespace AppPaths {

// Candidates for the program data folder, in order of preference: the configuration location, then the
// data location (XDG folders with the fallbacks the XDG base-directory rules give).
QStringList programDataDirCandidates();

// The first of candidates that exists or can be created with its parents; empty when none can. Each
// candidate that could not be created is appended to failed when given.
QString firstUsableDir(const QStringList& candidates, QStringList* failed = nullptr);

// The first candidate that exists or can be created; empty when none can.
QString programDataDir();

// The user settings file ("viDaviro.ini" in the program data folder). Every reader and writer of user
// settings uses this one path.
QString userSettingsFilePath();

} // namespace AppPaths
