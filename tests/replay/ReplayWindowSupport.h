#pragma once

#include "replay/controllers/ReplayCtrl.h"
#include "web/ZmRouteManager.h"

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QWidget>

class QEvent;

namespace ZmTest {

// A replay controller that records what a window asks of it, and whose state and length the test sets.
class RecordingReplayCtrl : public ReplayCtrl
{
    Q_OBJECT

public:
    using ReplayCtrl::setState;

    // "play 1", "stop", "seek 1200 force" / "seek 1200 tick", in order.
    QStringList calls;

    bool init(QObject*, const ReplayMediaInfo*, const UserInfo*) override { return true; }
    void close() override { calls << QStringLiteral("close"); }
    ReplayMediaInfo& mediaInfo() override { return m_media; }
    void play(bool play) override { calls << QStringLiteral("play %1").arg(int(play)); }
    void stop() override { calls << QStringLiteral("stop"); }
    bool seek(uint posMs, bool force) override
    {
        calls << QStringLiteral("seek %1 %2").arg(posMs).arg(force ? "force" : "tick");
        return true;
    }

    // The calls since the last take.
    QStringList take()
    {
        const QStringList taken = calls;
        calls.clear();
        return taken;
    }

private:
    ReplayMediaInfo m_media;
};

// A window router that only records the window ends posted to it; the current router while it lives.
class RecordingRouter : public ZmRouteManager
{
public:
    QList<int> codes;

protected:
    bool event(QEvent* event) override;
};

// A window router with the replays' rows (ReplayRoutes) that records the end of the program instead of ending it.
class ReplayRowsRouter : public ZmRouteManager
{
public:
    QList<int> programEnds;

    ReplayRowsRouter();

    // Delivers a start status or a window end now.
    void post(QEvent* event);

protected:
    void endProgram(int exitCode) override { programEnds << exitCode; }
};

// The open top-level window of that class, or null.
template <typename Window> Window* topLevelWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget))
            return window;
    }
    return nullptr;
}

} // namespace ZmTest
