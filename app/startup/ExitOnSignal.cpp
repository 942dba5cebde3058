#include "app/startup/ExitOnSignal.h"

#include "app/RunLog.h"
#include "live/frames/WebVideoViewHelper.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCoreApplication>
#include <QDebug>

#include <cstring>

ExitOnSignal::ExitOnSignal()
    : m_notifier(kGraceMs)
{
    connect(&m_notifier, &Platform::ExitSignalNotifier::exitSignal, this, &ExitOnSignal::onExitSignal);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ExitOnSignal::onLoopEnded);
    if (!m_notifier.isListening())
        qWarning() << "ExitOnSignal cannot watch for exit signals; they end the program at once";
}

int ExitOnSignal::exitCode(int loopResult) const
{
    return m_signal ? 128 + m_signal : loopResult;
}

void ExitOnSignal::onExitSignal(int signalNumber)
{
    if (m_signal)
        return;
    m_signal = signalNumber;
    qWarning().noquote() << "ExitOnSignal signal" << signalNumber << QString::fromLocal8Bit(strsignal(signalNumber))
                         << "- the program ends with" << exitCode(0);
    WebVideoViewHelper::unlinkHeldSections();
    RunLog::flush();
    // Ends the nested loops of dialogs and waits too; the room closes once they have all returned.
    QCoreApplication::exit(exitCode(0));
}

void ExitOnSignal::onLoopEnded()
{
    if (!m_signal)
        return;
    Whiteboard::skipStopAllWait();
    if (ZmRouteManager* router = ZmRouteManager::current())
        router->closeForExit();
    qInfo() << "ExitOnSignal the windows are closed; the program exits with" << exitCode(0);
    RunLog::flush();
}
