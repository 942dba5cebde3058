#pragma once

#include "live/messages/ClassMsgEngine_Imp.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>

class QWebSocket;

// The message engine over a websocket (protocol version 13): a 5 s limit on each connect attempt, a ping every
// 15 s once connected and a 5 s wait for its pong, reconnects on a missing pong or on request, without limit but
// at least 5 s apart, and the user announced again after each reconnect. Connection faults are filed as problem
// reports (type 2) without blocking. Each connect attempt gives exactly one result, delivered from the event loop
// and never after a newer attempt started or the engine was uninitialised.
class ClassMsgEngine_WebSocket : public ClassMsgEngine_Imp
{
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kHeartbeatMs = 15000;
    static constexpr int kPongTimeoutMs = 5000;
    static constexpr int kMinAttemptGapMs = 5000;

    explicit ClassMsgEngine_WebSocket(const QString& url, QObject* parent = nullptr);
    ~ClassMsgEngine_WebSocket() override;

    int getInitResult() const override { return m_initResult; }
    void tryReConnect() override;

    // Creates the socket and opens it; false when the address is not a ws:// or wss:// address or the slot does
    // not exist.
    bool init(QObject* receiver, const char* slot) override;
    // Closes the socket with code 1000 (it deletes itself once closed), stops every timer and drops any result or
    // reconnect still to come, then deletes the interfaces.
    void uninit() override;
    // One text frame of the message as compact JSON; 0 when all of it was sent, -1 when the socket is not open.
    int postMsg(const QVariantMap& message) override;

private slots:
    void _tryReConnect();
    void on_websocket_connected();
    void on_websocket_aboutToClose();
    void on_websocket_disconnected();
    void on_websocket_connected_timeout();
    void onReConnectResult(int code);
    void onReceiveMsg(QString text);
    void on_websocket_received_binary(QByteArray message);
    void on_websocket_received_text(QString message);
    void heartbeat();
    void heartbeatTimeout();
    void on_websocket_received_pong(qulonglong elapsedTime, QByteArray payload);

private:
    bool openWebSocket(QObject* receiver, const char* slot);
    // Ends the attempt under way with its result (once); the result is emitted from the event loop.
    void setInitResult(int code);
    void deliverInitResult(quint64 attempt, int code);
    // The connection that was open is gone.
    void onConnectionLost(bool aboutToClose);
    // Closes the socket's current connection, if any, without its signals reaching the engine.
    void dropConnection();
    void report(const char* remark);

    QString m_url;
    QWebSocket* m_socket = nullptr;
    int m_initResult = 0;
    std::atomic<bool> m_opening{false}; // an attempt is under way: no result yet
    QTimer m_connectTimer;
    QTimer m_heartbeatTimer;
    QTimer m_pongTimer;

    QTimer m_attemptPacer; // holds a reconnect back until kMinAttemptGapMs after the last attempt began
    QElapsedTimer m_lastAttemptStart;
    quint64 m_attempt = 0;           // counts attempts; a result of an older one is not delivered
    bool m_connected = false;        // the current attempt connected and the connection is still there
    bool m_selfReconnecting = false; // results go to onReConnectResult
};
