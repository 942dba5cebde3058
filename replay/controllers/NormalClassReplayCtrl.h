#pragma once

#include "replay/controllers/CompositeReplayCtrl.h"

class NormalClassReplayDlg;

// Plays back a one-to-one lesson: the whiteboard replay with the teacher's video ("--media1") and the student's
// ("--media2") in the window NormalClassReplayDlg, which it makes and owns. A missing medium is no failure: its
// tile keeps the placeholder picture and readiness waits only for the children that exist.
class NormalClassReplayCtrl : public CompositeReplayCtrl
{
    Q_OBJECT

public:
    explicit NormalClassReplayCtrl(QObject* parent = nullptr);
    ~NormalClassReplayCtrl() override;

    // The arguments are not used: what to play comes from the application data. False, with nothing made and no
    // window shown, when libvlc cannot be started.
    bool init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member) override;

    NormalClassReplayDlg* replayWindow() const;
};
