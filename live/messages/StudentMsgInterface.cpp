#include "live/messages/StudentMsgInterface.h"

#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"

StudentMsgInterface::StudentMsgInterface(QObject* parent)
    : QObject(parent)
{
}

void StudentMsgInterface::sendEnterClass()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_EnterClass, {});
}

void StudentMsgInterface::sendLeaveClass()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_LeaveClass, ClassMsgBody::leaveClass(true));
}

void StudentMsgInterface::sendRaiseHand()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_RaiseHand, {});
}

void StudentMsgInterface::sendMicrophoneOn()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_MicrophoneOn, {});
}

void StudentMsgInterface::sendMicrophoneOff()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_MicrophoneOff, {});
}

void StudentMsgInterface::sendRaiseHandTimeout()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_RaiseHandTimeout, {});
}
