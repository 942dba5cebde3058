#include "live/messages/ClassMsgEngine_WebSocket.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "live/messages/ClassMsgEnvelope.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"
#include "net/http/SecretMask.h"

#include <QDebug>
#include <QSignalBlocker>
#include <QThread>
#include <QUrl>
#include <QWebSocket>

namespace {

// Sent texts are logged up to this many characters.
constexpr int kLogExcerptChars = 4096;
// A socket closed by uninit that has not let go after this long is aborted.
constexpr int kCloseGraceMs = 5000;

constexpr int kResultConnected = 0;
constexpr int kResultClosed = -2;
constexpr int kResultTimedOut = -3;

QString threadIdText()
{
    return QString::number(quintptr(QThread::currentThreadId()), 16);
}

// A slot's signature text with SLOT()'s code in front, which callers may leave out.
QByteArray slotSignature(const char* slot)
{
    const QByteArray text(slot);
    if (!text.isEmpty() && text.at(0) >= '0' && text.at(0) <= '2')
        return text;
    return QByteArray::number(QSLOT_CODE) + text;
}

bool isSocketAddress(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("ws") || url.scheme() == QLatin1String("wss"));
}

} // namespace

ClassMsgEngine_WebSocket::ClassMsgEngine_WebSocket(const QString& url, QObject* parent)
    : ClassMsgEngine_Imp(parent)
    , m_url(url)
{
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &ClassMsgEngine_WebSocket::on_websocket_connected_timeout);
    m_heartbeatTimer.setInterval(kHeartbeatMs);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, &ClassMsgEngine_WebSocket::heartbeat);
    m_pongTimer.setSingleShot(true);
    m_pongTimer.setInterval(kPongTimeoutMs);
    connect(&m_pongTimer, &QTimer::timeout, this, &ClassMsgEngine_WebSocket::heartbeatTimeout);
    m_attemptPacer.setSingleShot(true);
    m_attemptPacer.setTimerType(Qt::PreciseTimer);
    connect(&m_attemptPacer, &QTimer::timeout, this, &ClassMsgEngine_WebSocket::_tryReConnect);
}

ClassMsgEngine_WebSocket::~ClassMsgEngine_WebSocket()
{
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        delete m_socket;
    }
}

bool ClassMsgEngine_WebSocket::init(QObject* receiver, const char* slot)
{
    if (!ClassMsgEngine_Imp::init(receiver, slot))
        return false;
    if (!isSocketAddress(QUrl(m_url))) {
        qWarning().noquote() << "ClassMsgEngine_WebSocket::init not a websocket address:" << m_url;
        return false;
    }

    qInfo() << "ClassMsgEngine_WebSocket::init2 - new QWebSocket()";
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::Version13);
    connect(m_socket, &QWebSocket::aboutToClose, this, &ClassMsgEngine_WebSocket::on_websocket_aboutToClose);
    connect(m_socket, &QWebSocket::connected, this, &ClassMsgEngine_WebSocket::on_websocket_connected);
    connect(m_socket, &QWebSocket::disconnected, this, &ClassMsgEngine_WebSocket::on_websocket_disconnected);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this,
            &ClassMsgEngine_WebSocket::on_websocket_received_binary);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &ClassMsgEngine_WebSocket::on_websocket_received_text);
    connect(m_socket, &QWebSocket::pong, this, &ClassMsgEngine_WebSocket::on_websocket_received_pong);
    connect(m_socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            [this](QAbstractSocket::SocketError error) {
                qWarning().noquote() << "ClassMsgEngine_WebSocket socket error" << int(error)
                                     << (m_socket ? m_socket->errorString() : QString());
            });
    return openWebSocket(receiver, slot);
}

