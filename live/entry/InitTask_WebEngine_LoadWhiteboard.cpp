#include "live/entry/InitTask_WebEngine_LoadWhiteboard.h"

#include "app/records/InitTaskParams.h"
#include "live/entry/EntryAddresses.h"
#include "live/entry/QWaitLoop.h"
#include "live/messages/ProblemReportQueue.h"
#include "net/http/SecretMask.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

InitTask_WebEngine_LoadWhiteboard::InitTask_WebEngine_LoadWhiteboard(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(WebEngine_LoadWhiteboard, params, parent)
{
}

void InitTask_WebEngine_LoadWhiteboard::runTask()
{
    Whiteboard* board = params() ? params()->whiteboard_ : nullptr;
    if (!board) {
        qWarning() << "InitTask_WebEngine_LoadWhiteboard::runTask() - no whiteboard";
        finishTask(-1);
        return;
    }
    QVariant value;
    const QString url = params()->getExtendParam(QLatin1String(EXTEND_PARAM_WhiteBoard_URL), &value)
                            ? value.toString()
                            : buildWhiteboardUrl();
    if (params()->getExtendParam(QLatin1String(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale), &value))
        board->setRefreshButtonVisible(value.toBool());

    qInfo().noquote() << "Whiteboard url = " + SecretMask::maskSecrets(url);
    board->loadUrl(url);
    QWaitLoop loop;
    connect(board, &Whiteboard::sigWebEngineLoadFinished, &loop, &QWaitLoop::quit_bool, Qt::QueuedConnection);
    connect(this, &InitTask_Imp::sigTimeOut, &loop, &QWaitLoop::quit_timeOut, Qt::QueuedConnection);
    loop.exec();

    const QVariant loaded = loop.quitValue();
    if (!loop.timedOut() && loaded.type() == QVariant::Bool && loaded.toBool()) {
        finishTask(1);
        return;
    }
    qWarning() << "InitTask_WebEngine_LoadWhiteboard::runTask() - not loaded, timed out" << loop.timedOut();
    ProblemReportQueue::file(3, -1, QStringLiteral("Whiteboard_Load_TimeOut"), QStringLiteral("Call HttpApi Error!"));
    finishTask(-1);
}
