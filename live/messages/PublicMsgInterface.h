#pragma once

#include <QObject>

// The class messages every role receives. Created and owned by the message engine; reached through
// ClassMsgEngine::getPublicMsgInterface and gone with the engine.
class PublicMsgInterface : public QObject
{
    Q_OBJECT

public:
    explicit PublicMsgInterface(QObject* parent = nullptr);

signals:
    // A talk list was applied to the member map (talk states and orders): redraw who may talk.
    void sigStudentsTalkInfoChanged();
    // The teacher's microphone state ("teacherAudio"); the teacher receives the echo of its own command.
    void sigReceiveMsgTeacherMuteAudio(int nTeacherID, bool bMute);
};
