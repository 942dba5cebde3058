#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// Who sends a class message and in which lesson: what every outgoing envelope carries besides its tag.
struct ClassMsgSender
{
    QString token; // the exchanged token
    qint64 periodId = 0;
    int teacherId = 0; // the teacher record's user id; 0 when empty
    int role = -1;     // the wire role (ClassMsgRole)
    int userId = -1;   // the local user id; -1 when empty
};

// The sender of the running lesson: one lesson-context snapshot, and the teacher's record. GUI thread.
ClassMsgSender currentClassMsgSender();

// One outgoing message: "messageId" (messageId, or a new UUID without braces when it is empty), "messageTag",
// "token", "periodId", "teacherId", "role", "userId", "p" 6, then the body's members, which replace envelope
// members of the same name. Booleans become the numbers 0 and 1.
QVariantMap buildClassMsg(const QString& messageId, int tag, const QVariantMap& body, const ClassMsgSender& sender);

// The message as compact JSON (UTF-8).
QByteArray serializeClassMsg(const QVariantMap& message);
