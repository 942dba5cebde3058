#include "MessageCapture.h"

#include <QMutex>
#include <QVector>

namespace ZmTest {

namespace {

struct Captured
{
    QtMsgType type;
    QString text;
};

QMutex s_mutex;
QVector<Captured> s_messages;

void collect(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    QMutexLocker locker(&s_mutex);
    s_messages.append(Captured{type, message});
}

} // namespace

MessageCapture::MessageCapture()
{
    QMutexLocker locker(&s_mutex);
    s_messages.clear();
    m_previous = qInstallMessageHandler(&collect);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList MessageCapture::messages() const
{
    QMutexLocker locker(&s_mutex);
    QStringList texts;
    for (const Captured& message : s_messages)
        texts << message.text;
    return texts;
}

QStringList MessageCapture::messages(QtMsgType type) const
{
    QMutexLocker locker(&s_mutex);
    QStringList texts;
    for (const Captured& message : s_messages) {
        if (message.type == type)
            texts << message.text;
    }
    return texts;
}

bool MessageCapture::contains(const QString& text) const
{
    const QStringList texts = messages();
    for (const QString& message : texts) {
        if (message.contains(text))
            return true;
    }
    return false;
}

} // namespace ZmTest
