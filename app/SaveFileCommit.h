#pragma once

class QSaveFile;

// Commits a file written through QSaveFile only when all that was written to it is on the disk; otherwise the
// temporary file goes and the target keeps its earlier content. A full disk may cut a write short without an error,
// or tell only when the data is synced: both count as failures here, unlike in QSaveFile::commit alone. False when
// the file was not committed.
bool commitWholeFile(QSaveFile& file);
