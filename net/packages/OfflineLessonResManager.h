#pragma once

#include <QObject>
#include <QString>

// The offline lesson folder of the configuration manager: one folder per lesson, named by its lesson id, that
// the small class room and the small-class replay read the courseware from.
class OfflineLessonResManager : public QObject
{
    Q_OBJECT

public:
    // The process-wide object; lives until exit.
    static OfflineLessonResManager* instance();

    // True when the lesson's folder exists; then *folder (when given) receives its path. An unusable lesson id
    // (see isSafeFolderName) has no folder.
    bool getLessonResourceDir(const QString& lessonId, QString* folder);

    // Unpacks a courseware archive the user picked into the folder named by its base name (the file name without
    // any suffix), replacing what that folder held only after a complete unpack. 0, -42 (the folder can't be
    // made, or the name is unusable) or -43 (unpacking failed). folder receives its path (empty when the name is
    // unusable).
    int importCoursewareZip(const QString& archivePath, QString& folder);

    // The offline lesson folder (created when missing).
    static QString offlineLessonDir();

    // A name that is one plain path segment (isSafePathSegment). Only such names become folders that may later be
    // removed.
    static bool isSafeFolderName(const QString& name);

private:
    OfflineLessonResManager() = default;

    // Removes target and moves source in its place.
    static bool replaceFolder(const QString& source, const QString& target);
};
