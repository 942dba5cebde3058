#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ZmTest {

// Collects the log messages written on any thread while it lives, in their order, and puts the previous message
// handler back when it ends. One capture at a time.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();

    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList messages() const;
    // The messages joined with "\n".
    QString text() const;

private:
    QtMessageHandler m_previous = nullptr;
};

} // namespace ZmTest
