#pragma once

#include "live/messages/ClassMsgEngine.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QStringList>

// The receiver a room or class-entry step would be: records every connect result it is given, with the time since
// it was made, and may destroy the engine on a failed result as the class-entry step does.
class ResultReceiver : public QObject
{
    Q_OBJECT

public:
    ResultReceiver() { m_clock.start(); }

    QList<int> results;
    QList<qint64> resultTimes; // ms since construction
    bool destroyOnFailure = false;

    qint64 elapsed() const { return m_clock.elapsed(); }

public slots:
    void onSigMsgEngineConnectResult(int result)
    {
        results << result;
        resultTimes << m_clock.elapsed();
        if (result != 0 && destroyOnFailure)
            ClassMsgEngine::destroyInstance();
    }

private:
    QElapsedTimer m_clock;
};

// Every signal of the engine's three interfaces as one line each, "name(arguments)", in arrival order.
class InterfaceSignalLog : public QObject
{
    Q_OBJECT

public:
    QStringList lines;

    // Listens to the interfaces of the running engine.
    void attach();
};

// The application data of a lesson: pupil 100234 (or the given account type), teacher 300451, period
// 20240611093, three pupils in the member map.
void setUpLesson(int accountType = 1);

// A frame's JSON without its "messageId"; the id itself is checked to be a UUID without braces.
QJsonObject withoutMessageId(const QJsonObject& message, bool* idIsUuid = nullptr);
