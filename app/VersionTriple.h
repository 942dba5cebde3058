#pragma once

#include <QByteArray>
#include <QString>

// A "major.minor.patch" version as three numbers.
struct VersionTriple
{
    int majorVersion = 0;
    int minorVersion = 0;
    int patchVersion = 0;
};

// Splits text at "."; fewer than three parts give 0.0.0. The first three parts are read as numbers in
// turn; the first part that is not a number counts as 0, and so does every part after it.
VersionTriple parseVersionTriple(const QString& text);

// True when candidate is strictly newer than installed: major, then minor, then patch decide.
bool isNewerVersion(const VersionTriple& candidate, const VersionTriple& installed);
bool isNewerVersion(const QString& candidate, const QString& installed);

// The text of the key "version" of a JSON object; empty when json is no object or the value is no text.
QString versionFromJson(const QByteArray& json);
