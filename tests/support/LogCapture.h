#pragma once

#include "WaitUntil.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

namespace ZmTest {

// Collects every message logged while it lives, from any thread, instead of printing it; a message that arrives
// while it goes is dropped, never written into a capture that is gone. One at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    // The lines logged at one level.
    QStringList lines(QtMsgType type) const;
    // The lines joined with "\n".
    QString text() const;
    // The lines that contain needle, in order.
    QStringList linesContaining(const QString& needle) const;
    // The rest of each line after the first occurrence of marker, for the lines that hold it.
    QStringList linesAfter(const QString& marker) const;
    void clear();

    // Runs the event loop until count lines contain needle; false (with a warning listing the last lines) after
    // timeoutMs.
    bool waitFor(const QString& needle, int count = 1, int timeoutMs = kWaitMs) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    static LogCapture* s_active;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
    QVector<QtMsgType> m_types;
};

} // namespace ZmTest
