#include "app/SaveFileCommit.h"

#include "platform/FileSync.h"

#include <QSaveFile>

bool commitWholeFile(QSaveFile& file)
{
    // pos() counts every byte the writes took, size() what the file holds once they are flushed.
    if (!file.flush() || file.size() != file.pos() || !Platform::syncFileToDisk(file.handle())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
