#pragma once

#include <QMap>
#include <QString>

class LessonContext;
class QDateTime;

// After a class room closes: writes the run's log-information document into this start's log folder (the
// collected lines are released), zips it with the RTC engine's log (when there is one) into
// "ZmQuillo_Logfile_<yyyy-MM-dd_HH-mm-ss>.zip" in the program data folder, puts the archive into object storage
// with temporary credentials from the class service, deletes it, confirms the stored object and settles the
// owed upload of this run's class (removeOwedEntriesOfRun). Synchronous; failures end it quietly (logged).
void uploadLogArchive();

// The crash upload of one archive: read whole, put with ossPutBuffer, confirmed with the lesson record's ids.
// Waits at most lockTimeoutMs for an upload that holds the upload lock. True when the object was stored; the
// file is left.
bool uploadFileToOss(const QString& path, const QMap<QString, QString>& credentials, int lockTimeoutMs = 10000);

// Settles what an upload of this run's log carried: removes from the process-wide list (ResumeLogInfo) the owed
// entries of the lesson's period and user that record runLogFile. Other runs' entries of the period stay.
void removeOwedEntriesOfRun(const LessonContext& lesson, const QString& runLogFile);

// "<program data folder>/ZmQuillo_Logfile_<yyyy-MM-dd_HH-mm-ss>.zip" for the given time; empty without a
// program data folder.
QString logArchivePath(const QDateTime& time);
