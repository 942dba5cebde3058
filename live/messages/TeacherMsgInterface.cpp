#include "live/messages/TeacherMsgInterface.h"

#include "app/AppGlobalData.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"

TeacherMsgInterface::TeacherMsgInterface(QObject* parent)
    : QObject(parent)
{
}

void TeacherMsgInterface::sendEnterClass()
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_EnterClass, {});
    sendTeacherAudio(AppGlobalData::instance()->teacherAudioMuted);
}

void TeacherMsgInterface::sendLeaveClass(bool stopClass)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_LeaveClass, ClassMsgBody::leaveClass(stopClass));
}

void TeacherMsgInterface::sendAwardPoints(int toUserId, int point, int total)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_TeacherCommand, ClassMsgBody::award(toUserId, point, total));
}

void TeacherMsgInterface::sendEnableControl(int toUserId, bool enabled)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_TeacherCommand, ClassMsgBody::enableControl(toUserId, enabled));
}

void TeacherMsgInterface::sendScreenShare(bool enabled)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_TeacherCommand, ClassMsgBody::screenShare(enabled));
}

void TeacherMsgInterface::sendTeacherAudio(bool isMute)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_TeacherCommand, ClassMsgBody::teacherAudio(isMute));
}

void TeacherMsgInterface::sendOpenStudentMicrophone(int userId)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_OpenStudentMicrophone, ClassMsgBody::openStudentMicrophone(userId));
}

void TeacherMsgInterface::sendStopStudentMicrophone(int toUserId)
{
    ClassMsgEngine_Imp::postToInstance(ClassMsgTag_TeacherDropCommand, ClassMsgBody::drop(toUserId));
}
