#include "live/entry/InitTask.h"

#include "app/LogHandler.h"
#include "app/records/InitTaskParams.h"
#include "live/entry/InitTaskTexts.h"

#include <QDebug>
#include <QEventLoop>
#include <QLabel>
#include <QMetaObject>
#include <QMetaType>

#include <atomic>

namespace {
std::atomic<int> s_timeoutMsForTesting{0};
} // namespace

InitTask::InitTask(int kind, QObject* parent)
    : QObject(parent)
    , m_kind(kind)
{
}

InitTask_Imp::InitTask_Imp(int kind, s_InitTask_Params* params, QObject* parent)
    : InitTask(kind, parent)
    , m_params(params)
{
    qRegisterMetaType<Init_Task_Result>("Init_Task_Result");
    m_timeOutTimer.setSingleShot(true);
}

int InitTask_Imp::runTaskSync(QLabel* statusLabel, int timeoutSec)
{
    const int limitMs = timeoutMsFor(timeoutSec > 0 ? timeoutSec : ownTimeoutSec());
    if (limitMs > 0) {
        connect(&m_timeOutTimer, &QTimer::timeout, this, &InitTask_Imp::onSigTimeOut, Qt::UniqueConnection);
        m_timeOutTimer.start(limitMs);
    }
    if (statusLabel)
        statusLabel->setText(runningText());

    QEventLoop loop;
    connect(this, &InitTask_Imp::sigTaskEnded, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(this, "runTask", Qt::QueuedConnection);
    if (m_result == 0)
        loop.exec();
    return m_result;
}

int InitTask_Imp::result() const
{
    return m_result;
}

QString InitTask_Imp::runningText() const
{
    return InitTaskTexts::runningText(kind());
}

QString InitTask_Imp::failureText() const
{
    return InitTaskTexts::failureText(kind());
}

QString InitTask_Imp::hintText() const
{
    return InitTaskTexts::hintText(kind());
}

bool InitTask_Imp::finishTask(int code)
{
    m_timeOutTimer.stop();
    if (m_result != 0)
        return false;
    m_result = code;
    logEmitSignal("sigTaskEnded");
    emit sigTaskEnded();
    return true;
}

void InitTask_Imp::onSigTimeOut()
{
    finishTask(-2);
    logEmitSignal("sigTimeOut");
    emit sigTimeOut();
}

void InitTask_Imp::setTimeoutMsForTesting(int milliseconds)
{
    s_timeoutMsForTesting.store(milliseconds > 0 ? milliseconds : 0);
}

int InitTask_Imp::timeoutMsFor(int timeoutSec)
{
    if (timeoutSec <= 0)
        return 0;
    const int forTesting = s_timeoutMsForTesting.load();
    return forTesting > 0 ? forTesting : timeoutSec * 1000;
}
