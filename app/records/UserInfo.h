#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QVector>

// Talk states a talk list gives a member.
enum UserTalkState : int
{
    TalkState_None = 0,
    TalkState_HandRaised = 1,
    TalkState_Talking = 2,
};

// One class member: the teacher or a pupil. A plain value; copies are deep.
struct UserInfo
{
    QString userId;      // decimal text; its int value keys the member map
    int accountType = 0; // 1 pupil, 2 teacher, 3 auditor; 0 unknown
    QString portrait;    // address of the portrait picture
    QString cnNickName;
    QString enNickName;
    QString gender; // decimal text
    QString userLevel;
    int classPoint = 0; // points given in this lesson (class-points reply); awards stop at 5
    int starPoint = 0;  // the pupil's lifetime star points (lesson reply)
    int talkState = TalkState_Talking;
    int talkOrder = -1;         // n for the first of n talk-list entries, 1 for the last; -1 when not listed
    bool controlEnabled = true; // may control the whiteboard

    // userId read as a decimal number; 0 when it is not one.
    int userIdAsInt() const;

    // The English nickname trimmed, or the Chinese one trimmed when the English one is blank.
    QString displayName() const;
};

// Member map: user id to record, ordered by id.
using UserInfoMap = QMap<int, UserInfo>;

// One entry of a talk list.
struct TalkListEntry
{
    int userId = 0;
    int state = TalkState_None;
};

// Applies a talk list to the members: every member first gets state 0 and order -1; then entry i of n gets
// its state and order n - i. A listed id the map does not hold gets a new default record under that id.
void applyTalkList(UserInfoMap& members, const QVector<TalkListEntry>& entries);

// Applies the talk list of a class message body: its "userInfoList" array of {"userId", "state"}. A body
// without the list resets every member. Entries whose "userId" is not a number (or numeric text) are
// skipped; the others keep the order their place in the list gives them.
void applyTalkListMessage(UserInfoMap& members, const QJsonObject& body);
