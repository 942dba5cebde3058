#include "app/startup/LinkServer.h"

#include "app/AppLinks.h"
#include "app/OptionSecrets.h"
#include "platform/PeerCredentials.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QFileOpenEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kClientIdleMs = 5000;
constexpr int kRetryPauseMs = 100;

// One answer per connection: the line is written and the connection ends.
void answer(QLocalSocket* socket, const char* line)
{
    socket->write(line);
    socket->disconnectFromServer();
}

void refuseTooLong(QLocalSocket* socket)
{
    qWarning() << "LinkServer::readLine a line longer than" << LinkServer::kMaxLinkBytes << "bytes is refused";
    answer(socket, "no\n");
}

} // namespace

LinkServer::LinkServer(QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &LinkServer::onNewConnection);
}

LinkServer::~LinkServer() = default;

bool LinkServer::listen(const QString& path)
{
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        qWarning().noquote() << "LinkServer::listen cannot listen on" << path << ":" << m_server->errorString();
        return false;
    }
    qInfo().noquote() << "LinkServer::listen links of later starts arrive on" << path;
    return true;
}

QString LinkServer::errorString() const
{
    return m_server->errorString();
}

void LinkServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        QString error;
        if (!Platform::isPeerOfThisUser(socket->socketDescriptor(), &error)) {
            qWarning().noquote() << "LinkServer::onNewConnection a connection is refused:" << error;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readLine(socket); });
        // A client that never finishes its line is dropped.
        QTimer::singleShot(kClientIdleMs, socket, [socket] { socket->abort(); });
        readLine(socket);
    }
}

void LinkServer::readLine(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLinkBytes)
            refuseTooLong(socket);
        return;
    }
    const QByteArray line = socket->readLine(kMaxLinkBytes + 2);
    if (!line.endsWith('\n')) {
        refuseTooLong(socket);
        return;
    }
    const QString link = QString::fromUtf8(line).trimmed();
    if (!isAppLink(link)) {
        qWarning().noquote() << "LinkServer::readLine not a link of the program:"
                             << maskOptionSecrets(link, OptionTextKind_Argument | OptionTextKind_AppLink).left(200);
        answer(socket, "no\n");
        return;
    }
    qInfo().noquote() << "LinkServer::readLine link from a later start:"
                      << maskOptionSecrets(link, OptionTextKind_Link);
    QCoreApplication::postEvent(QCoreApplication::instance(), new QFileOpenEvent(QUrl(link)));
    answer(socket, "ok\n");
}

bool forwardLinkToRunningCopy(const QString& path, const QString& link, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    const auto remaining = [&] { return int(qMax<qint64>(0, timeoutMs - elapsed.elapsed())); };

    QLocalSocket socket;
    // The running copy may hold the lock but not listen yet: try again until the time is up.
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(remaining()))
            break;
        if (remaining() < kRetryPauseMs) {
            qWarning().noquote() << "forwardLinkToRunningCopy cannot reach the running copy at" << path << ":"
                                 << socket.errorString();
            return false;
        }
        socket.abort();
        QThread::msleep(kRetryPauseMs);
    }

    // Whoever listens there gets the link and its one-time token: only a copy of this user may.
    QString error;
    if (!Platform::isPeerOfThisUser(socket.socketDescriptor(), &error)) {
        qWarning().noquote() << "forwardLinkToRunningCopy the link is not sent to" << path << ":" << error;
        socket.abort();
        return false;
    }
    socket.write(link.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(remaining())) {
        qWarning().noquote() << "forwardLinkToRunningCopy cannot send the link:" << socket.errorString();
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(remaining())) {
            qWarning().noquote() << "forwardLinkToRunningCopy no answer from the running copy:" << socket.errorString();
            return false;
        }
    }
    const QByteArray answer = socket.readLine().trimmed();
    socket.disconnectFromServer();
    if (answer != "ok") {
        qWarning().noquote() << "forwardLinkToRunningCopy the running copy refused the link";
        return false;
    }
    return true;
}
