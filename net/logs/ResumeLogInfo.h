#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QString>

#include <functional>

class LessonContext;
class QDateTime;

// The owed log uploads: at each class entry the run log of the current run is recorded as owed; later class
// entries upload what earlier runs owe (ResumeLogThread). The list lives in "resumeLogInfo.json" in the
// program data folder: a compact JSON array, oldest first, of objects with one key, the period id, whose value
// holds "LessonID", "DateTime" ("yyyy-MM-dd hh:mm:ss:zzz") and "AllLogFilePath", and, in entries recorded while a
// user was signed in, "UserID" and "Token": the user whose log it is, under whom it is uploaded. Older copies of
// the program read the same file and pass over the two.
//
// The list is held in memory once loaded. Every operation loads, changes and saves it under the object's own
// lock, so the owed-upload thread and the GUI thread may use it at once. A list file that is too big or no
// JSON array is set aside as "resumeLogInfo.json.bad" (and logged); entries of the wrong shape are dropped one
// by one, never the others with them.
class ResumeLogInfo
{
public:
    // The process-wide list in the program data folder; lives until exit.
    static ResumeLogInfo& instance();

    // A list kept in filePath (an empty path keeps it in memory only).
    explicit ResumeLogInfo(const QString& filePath);

    ResumeLogInfo(const ResumeLogInfo&) = delete;
    ResumeLogInfo& operator=(const ResumeLogInfo&) = delete;

    static constexpr int kMaxEntries = 5;        // after an append
    static constexpr int kEntriesKeptAtLoad = 4; // the oldest beyond these are dropped when the file is read
    static constexpr qint64 kMaxFileBytes = 10240;
    static constexpr int kFirstRetriedCode = 52; // upload results from here on keep the entry for a later try
    // The form of an entry's "DateTime".
    static constexpr const char* kDateTimeFormat = "yyyy-MM-dd hh:mm:ss:zzz";

    QString filePath() const { return m_filePath; }

    // The keys of an entry's value.
    static constexpr const char* kLessonIdKey = "LessonID";
    static constexpr const char* kDateTimeKey = "DateTime";
    static constexpr const char* kLogFileKey = "AllLogFilePath";
    static constexpr const char* kUserIdKey = "UserID";
    static constexpr const char* kTokenKey = "Token";

    // Records {periodId: {"LessonID", "DateTime", "AllLogFilePath"}}, with "UserID" and "Token" when userId is not
    // empty, at the end (dropping the oldest beyond kMaxEntries) and saves.
    void appendResumeLogInfo(const QString& periodId, const QString& lessonId, const QDateTime& time,
                             const QString& logFilePath, const QString& userId = QString(),
                             const QString& token = QString());

    // Reads the file when the list in memory is empty; the number of entries held.
    int loadJsonFile_ResumeLogInfo();

    // Writes the list (an empty list removes the file).
    void saveJsonFile_ResumeLogInfo();

    // Removes the entry at index when it lies within the list, and saves.
    void removeOwedEntry(int index);
    // Removes the first entry equal to entry, and saves; false when there is none.
    bool removeOwedEntry(const QJsonObject& entry);

    // Removes every entry whose key is periodId (case-sensitive); an empty periodId does nothing.
    void removeOwedEntriesOfPeriod(const QString& periodId);
    // Removes the entries that record the run log logFilePath for periodId and userId (an entry without a user
    // counts as userId's): what an upload of that run's log for that class settles. Entries of other runs, users or
    // periods stay; an empty periodId or logFilePath does nothing.
    void removeOwedEntriesOfRun(const QString& periodId, const QString& userId, const QString& logFilePath);

    // A copy of the list (loaded first).
    QJsonArray entries();

    // Tries every owed entry, newest first, with upload (0 done, else a step code): done and hopeless entries
    // (code below kFirstRetriedCode) are removed, the others stay. The list is not locked while upload runs.
    void resumeUploadLogFile(const std::function<int(const QJsonObject&)>& upload);
    // The same with resumeUploadLogFileWithJson for the user signed in now (the application data's).
    void resumeUploadLogFile();
    // The same for signedIn, the user and lesson the upload runs for (entries without a user go up as theirs).
    void resumeUploadLogFile(const LessonContext& signedIn);

    // The key of an entry (its period id) and its value.
    static QString periodIdOf(const QJsonObject& entry);
    static QJsonObject valueOf(const QJsonObject& entry);

private:
    int loadLocked();
    void saveLocked();
    void setFileAside(const char* reason);
    bool removeLocked(const QJsonObject& entry);

    const QString m_filePath;
    QMutex m_mutex;
    QJsonArray m_list;
};
