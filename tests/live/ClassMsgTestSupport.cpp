#include "ClassMsgTestSupport.h"

#include "app/AppGlobalData.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"

#include <QRegularExpression>

void InterfaceSignalLog::attach()
{
    PublicMsgInterface* publicInterface = ClassMsgEngine::getPublicMsgInterface();
    StudentMsgInterface* student = ClassMsgEngine::getStudentMsgInterface();
    if (!publicInterface || !student)
        return;
    const auto add = [this](const QString& name, const QList<int>& values) {
        QStringList texts;
        for (int value : values)
            texts << QString::number(value);
        lines << name + "(" + texts.join(',') + ")";
    };
    connect(publicInterface, &PublicMsgInterface::sigStudentsTalkInfoChanged, this,
            [add] { add(QStringLiteral("talkInfoChanged"), {}); });
    connect(publicInterface, &PublicMsgInterface::sigReceiveMsgTeacherMuteAudio, this, [add](int teacher, bool mute) {
        add(QStringLiteral("muteAudio"), {teacher, mute});
    });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherLeaveClass, this, [add](int teacher, bool stop) {
        add(QStringLiteral("leaveClass"), {teacher, stop});
    });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherOpenStudentMicrophone, this,
            [add](int teacher, int pupil) {
                add(QStringLiteral("openMicrophone"), {teacher, pupil});
            });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherStopStudentMicrophone, this,
            [add](int teacher, int pupil) {
                add(QStringLiteral("stopMicrophone"), {teacher, pupil});
            });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherAwardPoints, this,
            [add](int teacher, int pupil, int points, int total) {
                add(QStringLiteral("award"), {teacher, pupil, points, total});
            });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherEnableControl, this,
            [add](int teacher, int pupil, bool enable) {
                add(QStringLiteral("enableControl"), {teacher, pupil, enable});
            });
    connect(student, &StudentMsgInterface::sigReceiveMsgTeacherEnableScreenShare, this,
            [add](int teacher, bool enable) {
                add(QStringLiteral("screenShare"), {teacher, enable});
            });
}

void setUpLesson(int accountType)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.userId = accountType == 2 ? QStringLiteral("300451") : QStringLiteral("100234");
    data->launch.token = QStringLiteral("lesson-token");
    data->launch.accountType = accountType;
    data->launch.uiType = 1;
    data->lesson.periodId = QStringLiteral("20240611093");
    UserInfo teacher;
    teacher.userId = QStringLiteral("300451");
    teacher.accountType = 2;
    data->setTeacherInfo(teacher);
    data->teacherAudioMuted = false;
    data->screenShareOn = false;
    data->clearUsers();
    for (int id : {100234, 100871, 101502}) {
        UserInfo pupil;
        pupil.userId = QString::number(id);
        pupil.accountType = 1;
        data->addUser(pupil);
    }
}

QJsonObject withoutMessageId(const QJsonObject& message, bool* idIsUuid)
{
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    if (idIsUuid)
        *idIsUuid = uuid.match(message.value(QStringLiteral("messageId")).toString()).hasMatch();
    QJsonObject rest = message;
    rest.remove(QStringLiteral("messageId"));
    return rest;
}
