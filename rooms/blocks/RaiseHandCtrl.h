#pragma once

#include "rooms/blocks/RoomMemberTypes.h"

#include <QObject>
#include <QPointer>

class QTimer;
class RaiseHandWidget_Out;

// A student's raise-hand control in the public class room. Raising the hand tells the teacher and starts a
// 60-second countdown on the button; the teacher either opens the student's microphone (the button becomes
// "Close") or the countdown runs out (the hand goes down and the teacher is told). When the teacher leaves without
// ending the lesson, the microphone closes after the launch's teacher-left time unless the teacher comes back.
// sigSetMicphoneEnable tells the room when the student's microphone must open or close. It drives the button
// without owning it; the room deletes the controller first.
class RaiseHandCtrl : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCountdownTicks = 60;
    static constexpr int kTickMs = 1000;

    explicit RaiseHandCtrl(QObject* parent = nullptr);
    ~RaiseHandCtrl() override;

    // Takes the button and listens to the teacher's microphone and leave messages; true.
    bool connectClassMessages(RaiseHandWidget_Out* widget);
    // Takes the button: hand down, enabled; its clicks come here; true.
    bool setWidget(RaiseHandWidget_Out* widget);

    // Ends a countdown; opens (the "Close" button) or closes (the "Raise" button) the microphone.
    void openMicrophone();
    void closeMicrophone();
    void startRaiseHandCountdown();
    void stopRaiseHandCountdown();
    void openTimer4TeacherTemporaryLeave();
    void stopTimer4TeacherTemporaryLeave();

signals:
    void sigSetMicphoneEnable(bool on);

public slots:
    void onUi_clickedRaiseHand(BtnIconType btnIconType);
    void onReceiveMsgTeacherOpenStudentMicrophone(int nTeacherID, int nStudentID);
    void onReceiveMsgTeacherStopStudentMicrophone(int nTeacherID, int nStudentID);
    void onReceiveMsgTeacherLeaveClass(int nTeacherID, bool bStopClass);
    void onReceiveMsgTeacherEnterClass(int nTeacherID);
    void onTimerOut4RaisingHand();
    void onTimerOut4TeacherTemporaryLeave();

private:
    static void releaseTimer(QTimer*& timer);

    QPointer<RaiseHandWidget_Out> m_widget;
    QTimer* m_leaveTimer = nullptr;
    QTimer* m_countdownTimer = nullptr;
    int m_ticks = 0;
};
