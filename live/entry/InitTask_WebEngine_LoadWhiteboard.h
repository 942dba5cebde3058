#pragma once

#include "live/entry/InitTask.h"

// Kind 256: loads the whiteboard page (the extend parameter's address, else buildWhiteboardUrl()) and waits for
// the page's load result. A failed load or a time-out files problem report 3. Run without a time-out of its
// caller's (the guest's load once a member joined), it keeps one of its own, so that a page that never answers
// cannot hold the room in the wait.
class InitTask_WebEngine_LoadWhiteboard : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_WebEngine_LoadWhiteboard(s_InitTask_Params* params, QObject* parent = nullptr);

    static constexpr int kOwnTimeoutSec = 30;

public slots:
    void runTask() override;

protected:
    int ownTimeoutSec() const override { return kOwnTimeoutSec; }
};
