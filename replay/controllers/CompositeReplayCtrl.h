#pragma once

#include "replay/controllers/ReplayCtrl.h"

#include <array>

class ClassReplayDlg;
class VlcReplayCtrl;
class WhiteboardReplayCtrl;
struct LaunchInfo;

// What the two composite replay controllers share: a replay window, the whiteboard controller on its page and up
// to two video controllers (teacher, student) on its tiles, all owned. Play, stop and seek reach every child; the
// children's states fold into the composite's own, which the window follows:
//   1, 3 and 7 from any child are taken at once;
//   2 once the whiteboard and every video are ready, with the length of the replay the latest end of a video;
//   8 once every child may continue;
//   anything else changes nothing.
// The window's close ends the replay clock before the children close, the whiteboard last (it blocks for about
// two seconds). GUI thread only.
class CompositeReplayCtrl : public ReplayCtrl
{
    Q_OBJECT

public:
    ~CompositeReplayCtrl() override;

    void close() override;
    // start 0; duration the length of the replay once ready.
    ReplayMediaInfo& mediaInfo() override { return m_media; }
    void play(bool play) override;
    void stop() override;
    // Always true, whatever the children answer.
    bool seek(uint posMs, bool force) override;

    ClassReplayDlg* window() const { return m_window; }
    WhiteboardReplayCtrl* whiteboardCtrl() const { return m_whiteboardCtrl; }
    VlcReplayCtrl* teacherVideoCtrl() const { return m_teacherVideoCtrl; }
    VlcReplayCtrl* studentVideoCtrl() const { return m_studentVideoCtrl; }

    // A medium's place on the timeline from the launch record's texts: start and length read as decimal
    // numbers, 0 when they are not.
    static ReplayMediaInfo mediaRecord(const QString& url, const QString& start, const QString& duration);
    static ReplayMediaInfo teacherMedia(const LaunchInfo& launch);
    static ReplayMediaInfo studentMedia(const LaunchInfo& launch);

public slots:
    void onChildReplayCtrlStateChanged(ReplayCtrl* pCtrl, ReplayerState state);

protected:
    explicit CompositeReplayCtrl(QObject* parent);

    // Follows the child's state.
    void adopt(ReplayCtrl* child);

    ClassReplayDlg* m_window = nullptr;
    WhiteboardReplayCtrl* m_whiteboardCtrl = nullptr;
    VlcReplayCtrl* m_teacherVideoCtrl = nullptr;
    VlcReplayCtrl* m_studentVideoCtrl = nullptr;
    ReplayMediaInfo m_media;

private:
    // The whiteboard, teacher and student controllers, in the order they are driven; null where there is none.
    std::array<ReplayCtrl*, 3> children() const;
    // Whether the whiteboard and every video are in state.
    bool allChildrenAt(ReplayerState state) const;
    // The latest end (start + duration, unsigned) among the videos; 0 without one.
    quint32 latestVideoEnd() const;
};
