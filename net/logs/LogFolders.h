#pragma once

#include <QString>

class QDateTime;

// Removes the per-start log folders (named "yyyy-MM-dd HH-mm-ss") in the program data folder's "/logs" that
// are older than days days, except this start's own folder. Other entries are left alone.
void removeExpiredLogFolders(int days);

// The same for a given logs folder and time; keep is never removed. The number of folders removed.
int removeExpiredLogFolders(const QString& logsFolder, int days, const QDateTime& now, const QString& keep);

// Removes a folder and everything below it (links are removed, never followed); true when nothing is left.
bool removeFolderTree(const QString& path);
