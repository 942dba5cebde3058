#include "MessageServerFixture.h"

#include "live/messages/ClassMsgEngine.h"

#include <QTest>

bool MessageServerFixture::start()
{
    if (m_sim.isRunning())
        return true;
    if (!m_sim.start()) {
        m_error = m_sim.errorString();
        return false;
    }
    return true;
}

bool MessageServerFixture::connectEngine()
{
    disconnectEngine();
    if (!m_sim.reset())
        return false;
    m_sim.pointUrlConfig();
    m_results.clear();
    if (!ClassMsgEngine::createInstance(this, "1onSigMsgEngineConnectResult(int)")) {
        m_error = QStringLiteral("the engine did not start");
        return false;
    }
    if (!QTest::qWaitFor([this] { return !m_results.isEmpty(); }, 10000) || m_results.first() != 0) {
        m_error = QStringLiteral("the engine did not connect");
        return false;
    }
    return true;
}

void MessageServerFixture::disconnectEngine()
{
    ClassMsgEngine::destroyInstance();
}

QList<QJsonObject> MessageServerFixture::sent()
{
    QList<QJsonObject> messages;
    for (const QJsonValue& frame : m_sim.messageFrames(QStringLiteral("text")))
        messages << frame.toObject().value(QStringLiteral("json")).toObject();
    return messages;
}

QList<QJsonObject> MessageServerFixture::waitForSent(int tag, int count, int timeoutMs)
{
    QList<QJsonObject> tagged;
    // What there is when the time runs out is the answer too.
    (void)QTest::qWaitFor(
        [&] {
            tagged.clear();
            for (const QJsonObject& message : sent()) {
                if (message.value(QStringLiteral("messageTag")).toInt() == tag)
                    tagged << message;
            }
            return tagged.size() >= count;
        },
        timeoutMs);
    return tagged;
}

bool MessageServerFixture::push(const QJsonObject& message)
{
    return m_sim.pushMessage(QJsonObject{{QStringLiteral("json"), message}}) >= 1;
}

void MessageServerFixture::onSigMsgEngineConnectResult(int result)
{
    m_results << result;
}
