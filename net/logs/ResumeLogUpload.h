#pragma once

#include <QJsonObject>

// Uploads one owed log (an entry of ResumeLogInfo): a document from the run log's last 300 KiB and, when there is
// one, the RTC engine's log of that run, zipped beside the run log, put into object storage and confirmed. 0 when
// done; otherwise the step that failed:
//   10 no period id, 20 no lesson id, 30 no log file path, 40 a time that doesn't parse, 50 no log file,
//   51 document not written, 52 zip failed, 60 no upload credentials, 70 object-storage init failed,
//   71 put failed, 80 confirmation refused.
// The document, the archive and the folder are left on disk.
int resumeUploadLogFileWithJson(const QJsonObject& entry);
