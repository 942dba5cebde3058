#pragma once

#include <QObject>

class PublicMsgInterface;
class StudentMsgInterface;
class TeacherMsgInterface;

// The class message engine: the one connection of the client to the class message server during a live class,
// through which rooms and widgets send and receive class messages (the public, student and teacher interfaces).
// A process-wide instance, created by whoever links the class (createInstance) and destroyed by the room that
// ends it (destroyInstance). GUI thread only.
class ClassMsgEngine : public QObject
{
    Q_OBJECT

public:
    // The engine, created and connecting when none exists: a websocket engine on the URL configuration's
    // class-message address. receiver's slot (signature text, with or without SLOT()'s code; for example
    // "1onSigMsgEngineConnectResult(int)") gets the result of this first connect attempt (sigMsgEngineInitResult),
    // never inside a socket signal. When an engine exists it is returned as it is and receiver is not connected.
    // Null when the engine could not start (no usable address, or no such slot).
    static ClassMsgEngine* createInstance(QObject* receiver, const char* slot);
    // Closes the connection (code 1000) and deletes the engine; no result or message signal follows. Safe to call
    // from a slot the engine called.
    static void destroyInstance();
    // The engine, or null.
    static ClassMsgEngine* instance();
    // The engine's interfaces; null (logged) when no engine exists.
    static PublicMsgInterface* getPublicMsgInterface();
    static StudentMsgInterface* getStudentMsgInterface();
    static TeacherMsgInterface* getTeacherMsgInterface();

    // The last connect result: 0 connected, -2 closed before it connected, -3 timed out.
    virtual int getInitResult() const = 0;
    // Connects again (queued), also when the connection looks alive; attempts start at least 5 s apart, and a
    // request during an attempt joins it. Every later result is handled by the engine itself: it keeps trying,
    // and announces the user again once connected.
    virtual void tryReConnect() = 0;

signals:
    // The result of a connect attempt, once per attempt: 0 connected, -2 closed before it connected, -3 timed out.
    void sigMsgEngineInitResult(int bResult);

protected:
    explicit ClassMsgEngine(QObject* parent = nullptr);

    static ClassMsgEngine* s_pSingleton;
};
