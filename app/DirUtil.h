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
