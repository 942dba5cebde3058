#pragma once

#include "live/entry/InitTask.h"

// Kind 512: creates the class message engine and waits for its first connect result (done at once when an
// engine exists). A failed connect destroys the engine; the result (0, -2, -3) is left in lastDetail_.
class InitTask_WebSocket_Link : public InitTask_Imp
{
    Q_OBJECT

public:
    explicit InitTask_WebSocket_Link(s_InitTask_Params* params, QObject* parent = nullptr);

public slots:
    void runTask() override;
    void onSigMsgEngineConnectResult(int result);
};
