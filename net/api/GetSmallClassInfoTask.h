#pragma once

#include <QString>

class QTaskItem;

// The body of the class-entry tasks that load the lesson's information from one RESTful address: GET
// base + "/classroom/lesson/<periodId>" (base used whole, port and path included) with the period id, user id
// and token of the task's lesson context (taskLessonContext), and the client request id and time stamp as both
// query values and signed header pairs. On a completed request whose reply says "success": true, the reply body
// is left in the task's "Response" property (a QByteArray) and the task ends as succeeded; otherwise it ends as
// failed. Nothing is logged or reported. Runs on the task's own thread; reads the lesson context and the URL
// configuration only.
void GetSmallClassInfoTask(QTaskItem* task, const QString& base, const QString& clientRequestHex,
                           const QString& clientTimeStamp);
