#pragma once

#include <QJsonObject>

class LessonContext;

// Uploads one owed log (an entry of ResumeLogInfo): a document from the run log's last 300 KiB and, when there is
// one, the RTC engine's log of that run, zipped beside the run log, put into object storage and confirmed. 0 when
// done; otherwise the step that failed:
//   10 no period id, 20 no lesson id, 30 no log file path, 40 a time that doesn't parse, 50 no log file,
//   51 document not written, 52 zip failed, 60 no upload credentials, 70 object-storage init failed,
//   71 put failed, 80 confirmation refused.
// The document, the archive and the folder are left on disk.
//
// The archive is named after, and uploaded under, the entry's own user (its "UserID" and "Token"; the token of
// signedIn instead when that is the same user, as it may be newer). An entry without a user goes up as signedIn's.
int resumeUploadLogFileWithJson(const QJsonObject& entry, const LessonContext& signedIn);
// The same for the user signed in now (the application data's).
int resumeUploadLogFileWithJson(const QJsonObject& entry);

// The user and lesson an owed entry is uploaded for: its own user, or signedIn's when it names none; its own lesson
// and period ids.
LessonContext owedLogOwner(const QJsonObject& entry, const LessonContext& signedIn);
