#include "MessageCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace ZmTest {

namespace {

QMutex s_mutex;
QStringList s_messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    QMutexLocker locker(&s_mutex);
    s_messages.append(message);
}

} // namespace

MessageCapture::MessageCapture()
{
    {
        QMutexLocker locker(&s_mutex);
        s_messages.clear();
    }
    m_previous = qInstallMessageHandler(collect);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList MessageCapture::messages() const
{
    QMutexLocker locker(&s_mutex);
    return s_messages;
}

QString MessageCapture::text() const
{
    return messages().join('\n');
}

} // namespace ZmTest
