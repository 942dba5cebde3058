#include "rooms/common/RoomLeave.h"

#include "app/AppGlobalData.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"

void RoomLeave::announceTeacherLeave(bool endLesson)
{
    AppGlobalData* data = AppGlobalData::instance();
    TeacherMsgInterface* messages = ClassMsgEngine::instance() ? ClassMsgEngine::getTeacherMsgInterface() : nullptr;
    if (data->screenShareOn) {
        if (messages)
            messages->sendScreenShare(false);
        data->screenShareOn = false;
    }
    if (messages)
        messages->sendLeaveClass(endLesson);
}

void RoomLeave::announcePupilLeave()
{
    if (!ClassMsgEngine::instance())
        return;
    if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface())
        messages->sendLeaveClass();
}
