#pragma once

class QObject;

// Removes every connection from the class message engine's teacher, student and public interfaces to receiver;
// nothing when no engine exists. Controllers call it in their destructors while the engine still exists.
void disconnectFromClassMessages(QObject* receiver);
