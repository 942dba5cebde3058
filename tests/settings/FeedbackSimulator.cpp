#include "FeedbackSimulator.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

namespace FeedbackSimulator {

bool start(ZmTest::Simulator& simulator)
{
    if (!simulator.start()) {
        qWarning() << "FeedbackSimulator::start" << simulator.errorString();
        return false;
    }
    simulator.pointUrlConfig();
    return true;
}

bool programIssues(ZmTest::Simulator& simulator, const QJsonObject& reply, int status)
{
    ZmTest::Simulator::Route route;
    route.path = QStringLiteral("/quillo/entrance");
    route.params.insert(QStringLiteral("FuncTag"), QStringLiteral("10000300"));
    route.status = status;
    route.body = QJsonDocument(reply).toJson(QJsonDocument::Compact);
    return simulator.program(route) > 0;
}

bool programSubmissionReply(ZmTest::Simulator& simulator, const QByteArray& body, int status, int times)
{
    ZmTest::Simulator::Route route;
    route.path = QStringLiteral("/quillo/entrance");
    route.params.insert(QStringLiteral("FuncTag"), QStringLiteral("10000301"));
    route.status = status;
    route.body = body;
    route.times = times;
    return simulator.program(route) > 0;
}

QList<QList<QPair<QString, QString>>> submissions(ZmTest::Simulator& simulator)
{
    QList<QList<QPair<QString, QString>>> found;
    const QJsonArray entries = simulator.numberedRequests(QStringLiteral("10000301"));
    for (const QJsonValue& value : entries)
        found.append(ZmTest::Simulator::pairsOf(value.toObject().value(QStringLiteral("params"))));
    return found;
}

QString valueOf(const QList<QPair<QString, QString>>& pairs, const QString& key)
{
    for (const auto& pair : pairs) {
        if (pair.first == key)
            return pair.second;
    }
    return QString();
}

} // namespace FeedbackSimulator
