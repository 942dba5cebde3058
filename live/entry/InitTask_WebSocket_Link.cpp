#include "live/entry/InitTask_WebSocket_Link.h"

#include "app/records/InitTaskParams.h"
#include "live/messages/ClassMsgEngine.h"

#include <QDebug>

InitTask_WebSocket_Link::InitTask_WebSocket_Link(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(WebSocket_Link, params, parent)
{
}

void InitTask_WebSocket_Link::runTask()
{
    if (ClassMsgEngine::instance()) {
        finishTask(1);
        return;
    }
    if (!ClassMsgEngine::createInstance(this, "1onSigMsgEngineConnectResult(int)")) {
        qWarning() << "InitTask_WebSocket_Link::runTask() - no message engine";
        finishTask(-1);
    }
}

void InitTask_WebSocket_Link::onSigMsgEngineConnectResult(int)
{
    ClassMsgEngine* engine = ClassMsgEngine::instance();
    if (!engine) {
        finishTask(-1);
        return;
    }
    disconnect(engine, SIGNAL(sigMsgEngineInitResult(int)), this, SLOT(onSigMsgEngineConnectResult(int)));
    const int result = engine->getInitResult();
    if (params())
        params()->lastDetail_ = result;
    qInfo().noquote() << QString::asprintf("InitTask_WebSocket_Link::runTask() - %d", result);
    if (result == 0) {
        finishTask(1);
        return;
    }
    ClassMsgEngine::destroyInstance();
    finishTask(-1);
}
