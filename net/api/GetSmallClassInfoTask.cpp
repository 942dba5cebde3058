#include "net/api/GetSmallClassInfoTask.h"

#include "app/TaskLessonContext.h"
#include "app/tasks/QTaskItem.h"
#include "app/tasks/TaskProperties.h"
#include "net/api/RestfulRequest.h"
#include "net/api/ZmNetAPI.h"

void GetSmallClassInfoTask(QTaskItem* task, const QString& base, const QString& clientRequestHex,
                           const QString& clientTimeStamp)
{
    if (!task)
        return;
    const LessonContext lesson = taskLessonContext(task);
    const QString url = base + QStringLiteral("/classroom/lesson/%1?client-request-hex=%2&client-time-stamp=%3")
                                   .arg(Restful::encoded(lesson.periodId()), Restful::encoded(clientRequestHex),
                                        Restful::encoded(clientTimeStamp));
    const ApiParamList own{{QStringLiteral("client-request-hex"), clientRequestHex},
                           {QStringLiteral("client-time-stamp"), clientTimeStamp}};
    const ApiParamList headers =
        Restful::headerPairs(own, Restful::commonValuesNow(ZmNetAPI::instance()->version(), QStringLiteral("6"),
                                                           lesson.paramA(), lesson.userId(), lesson.token()));

    QByteArray body;
    if (Restful::sendGet(url, headers, ZmNetAPI::timeoutSeconds(), body) == 0 && Restful::readReply(body).success) {
        task->setProperty(QLatin1String(TaskProperty_Response), QVariant(body));
        task->setState(TaskState_Succeeded);
        return;
    }
    task->setState(TaskState_Failed);
}
