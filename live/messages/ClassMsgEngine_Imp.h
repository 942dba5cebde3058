#pragma once

#include "live/messages/ClassMsgEngine.h"

#include <QString>
#include <QVariantMap>

class ClassMsgBodyView;
struct ReceivedClassMsg;

// The transport-independent part of the message engine: the three interfaces, the envelope of outgoing messages
// and the dispatcher of received ones.
class ClassMsgEngine_Imp : public ClassMsgEngine
{
    Q_OBJECT

public:
    ~ClassMsgEngine_Imp() override;

    // Creates the interfaces (student, teacher, public; children of the engine). A transport connects too and
    // reports its first result to receiver's slot.
    virtual bool init(QObject* receiver, const char* slot);
    // Deletes the public, student and teacher interfaces (later, from the event loop, while the engine is busy).
    virtual void uninit();
    // Sends one message; 0 sent, -1 not sent.
    virtual int postMsg(const QVariantMap& message) = 0;

    // buildEnvelope with a new message id.
    int post(int tag, const QVariantMap& body);
    // The envelope of the sending user and lesson around body (buildClassMsg), handed to postMsg.
    int buildEnvelope(const QString& messageId, int tag, const QVariantMap& body);
    // Acts on one received message (the message id is not used): signals of the interfaces, talk lists applied to
    // the member map, the teacher's answers to a pupil who entered. Unknown tags and sub-tags are ignored.
    void dispatchMsg(const QString& messageId, int tag, const QVariantMap& body);
    // The same for a parsed message, read in place.
    void dispatchReceived(const ReceivedClassMsg& message);

    PublicMsgInterface* publicMsgInterface() const { return m_publicInterface; }
    StudentMsgInterface* studentMsgInterface() const { return m_studentInterface; }
    TeacherMsgInterface* teacherMsgInterface() const { return m_teacherInterface; }

    // post on the process-wide engine; -1 (logged) when there is none.
    static int postToInstance(int tag, const QVariantMap& body);

    // True while the engine runs code that calls out (dispatching a message, delivering a result): deleting it
    // then must wait for the event loop.
    bool isBusy() const { return m_busyDepth > 0; }

protected:
    explicit ClassMsgEngine_Imp(QObject* parent = nullptr);

    // Parses one received text and dispatches it; text that is not a JSON object is logged and ignored.
    void receiveText(const QString& text);

    // Marks the engine busy while it lives (see isBusy).
    class BusyScope
    {
    public:
        explicit BusyScope(ClassMsgEngine_Imp* engine)
            : m_engine(engine)
        {
            ++m_engine->m_busyDepth;
        }
        ~BusyScope() { --m_engine->m_busyDepth; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        ClassMsgEngine_Imp* m_engine;
    };

private:
    void dispatch(int tag, const ClassMsgBodyView& body);
    void onUserEntered(const ClassMsgBodyView& body);
    void onUserLeft(const ClassMsgBodyView& body);
    void onTalkList(const ClassMsgBodyView& body);
    void onTeacherCommand(const ClassMsgBodyView& body);

    PublicMsgInterface* m_publicInterface = nullptr;
    StudentMsgInterface* m_studentInterface = nullptr;
    TeacherMsgInterface* m_teacherInterface = nullptr;
    int m_busyDepth = 0;
};
