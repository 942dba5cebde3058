#pragma once

#include <QString>

bool dirExists(const QString& path);

// Creates the folder with its parents when missing; returns path.
QString makeDirIfMissing(const QString& path);

// Creates the folder with its parents when missing; true when it exists afterwards.
bool makePathIfMissing(const QString& path);

// Copies source into target recursively (target created one level when missing). With overwrite set,
// files already in target are replaced. False at the first entry that fails.
bool copyDirectory(const QString& source, const QString& target, bool overwrite);

// Deletes the folder with everything below it, depth first. Symbolic links are removed, never followed;
// when path itself is a link, only the link is removed. A missing folder is no error; a path that is a plain
// file is left alone and gives false. True when nothing is left.
bool removeDirRecursively(const QString& path);

// A name that stays inside its folder: one path segment, not empty, not "." or "..", no slash of either kind, no
// control character, at most 200 bytes in UTF-8 (room for a suffix on any file system).
bool isSafePathSegment(const QString& name);
