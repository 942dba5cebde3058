#include "Simulator.h"

#include <QUrlQuery>

namespace ZmTest {

namespace {

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString Simulator::messageServerUrl() const
{
    return QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_port);
}

QJsonArray Simulator::messageFrames(const QString& kind, int sinceSeq)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("since"), QString::number(sinceSeq));
    if (!kind.isEmpty())
        query.addQueryItem(QStringLiteral("kind"), kind);
    return control("GET", QStringLiteral("/_control/messages/frames?") + query.toString(QUrl::FullyEncoded))
        .object()
        .value("frames")
        .toArray();
}

QJsonArray Simulator::waitForMessageFrames(int count, const QString& kind, int timeoutMs, int sinceSeq)
{
    return pollFor(count, timeoutMs, [&] { return messageFrames(kind, sinceSeq); });
}

QJsonArray Simulator::messageConnections(const QString& state)
{
    QString target = QStringLiteral("/_control/messages/connections");
    if (!state.isEmpty())
        target += QStringLiteral("?state=") + state;
    return control("GET", target).object().value("connections").toArray();
}

QJsonArray Simulator::waitForMessageConnections(int count, const QString& state, int timeoutMs)
{
    return pollFor(count, timeoutMs, [&] { return messageConnections(state); });
}

int Simulator::pushMessage(const QJsonObject& message)
{
    int status = 0;
    const QJsonDocument reply = control("POST", QStringLiteral("/_control/messages/push"), compact(message), &status);
    return status == 200 ? reply.object().value("sent").toInt(-1) : -1;
}

bool Simulator::queueMessageFault(const QJsonObject& fault)
{
    return controlOk("POST", QStringLiteral("/_control/messages/faults"), compact(fault));
}

int Simulator::closeMessageConnections(int code)
{
    int status = 0;
    const QJsonDocument reply =
        control("POST", QStringLiteral("/_control/messages/close"), compact(QJsonObject{{"code", code}}), &status);
    return status == 200 ? reply.object().value("closed").toInt(-1) : -1;
}

bool Simulator::loadMessageScenario(const QJsonObject& scenario)
{
    return controlOk("POST", QStringLiteral("/_control/messages/scenario"), compact(scenario));
}

} // namespace ZmTest