void ClassMsgEngine_WebSocket::uninit()
{
    qInfo() << "ClassMsgEngine_WebSocket::uninit";
    ++m_attempt; // results and reconnects still queued are dropped
    disconnect(this, nullptr, this, nullptr);
    m_heartbeatTimer.stop();
    m_pongTimer.stop();
    m_connectTimer.stop();
    m_attemptPacer.stop();
    m_opening = false;
    m_connected = false;
    m_selfReconnecting = false;

    if (m_socket) {
        QWebSocket* socket = m_socket;
        m_socket = nullptr;
        disconnect(socket, nullptr, this, nullptr);
        if (socket->state() == QAbstractSocket::ConnectedState) {
            connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
            socket->close(QWebSocketProtocol::CloseCodeNormal, QString());
            QTimer::singleShot(kCloseGraceMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
        } else {
            // No close handshake before the opening one is done.
            socket->abort();
            socket->deleteLater();
        }
    }
    ClassMsgEngine_Imp::uninit();
}

int ClassMsgEngine_WebSocket::postMsg(const QVariantMap& message)
{
    if (!m_socket)
        return -1;
    const QByteArray json = serializeClassMsg(message);
    qInfo().noquote() << "WebSocket::postMsg -> " << SecretMask::logExcerpt(QString::fromUtf8(json), kLogExcerptChars);
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        qWarning() << "WebSocket::postMsg Failed = not connected," << m_socket->state();
        return -1;
    }
    const qint64 sent = m_socket->sendTextMessage(QString::fromUtf8(json));
    if (sent == json.size()) {
        qInfo() << "WebSocket::postMsg Succed = " << sent;
        return 0;
    }
    qWarning().noquote() << "WebSocket::postMsg Failed = " << m_socket->errorString();
    return -1;
}

void ClassMsgEngine_WebSocket::tryReConnect()
{
    qInfo() << "wesocket tryReConnect";
    QMetaObject::invokeMethod(this, "_tryReConnect", Qt::QueuedConnection);
}

void ClassMsgEngine_WebSocket::_tryReConnect()
{
    if (!m_socket || m_opening)
        return;
    if (m_lastAttemptStart.isValid()) {
        const qint64 since = m_lastAttemptStart.elapsed();
        if (since < kMinAttemptGapMs) {
            if (!m_attemptPacer.isActive()) {
                qInfo() << "ClassMsgEngine_WebSocket next attempt in" << kMinAttemptGapMs - since << "ms";
                m_attemptPacer.start(int(kMinAttemptGapMs - since));
            }
            return;
        }
    }
    m_attemptPacer.stop();
    m_selfReconnecting = true;
    openWebSocket(this, SLOT(onReConnectResult(int)));
}

bool ClassMsgEngine_WebSocket::openWebSocket(QObject* receiver, const char* slot)
{
    if (m_opening)
        return true;
    if (!m_socket) {
        qWarning() << "__except : open_WebSocket_WithURL !!! ";
        return false;
    }
    disconnect(this, SIGNAL(sigMsgEngineInitResult(int)), nullptr, nullptr);
    if (receiver && slot &&
        !connect(this, SIGNAL(sigMsgEngineInitResult(int)), receiver, slotSignature(slot).constData())) {
        qWarning() << "ClassMsgEngine_WebSocket::openWebSocket no such receiver slot:" << slot;
        return false;
    }

    qInfo().noquote() << "Open WebSocket:" << m_url;
    dropConnection();
    m_connected = false;
    m_heartbeatTimer.stop();
    m_pongTimer.stop();
    ++m_attempt;
    m_lastAttemptStart.start();
    m_opening = true;
    m_socket->open(QUrl(m_url));
    m_connectTimer.start();
    return true;
}

void ClassMsgEngine_WebSocket::dropConnection()
{
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        return;
    const QSignalBlocker blocker(m_socket);
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->close(QWebSocketProtocol::CloseCodeGoingAway);
    else
        m_socket->abort();
}

void ClassMsgEngine_WebSocket::setInitResult(int code)
{
    if (!m_opening)
        return;
    m_opening = false;
    m_connectTimer.stop();
    m_initResult = code;
    const quint64 attempt = m_attempt;
    QMetaObject::invokeMethod(
        this, [this, attempt, code] { deliverInitResult(attempt, code); }, Qt::QueuedConnection);
}

void ClassMsgEngine_WebSocket::deliverInitResult(quint64 attempt, int code)
{
    if (attempt != m_attempt) {
        qInfo() << "ClassMsgEngine_WebSocket result" << code << "of an earlier attempt dropped";
        return;
    }
    const BusyScope busy(this);
    logEmitSignal("sigMsgEngineInitResult");
    emit sigMsgEngineInitResult(code);
}

