#pragma once

#include <QObject>

// What the teacher sends. Created and owned by the message engine; reached through
// ClassMsgEngine::getTeacherMsgInterface and gone with the engine. Senders drop their message (logged) when no
// engine exists or the socket is not open. What the teacher receives comes through the public interface.
class TeacherMsgInterface : public QObject
{
    Q_OBJECT

public:
    explicit TeacherMsgInterface(QObject* parent = nullptr);

public slots:
    // 10010001, then the teacher's microphone state (the application data's teacherAudioMuted).
    void sendEnterClass();
    // 10010002, "type" 1 when the lesson ends, 0 when the teacher only leaves.
    void sendLeaveClass(bool stopClass);
    // Teacher commands (40010001) by sub-tag.
    void sendAwardPoints(int toUserId, int point, int total); // "award"
    void sendEnableControl(int toUserId, bool enabled);       // "enableControl"
    void sendScreenShare(bool enabled);                       // "screenShare"
    void sendTeacherAudio(bool isMute);                       // "teacherAudio"
    // 10020002 with the pupil's id as "userId".
    void sendOpenStudentMicrophone(int userId);
    // 40010002 "drop".
    void sendStopStudentMicrophone(int toUserId);
};
