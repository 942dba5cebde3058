#include "rooms/blocks/ClassMessageLinks.h"

#include "live/messages/ClassMsgEngine.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"

void disconnectFromClassMessages(QObject* receiver)
{
    if (!ClassMsgEngine::instance())
        return;
    const QObject* interfaces[] = {ClassMsgEngine::getTeacherMsgInterface(), ClassMsgEngine::getStudentMsgInterface(),
                                   ClassMsgEngine::getPublicMsgInterface()};
    for (const QObject* messages : interfaces) {
        if (messages)
            messages->disconnect(receiver);
    }
}
