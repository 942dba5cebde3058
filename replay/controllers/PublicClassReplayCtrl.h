#pragma once

#include "replay/controllers/CompositeReplayCtrl.h"

class PublicClassReplayDlg;

// Plays back a public lesson: the whiteboard replay with the teacher's video ("--media1") in the window
// PublicClassReplayDlg, which it makes and owns.
class PublicClassReplayCtrl : public CompositeReplayCtrl
{
    Q_OBJECT

public:
    explicit PublicClassReplayCtrl(QObject* parent = nullptr);
    ~PublicClassReplayCtrl() override;

    // The arguments are not used. Makes and shows the window first; then a first medium without an address or
    // length, or a lesson record the class service does not give, fails the load (state 3) and returns false.
    // Without libvlc the whiteboard replays alone and the result is false.
    bool init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member) override;

    PublicClassReplayDlg* replayWindow() const;
    // The result of the lesson record request init made; 0 before it.
    int lessonInfoResult() const { return m_lessonInfoResult; }

private:
    int m_lessonInfoResult = 0;
};
