// The class-entry form of the enter-class call: one request to a given API base, run as the body of a task.
#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/SystemInfo.h"
#include "app/TaskLessonContext.h"
#include "app/tasks/QTaskItem.h"
#include "net/api/ApiCommonParams.h"
#include "net/http/HttpCurl.h"
#include "net/http/SecretMask.h"

#include <QDebug>

int ZmNetAPI::enterClassRoomAt(const QString& apiBase, const QString& clientRequestHex, const QString& clientTimeStamp)
{
    return enterClassRoomAt(AppGlobalData::instance()->lessonContext(), apiBase, clientRequestHex, clientTimeStamp);
}

int ZmNetAPI::enterClassRoomAt(const LessonContext& lesson, const QString& apiBase, const QString& clientRequestHex,
                               const QString& clientTimeStamp)
{
    ApiParamList list = enterClassPairs(lesson);
    list.append({QStringLiteral("v"), m_version});
    list.append({QStringLiteral("p"), QStringLiteral("6")});
    list.append({QStringLiteral("systemVersion"), getOsName()});
    list.append({QStringLiteral("client-request-hex"), clientRequestHex});
    list.append({QStringLiteral("client-time-stamp"), clientTimeStamp});
    list.append({QStringLiteral("c"), QStringLiteral("1")});
    ApiCommonParams::appendSignature(list);

    const QUrl address(GetUrl(apiBase, list), QUrl::TolerantMode);
    QByteArray body;
    if (HttpCurl::getToByteArray(address, &list, &body, timeoutSeconds()) != 0)
        return -1;

    const QJsonObject reply = parseReplyObject(body);
    qInfo().noquote() << "ZmNetAPI::EnterClassRoom reply:" << SecretMask::logExcerpt(replyText(reply));
    const TagCode tag = readTagCode(reply, TagCodeReading::AnyScalar);
    if (tag.code != 0) {
        qWarning().noquote() << QStringLiteral("Error in EnterClassRoom: tagcode=") + tag.text;
        return tag.code;
    }
    AppGlobalData::instance()->enteredClass.store(true);
    return 0;
}

void ZmNetAPI::EnterClassRoom(QTaskItem* task, const QString& apiBase, const QString& clientRequestHex,
                              const QString& clientTimeStamp)
{
    const int result = enterClassRoomAt(taskLessonContext(task), apiBase, clientRequestHex, clientTimeStamp);
    if (!task) {
        qWarning() << "ZmNetAPI::EnterClassRoom no task to end; result" << result;
        return;
    }
    task->setState(result == 0 ? TaskState_Succeeded : TaskState_Failed);
}
