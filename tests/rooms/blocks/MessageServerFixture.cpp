#include "MessageServerFixture.h"

#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/StudentMsgInterface.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A tag no class message uses: the markers of sentSoFar.
constexpr int kMarkerTag = 99990001;

} // namespace

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
    if (!QTest::qWaitFor([this] { return !m_results.isEmpty(); }, ZmTest::kWaitMs) || m_results.first() != 0) {
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

int MessageServerFixture::sentSoFar(int tag, const QString& subTag)
{
    const int marker = ++m_markers;
    if (ClassMsgEngine_Imp::postToInstance(kMarkerTag, {{QStringLiteral("marker"), marker}}) != 0)
        return -1;
    int before = 0;
    const bool arrived = ZmTest::waitUntil(
        [&] {
            before = 0;
            for (const QJsonObject& message : sent()) {
                const int messageTag = message.value(QStringLiteral("messageTag")).toInt();
                if (messageTag == kMarkerTag && message.value(QStringLiteral("marker")).toInt() == marker)
                    return true;
                if (messageTag != kMarkerTag && (tag == 0 || messageTag == tag) &&
                    (subTag.isEmpty() || message.value(QStringLiteral("subTag")).toString() == subTag))
                    ++before;
            }
            return false;
        },
        ZmTest::kWaitMs, 20);
    return arrived ? before : -1;
}

bool MessageServerFixture::push(const QJsonObject& message)
{
    return m_sim.pushMessage(QJsonObject{{QStringLiteral("json"), message}}) >= 1;
}

bool MessageServerFixture::handledSoFar()
{
    StudentMsgInterface* student = ClassMsgEngine::getStudentMsgInterface();
    if (!student)
        return false;
    QSignalSpy opened(student, &StudentMsgInterface::sigReceiveMsgTeacherOpenStudentMicrophone);
    const int marker = -1000 - ++m_markers;
    if (!push(QJsonObject{{QStringLiteral("messageTag"), 20020002},
                          {QStringLiteral("teacherId"), marker},
                          {QStringLiteral("userId"), marker}}))
        return false;
    return ZmTest::waitUntil([&opened, marker] {
        for (const QList<QVariant>& call : opened) {
            if (call.value(1).toInt() == marker)
                return true;
        }
        return false;
    });
}

void MessageServerFixture::onSigMsgEngineConnectResult(int result)
{
    m_results << result;
}
