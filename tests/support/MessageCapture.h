#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ZmTest {

// Collects every Qt log message (from any thread) while it lives, for tests that check what is logged and what
// is not. One at a time.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();

    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList messages() const;
    // All messages joined by line feeds.
    QString all() const { return messages().join('\n'); }
    // True when a message contains text.
    bool contains(const QString& text) const;
    // The messages of one level.
    QStringList messages(QtMsgType type) const;

private:
    QtMessageHandler m_previous = nullptr;
};

} // namespace ZmTest
