#include "rooms/blocks/RaiseHandCtrl.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/StudentMsgInterface.h"
#include "rooms/blocks/ClassMessageLinks.h"
#include "rooms/blocks/RaiseHandWidget_Out.h"

#include <QDebug>
#include <QTimer>

#include <algorithm>
#include <limits>

RaiseHandCtrl::RaiseHandCtrl(QObject* parent)
    : QObject(parent)
{
    registerRoomMemberTypes();
}

RaiseHandCtrl::~RaiseHandCtrl()
{
    disconnectFromClassMessages(this);
    stopRaiseHandCountdown();
    stopTimer4TeacherTemporaryLeave();
}

bool RaiseHandCtrl::connectClassMessages(RaiseHandWidget_Out* widget)
{
    setWidget(widget);
    if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface()) {
        connect(messages, SIGNAL(sigReceiveMsgTeacherOpenStudentMicrophone(int, int)), this,
                SLOT(onReceiveMsgTeacherOpenStudentMicrophone(int, int)));
        connect(messages, SIGNAL(sigReceiveMsgTeacherStopStudentMicrophone(int, int)), this,
                SLOT(onReceiveMsgTeacherStopStudentMicrophone(int, int)));
        connect(messages, SIGNAL(sigReceiveMsgTeacherLeaveClass(int, bool)), this,
                SLOT(onReceiveMsgTeacherLeaveClass(int, bool)));
    }
    return true;
}

bool RaiseHandCtrl::setWidget(RaiseHandWidget_Out* widget)
{
    m_widget = widget;
    if (widget) {
        widget->setBtnIconType(BtnIcon_HandDown, true);
        connect(widget, SIGNAL(clicked(BtnIconType)), this, SLOT(onUi_clickedRaiseHand(BtnIconType)),
                Qt::UniqueConnection);
    }
    return true;
}

void RaiseHandCtrl::onUi_clickedRaiseHand(BtnIconType btnIconType)
{
    if (btnIconType == BtnIcon_HandDown) {
        // With the teacher away the room shows its notice; nothing is raised.
        if (!AppGlobalData::instance()->teacherPresent)
            return;
        if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface())
            messages->sendRaiseHand();
        if (m_widget)
            m_widget->setBtnIconType(BtnIcon_Raised, false);
        startRaiseHandCountdown();
    } else if (btnIconType == BtnIcon_Talking) {
        closeMicrophone();
    }
}

void RaiseHandCtrl::onReceiveMsgTeacherOpenStudentMicrophone(int nTeacherID, int nStudentID)
{
    Q_UNUSED(nTeacherID)
    if (nStudentID == AppGlobalData::instance()->userIdAsInt())
        openMicrophone();
}

void RaiseHandCtrl::onReceiveMsgTeacherStopStudentMicrophone(int nTeacherID, int nStudentID)
{
    Q_UNUSED(nTeacherID)
    if (nStudentID == AppGlobalData::instance()->userIdAsInt())
        closeMicrophone();
}

void RaiseHandCtrl::onReceiveMsgTeacherLeaveClass(int nTeacherID, bool bStopClass)
{
    Q_UNUSED(nTeacherID)
    if (!bStopClass)
        openTimer4TeacherTemporaryLeave();
}

void RaiseHandCtrl::onReceiveMsgTeacherEnterClass(int nTeacherID)
{
    Q_UNUSED(nTeacherID)
    stopTimer4TeacherTemporaryLeave();
}

void RaiseHandCtrl::openMicrophone()
{
    stopRaiseHandCountdown();
    logEmitSignal("sigSetMicphoneEnable");
    emit sigSetMicphoneEnable(true);
    if (m_widget)
        m_widget->setBtnIconType(BtnIcon_Talking, true);
}

void RaiseHandCtrl::closeMicrophone()
{
    stopRaiseHandCountdown();
    logEmitSignal("sigSetMicphoneEnable");
    emit sigSetMicphoneEnable(false);
    if (m_widget)
        m_widget->setBtnIconType(BtnIcon_HandDown, true);
}

void RaiseHandCtrl::startRaiseHandCountdown()
{
    stopRaiseHandCountdown();
    m_countdownTimer = new QTimer(this);
    m_countdownTimer->setObjectName(QStringLiteral("raiseHandCountdown"));
    m_countdownTimer->setInterval(kTickMs);
    connect(m_countdownTimer, SIGNAL(timeout()), this, SLOT(onTimerOut4RaisingHand()));
    m_ticks = 0;
    m_countdownTimer->start();
    if (m_widget)
        m_widget->startCountdown(kCountdownTicks);
}

void RaiseHandCtrl::stopRaiseHandCountdown()
{
    if (!m_countdownTimer)
        return;
    if (m_widget)
        m_widget->stopCountdown();
    releaseTimer(m_countdownTimer);
}

void RaiseHandCtrl::onTimerOut4RaisingHand()
{
    ++m_ticks;
    if (m_ticks >= kCountdownTicks) {
        stopRaiseHandCountdown();
        if (m_widget)
            m_widget->setBtnIconType(BtnIcon_HandDown, true);
        if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface())
            messages->sendRaiseHandTimeout();
        return;
    }
    if (m_widget)
        m_widget->updateCountdown(m_ticks);
}

void RaiseHandCtrl::openTimer4TeacherTemporaryLeave()
{
    stopTimer4TeacherTemporaryLeave();
    qDebug() << "RaiseHandCtrl::openTimer4TeacherTemporaryLeave()";
    const qint64 ms = qint64(AppGlobalData::instance()->launch.stopMicTeacherLeft) * 1000;
    m_leaveTimer = new QTimer(this);
    m_leaveTimer->setObjectName(QStringLiteral("teacherLeaveTimer"));
    m_leaveTimer->setSingleShot(true);
    m_leaveTimer->setInterval(int(std::clamp<qint64>(ms, 0, std::numeric_limits<int>::max())));
    connect(m_leaveTimer, SIGNAL(timeout()), this, SLOT(onTimerOut4TeacherTemporaryLeave()));
    m_leaveTimer->start();
}

void RaiseHandCtrl::stopTimer4TeacherTemporaryLeave()
{
    if (!m_leaveTimer)
        return;
    qDebug() << "RaiseHandCtrl::stopTimer4TeacherTemporaryLeave()";
    releaseTimer(m_leaveTimer);
}

void RaiseHandCtrl::onTimerOut4TeacherTemporaryLeave()
{
    closeMicrophone();
    releaseTimer(m_leaveTimer);
}

void RaiseHandCtrl::releaseTimer(QTimer*& timer)
{
    if (!timer)
        return;
    // The timer may be the sender of the running slot: it goes once the slot has returned.
    timer->stop();
    timer->disconnect();
    timer->setParent(nullptr);
    timer->deleteLater();
    timer = nullptr;
}
