#pragma once

#include <QObject>

// What a pupil receives from the teacher, and what a pupil (or an auditor) sends. Created and owned by the message
// engine; reached through ClassMsgEngine::getStudentMsgInterface and gone with the engine. Senders drop their
// message (logged) when no engine exists or the socket is not open.
class StudentMsgInterface : public QObject
{
    Q_OBJECT

public:
    explicit StudentMsgInterface(QObject* parent = nullptr);

signals:
    // The teacher left (bStopClass false) or ended the lesson (true).
    void sigReceiveMsgTeacherLeaveClass(int nTeacherID, bool bStopClass);
    void sigReceiveMsgTeacherOpenStudentMicrophone(int nTeacherID, int nStudentID);
    void sigReceiveMsgTeacherStopStudentMicrophone(int nTeacherID, int nStudentID);
    // nAddPoints given now; nTotalPoints the pupil's points of this lesson after them.
    void sigReceiveMsgTeacherAwardPoints(int nTeacherID, int nStudentID, int nAddPoints, int nTotalPoints);
    // Whether the pupil may control the whiteboard.
    void sigReceiveMsgTeacherEnableControl(int nTeacherID, int nStudentID, bool bEnable);
    void sigReceiveMsgTeacherEnableScreenShare(int nTeacherID, bool bEnable);

public slots:
    void sendEnterClass();       // 10010001
    void sendLeaveClass();       // 10010002, "type" 1
    void sendRaiseHand();        // 10020001
    void sendMicrophoneOn();     // 10020003
    void sendMicrophoneOff();    // 10020004
    void sendRaiseHandTimeout(); // 10020005
};
