#pragma once

#include "app/records/LaunchInfo.h"
#include "app/records/LessonContext.h"
#include "app/records/UserInfo.h"

#include <atomic>

// The process-wide application data: launch and lesson records, the teacher's and the local user's own
// member records, the lesson flags and the member map.
//
// Records, the member map and the look-ups belong to the GUI thread: callers read and change them without a
// lock. Task threads may read values written before they started. The flags are atomic, so any thread may
// set or read them (the enter-class task sets enteredClass from its own thread).
class AppGlobalData
{
public:
    // The single object; never null.
    static AppGlobalData* instance();

    AppGlobalData() = default;
    AppGlobalData(const AppGlobalData&) = delete;
    AppGlobalData& operator=(const AppGlobalData&) = delete;

    LaunchInfo launch;
    LessonInfo lesson;

    // The local user's own record. Its user id and account type always come from the launch record (see
    // ownRecord); the other fields start at the defaults and may be filled by whoever knows them.
    UserInfo firstMember;

    UserInfo teacher;

    std::atomic<bool> teacherPresent{false};    // the teacher's stream is in the RTC channel
    std::atomic<bool> roomExitFlag{false};      // the room is being left
    std::atomic<bool> enteredClass{false};      // the enter-class request succeeded; cleared with the exit request
    std::atomic<bool> teacherAudioMuted{false}; // the teacher's microphone is muted
    std::atomic<bool> screenShareOn{false};     // the teacher's desktop share is on

    // Stores the record under its user id (as int), replacing one stored there.
    void addUser(const UserInfo& record);
    void clearUsers();

    // A copy of the member map's record; false (out untouched) when the id is not there.
    bool findUser(int id, UserInfo& out) const;
    // The member map, then the teacher's record, then the local user's own record.
    bool findUserOrTeacher(int id, UserInfo& out) const;
    bool findUserOrSelf(int id, UserInfo& out) const;

    // The local user's own record: firstMember with the launch record's user id and account type.
    UserInfo ownRecord() const;

    // uiType := teachType when it is 1 to 3 (true); else nothing changes (false). classType is not used.
    bool setUiType(int teachType, int classType);

    // The launch and lesson records' identity as one snapshot (see LessonContext): built on the thread that
    // owns the records, then handed to calls and tasks by value.
    LessonContext lessonContext() const { return LessonContext(launch, lesson); }

    // The launch record's user id as int: -1 when empty, 0 when it is not a number.
    int userIdAsInt() const { return lessonContext().userIdAsInt(); }
    // The teacher's user id as int: 0 when empty or not a number.
    int teacherIdAsInt() const;
    // True when id is the teacher's user id (teacherIdAsInt).
    bool isTeacherId(int id) const { return id == teacherIdAsInt(); }

    bool isTeacher() const { return launch.accountType == 2; }
    bool isStudent() const { return launch.accountType == 1; }

    // The member map and the teacher's record, for reading and changing in place.
    UserInfoMap* memberMap() { return &m_members; }
    UserInfo* teacherInfo() { return &teacher; }
    void setTeacherInfo(const UserInfo& record) { teacher = record; }

private:
    // True, with the id, when the text is a decimal number.
    static bool idFromText(const QString& text, int& id);

    UserInfoMap m_members;
};
