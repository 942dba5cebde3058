#pragma once

#include <QObject>

class QSocketNotifier;

namespace Platform {

// Brings SIGTERM, SIGINT and SIGHUP into the event loop (handExitSignalsTo, ExitSignals.h): the first of them is
// emitted as exitSignal() on the thread that made the notifier. The process then ends by itself graceMs after the
// signal at the latest, and a second signal ends it at once. One notifier at a time; signals are no longer
// handed over once it is gone.
class ExitSignalNotifier : public QObject
{
    Q_OBJECT

public:
    explicit ExitSignalNotifier(int graceMs, QObject* parent = nullptr);
    ~ExitSignalNotifier() override;

    // False when the notifier could not be set up: these signals then end the program at once, as before.
    bool isListening() const { return m_notifier != nullptr; }

signals:
    void exitSignal(int signalNumber);

private:
    void readSignal();

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace Platform
