#pragma once

#include "Simulator.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>

// The class message engine connected to the simulator's message server, for the tests of the widgets that send
// and receive class messages.
class MessageServerFixture : public QObject
{
    Q_OBJECT

public:
    // Starts the simulator once; false with the reason in error().
    bool start();
    // Points the URL configuration at the simulator, clears its logs and connects a new engine; false when it
    // does not connect.
    bool connectEngine();
    // Destroys the engine.
    void disconnectEngine();
    ZmTest::Simulator& sim() { return m_sim; }
    QString error() const { return m_error; }

    // The JSON of the text frames the clients sent since the last connectEngine(), oldest first.
    QList<QJsonObject> sent();
    // Waits until at least count messages with that tag were sent (running the event loop); all with that tag.
    QList<QJsonObject> waitForSent(int tag, int count = 1, int timeoutMs = ZmTest::kWaitMs);
    // How many messages with that tag (all when 0) and, when given, sub-tag the client sent before this call, once
    // every one of them has reached the server: a marker message sent after them shows that none is still on its
    // way. -1 when the marker did not arrive.
    int sentSoFar(int tag = 0, const QString& subTag = QString());
    // Sends a message to the client as the server would.
    bool push(const QJsonObject& message);
    // Pushes a marker (a microphone opened for nobody) and waits until the client handled it: every message pushed
    // before has been handled then.
    bool handledSoFar();

public slots:
    void onSigMsgEngineConnectResult(int result);

private:
    ZmTest::Simulator m_sim;
    QList<int> m_results;
    int m_markers = 0;
    QString m_error;
};
