#include "net/api/LessonResponseParser.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "net/api/ApiReply.h"
#include "net/api/JsonFields.h"
#include "net/api/RestfulRequest.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonObject objectAt(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toObject();
}

QString textAt(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toString();
}

QString idAt(const QJsonObject& object, const char* key)
{
    return jsonIdText(object.value(QLatin1String(key)));
}

LessonInfo lessonFromReply(const QJsonObject& data)
{
    const QJsonObject lessonInfo = objectAt(data, "lessonInfo");
    LessonInfo lesson;
    lesson.lessonId = idAt(lessonInfo, "lessonId");
    // The period and the RTC channel key sit beside lessonInfo, not inside it.
    lesson.periodId = idAt(data, "periodId");
    lesson.lessonName = textAt(lessonInfo, "lessonName");
    lesson.channel = lesson.periodId;
    lesson.channelKey = textAt(data, "channelKey");
    lesson.content = textAt(lessonInfo, "content");
    const QJsonValue muteAudio = lessonInfo.value(QLatin1String("muteAudio"));
    lesson.muteAudio = muteAudio.isDouble() ? muteAudio.toDouble() == 1.0 : true;
    return lesson;
}

void updateTeacher(const QJsonObject& teacherInfo, AppGlobalData& appData)
{
    UserInfo teacher = appData.teacher;
    teacher.userId = idAt(teacherInfo, "teacherId");
    teacher.accountType = 2;
    teacher.gender = idAt(teacherInfo, "gender");
    const QString name = textAt(teacherInfo, "teacherName");
    teacher.enNickName = name;
    teacher.cnNickName = name;
    teacher.portrait = textAt(teacherInfo, "portrait");
    appData.setTeacherInfo(teacher);
}

UserInfo pupilFromReply(const QJsonObject& student)
{
    UserInfo pupil;
    pupil.userId = idAt(student, "userId");
    pupil.accountType = 1;
    pupil.gender = idAt(student, "gender");
    pupil.cnNickName = textAt(student, "cnNickname");
    pupil.enNickName = textAt(student, "enNickname");
    pupil.portrait = textAt(student, "portrait");
    pupil.userLevel = textAt(student, "userLevel");
    // Lifetime stars only; this lesson's points (classPoint) come from the class-points reply.
    pupil.starPoint = jsonInt(student.value(QLatin1String("starPoint")));
    return pupil;
}

} // namespace

bool parseLessonResponse(const QByteArray& reply)
{
    return parseLessonResponse(reply, *AppGlobalData::instance(), *UrlConfig::instance());
}

bool parseLessonResponse(const QByteArray& reply, AppGlobalData& appData, UrlConfig& urls)
{
    const QJsonObject root = parseReplyObject(reply);
    // The RTC channel key is a credential: it stays out of the log.
    qInfo().noquote() << "parseLessonResponse reply:"
                      << Restful::replyForLog(root, {QStringLiteral("data/channelKey")});

    const QJsonObject data = objectAt(root, "data");
    appData.lesson = lessonFromReply(data);
    urls.webSocket = textAt(data, "wsUrl");
    updateTeacher(objectAt(data, "teacherInfo"), appData);

    appData.clearUsers();
    const QJsonArray students = data.value(QLatin1String("studentInfo")).toArray();
    for (const QJsonValue& student : students) {
        // An element that is no object names nobody; it would only add a nameless member "0".
        if (!student.isObject()) {
            qWarning() << "parseLessonResponse: skipping a studentInfo element that is no object";
            continue;
        }
        appData.addUser(pupilFromReply(student.toObject()));
    }
    return true;
}

bool parseLessonResponseProperty(const QVariant& response)
{
    if (response.userType() != QMetaType::QByteArray) {
        qWarning() << "parseLessonResponseProperty: no reply bytes, got" << response.typeName();
        return false;
    }
    return parseLessonResponse(response.toByteArray());
}
