#pragma once

#include <QMap>
#include <QString>

class QDateTime;

// After a class room closes: writes the run's log-information document into this start's log folder (the
// collected lines are released), zips it with the RTC engine's log (when there is one) into
// "ZmQuillo_Logfile_<yyyy-MM-dd_HH-mm-ss>.zip" in the program data folder, puts the archive into object storage
// with temporary credentials from the class service, deletes it, confirms the stored object and settles the
// lesson's owed upload. Synchronous; failures end it quietly (logged).
void uploadLogArchive();

// The crash upload of one archive: read whole, put with ossPutBuffer, confirmed with the lesson record's ids.
// Waits at most lockTimeoutMs for an upload that holds the upload lock. True when the object was stored; the
// file is left.
bool uploadFileToOss(const QString& path, const QMap<QString, QString>& credentials, int lockTimeoutMs = 10000);

// Removes the owed uploads of the period from the process-wide list (ResumeLogInfo); an empty id does nothing.
void removeOwedEntriesOfPeriod(const QString& periodId);

// "<program data folder>/ZmQuillo_Logfile_<yyyy-MM-dd_HH-mm-ss>.zip" for the given time; empty without a
// program data folder.
QString logArchivePath(const QDateTime& time);
