#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVariantMap>

// Message tags of the class message protocol. Outgoing and incoming messages share some tags.
enum ClassMsgTag : int
{
    ClassMsgTag_None = 0,
    ClassMsgTag_EnterClass = 10010001,            // out: enter the class; in: the talk list
    ClassMsgTag_LeaveClass = 10010002,            // out: "type" 1 the class stops (a pupil always), 0 the teacher left
    ClassMsgTag_RaiseHand = 10020001,             // out
    ClassMsgTag_OpenStudentMicrophone = 10020002, // out, teacher: "userId" is the pupil
    ClassMsgTag_MicrophoneOn = 10020003,          // out
    ClassMsgTag_MicrophoneOff = 10020004,         // out
    ClassMsgTag_RaiseHandTimeout = 10020005,      // out
    ClassMsgTag_StudentMicrophoneOpened = 20020002, // in: "userId", "teacherId"
    ClassMsgTag_UserEntered = 30010001,             // in: "role", "userId"
    ClassMsgTag_UserLeft = 30010002,                // in: "role", "userId", "type"
    ClassMsgTag_TalkList = 30030001,                // in: "userInfoList"
    ClassMsgTag_TeacherCommand = 40010001,          // out and in: "subTag" and its members
    ClassMsgTag_TeacherDropCommand = 40010002,      // out and in: sent with the sub-tag "drop"
};

// Roles on the wire ("role"): 0 pupil, 1 teacher, -1 anyone else.
enum ClassMsgRole : int
{
    ClassMsgRole_Other = -1,
    ClassMsgRole_Pupil = 0,
    ClassMsgRole_Teacher = 1,
};

// Sub-tags ("subTag") of the teacher commands.
namespace ClassMsgSubTag {
inline QString screenShare()
{
    return QStringLiteral("screenShare");
}
inline QString award()
{
    return QStringLiteral("award");
}
inline QString enableControl()
{
    return QStringLiteral("enableControl");
}
inline QString teacherAudio()
{
    return QStringLiteral("teacherAudio");
}
inline QString drop()
{
    return QStringLiteral("drop");
}
} // namespace ClassMsgSubTag

// The wire role of a local account type (1 pupil, 2 teacher); -1, logged, for any other.
int getPostMsgFromUserRole(int accountType);

// Bodies of the outgoing messages, shared by the senders and the dispatcher's answers.
namespace ClassMsgBody {
QVariantMap leaveClass(bool stopClass);
QVariantMap openStudentMicrophone(int userId);
QVariantMap screenShare(bool enabled);
QVariantMap award(int toUserId, int point, int total);
QVariantMap enableControl(int toUserId, bool enabled);
QVariantMap teacherAudio(bool isMute);
QVariantMap drop(int toUserId);
} // namespace ClassMsgBody

// Read access to a received body, whether it is a QVariantMap (dispatchMsg's callers) or the parsed JSON object
// itself (the receiver, which need not copy it). A member that is missing or of the wrong kind gives the default:
// numbers must be whole numbers within int; flags are numbers (non-zero is true) or JSON booleans; texts must be
// texts. Map values may be plain variants or variants holding a QJsonValue.
class ClassMsgBodyView
{
public:
    explicit ClassMsgBodyView(const QVariantMap& map)
        : m_map(&map)
    {
    }
    explicit ClassMsgBodyView(const QJsonObject& object)
        : m_object(&object)
    {
    }

    int intValue(QLatin1String key, int defaultValue) const;
    bool flagValue(QLatin1String key, bool defaultValue) const;
    QString textValue(QLatin1String key) const;
    // The member as JSON; undefined when missing.
    QJsonValue jsonValue(QLatin1String key) const;

private:
    const QVariantMap* m_map = nullptr;
    const QJsonObject* m_object = nullptr;
};

// One received message: the envelope's tag, and the whole top-level object (whose members other than "messageId"
// and "messageTag" are the body).
struct ReceivedClassMsg
{
    int tag = ClassMsgTag_None;
    QJsonObject object;

    // The envelope's "messageId" (read when asked: dispatching doesn't use it).
    QString messageId() const;
    // The body as dispatchMsg takes it: every member but "messageId" and "messageTag".
    QVariantMap body() const;
};

// Parses one received text (its UTF-8 bytes). False, with whyNot set, when the text is not JSON or not a JSON
// object; a missing or non-numeric "messageTag" gives tag 0.
bool parseClassMsg(const QByteArray& utf8, ReceivedClassMsg& out, QString* whyNot = nullptr);
