#pragma once

#include "Simulator.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// The class service simulator set up for the feedback calls.
namespace FeedbackSimulator {

// Starts the simulator and points the URL configuration at it; false (with a warning) when it cannot start.
bool start(ZmTest::Simulator& simulator);

// The next issue-list replies are this JSON object (every call until the routes are cleared).
bool programIssues(ZmTest::Simulator& simulator, const QJsonObject& reply, int status = 200);

// The next submissions (times of them, 0 every one until the routes are cleared) are answered with status and body.
bool programSubmissionReply(ZmTest::Simulator& simulator, const QByteArray& body, int status = 200, int times = 0);

// The parameter pairs of the submissions logged since the last clear, oldest first.
QList<QList<QPair<QString, QString>>> submissions(ZmTest::Simulator& simulator);

// The value of key in pairs; a null string when it is missing.
QString valueOf(const QList<QPair<QString, QString>>& pairs, const QString& key);

} // namespace FeedbackSimulator