void ClassMsgEngine_WebSocket::on_websocket_connected()
{
    qInfo() << "ClassMsgEngine_WebSocket::on_websocket_connected()";
    if (!m_opening) {
        qWarning() << "ClassMsgEngine_WebSocket connected after its attempt ended; dropped";
        dropConnection();
        return;
    }
    m_connected = true;
    setInitResult(kResultConnected);
    m_heartbeatTimer.start();
}

void ClassMsgEngine_WebSocket::on_websocket_aboutToClose()
{
    qInfo() << "ClassMsgEngine_WebSocket::on_websocket_aboutToClose()" << (m_socket ? int(m_socket->closeCode()) : 0);
    if (m_opening) {
        report("websocket_aboutToClose");
        setInitResult(kResultClosed);
        return;
    }
    onConnectionLost(true);
}

void ClassMsgEngine_WebSocket::on_websocket_disconnected()
{
    if (m_socket)
        qInfo() << "wesocket disconnected";
    // A refused or failed opening ends with the connect time-out.
    if (!m_opening)
        onConnectionLost(false);
}

void ClassMsgEngine_WebSocket::onConnectionLost(bool aboutToClose)
{
    if (!m_connected)
        return;
    m_connected = false;
    if (aboutToClose)
        report("websocket_aboutToClose");
    // Before the first reconnect the heartbeat notices the loss; afterwards the engine reconnects at once.
    if (m_selfReconnecting)
        tryReConnect();
}

void ClassMsgEngine_WebSocket::on_websocket_connected_timeout()
{
    qWarning() << "ClassMsgEngine_WebSocket::on_websocket_connected_timeout()";
    if (!m_opening)
        return;
    dropConnection(); // a handshake that completes late does not count
    setInitResult(kResultTimedOut);
    report("websocket_connected_timeout");
}

void ClassMsgEngine_WebSocket::onReConnectResult(int code)
{
    qInfo() << "ClassMsgEngine_WebSocket::onReConnectResult" << code;
    if (code != kResultConnected) {
        tryReConnect();
        return;
    }
    if (AppGlobalData::instance()->isTeacher()) {
        if (TeacherMsgInterface* teacher = teacherMsgInterface())
            teacher->sendEnterClass();
    } else if (StudentMsgInterface* student = studentMsgInterface()) {
        student->sendEnterClass();
    }
}

void ClassMsgEngine_WebSocket::onReceiveMsg(QString text)
{
    receiveText(text);
}

void ClassMsgEngine_WebSocket::on_websocket_received_binary(QByteArray message)
{
    qDebug() << "wesocket received binary";
    onReceiveMsg(QString::fromUtf8(message));
}

void ClassMsgEngine_WebSocket::on_websocket_received_text(QString message)
{
    qDebug() << "wesocket received text";
    onReceiveMsg(message);
}

void ClassMsgEngine_WebSocket::heartbeat()
{
    qDebug().noquote() << "websocket send ping,ThreadID : 0x" + threadIdText();
    if (!m_socket)
        return;
    // A connection that is already gone gets no ping; the pong time-out then reconnects.
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->ping(QByteArray());
        m_socket->flush();
    }
    m_pongTimer.start();
}

void ClassMsgEngine_WebSocket::heartbeatTimeout()
{
    qWarning() << "ClassMsgEngine_WebSocket::heartbeatTimeout()";
    m_heartbeatTimer.stop();
    m_pongTimer.stop();
    tryReConnect();
    report("WebSocket_heartbeat_Timeout");
}

void ClassMsgEngine_WebSocket::on_websocket_received_pong(qulonglong elapsedTime, QByteArray payload)
{
    Q_UNUSED(elapsedTime);
    Q_UNUSED(payload);
    m_pongTimer.stop();
    qDebug().noquote() << "websocket receive pong elapsed,ThreadID : 0x" + threadIdText();
}

void ClassMsgEngine_WebSocket::report(const char* remark)
{
    ProblemReportQueue::file(2, -1, QString::fromLatin1(remark), QStringLiteral("Websocket Error"));
}
