#include "live/messages/ClassMsgEngine_Imp.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/records/UserInfo.h"
#include "live/messages/ClassMsgEnvelope.h"
#include "live/messages/ClassMsgProtocol.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"
#include "net/http/SecretMask.h"

#include <QDebug>
#include <QJsonObject>
#include <QJsonValue>

namespace {

// The launch record's ui type of the normal class room.
constexpr int kNormalClassUi = 1;

// Received texts are logged up to this many characters.
constexpr int kLogExcerptChars = 4096;

// Deletes an interface now, or from the event loop while one of its signals may be running.
void release(QObject* object, bool later)
{
    if (!object)
        return;
    if (later)
        object->deleteLater();
    else
        delete object;
}

} // namespace

ClassMsgEngine_Imp::ClassMsgEngine_Imp(QObject* parent)
    : ClassMsgEngine(parent)
{
}

ClassMsgEngine_Imp::~ClassMsgEngine_Imp() = default;

bool ClassMsgEngine_Imp::init(QObject* receiver, const char* slot)
{
    Q_UNUSED(receiver);
    Q_UNUSED(slot);
    if (!m_studentInterface)
        m_studentInterface = new StudentMsgInterface(this);
    if (!m_teacherInterface)
        m_teacherInterface = new TeacherMsgInterface(this);
    if (!m_publicInterface)
        m_publicInterface = new PublicMsgInterface(this);
    return true;
}

void ClassMsgEngine_Imp::uninit()
{
    const bool later = isBusy();
    release(m_publicInterface, later);
    release(m_studentInterface, later);
    release(m_teacherInterface, later);
    m_publicInterface = nullptr;
    m_studentInterface = nullptr;
    m_teacherInterface = nullptr;
}

int ClassMsgEngine_Imp::post(int tag, const QVariantMap& body)
{
    return buildEnvelope(QString(), tag, body);
}

int ClassMsgEngine_Imp::buildEnvelope(const QString& messageId, int tag, const QVariantMap& body)
{
    return postMsg(buildClassMsg(messageId, tag, body, currentClassMsgSender()));
}

int ClassMsgEngine_Imp::postToInstance(int tag, const QVariantMap& body)
{
    auto* engine = qobject_cast<ClassMsgEngine_Imp*>(ClassMsgEngine::instance());
    if (!engine) {
        qWarning() << "ClassMsgEngine::s_pSingleton =NULL, message not sent:" << tag;
        return -1;
    }
    return engine->post(tag, body);
}

void ClassMsgEngine_Imp::receiveText(const QString& text)
{
    // As qDebug() writes the two parts, with a blank between them.
    QString line = SecretMask::logExcerpt(text, kLogExcerptChars);
    line.prepend(QLatin1String("WebSocket::receiveMsg <-  "));
    logDebugMessage(line);
    ReceivedClassMsg message;
    QString whyNot;
    if (!parseClassMsg(text.toUtf8(), message, &whyNot)) {
        qWarning().noquote() << "WebSocket::receiveMsg ignored:" << whyNot;
        return;
    }
    dispatchReceived(message);
}

void ClassMsgEngine_Imp::dispatchReceived(const ReceivedClassMsg& message)
{
    dispatch(message.tag, ClassMsgBodyView(message.object));
}

void ClassMsgEngine_Imp::dispatchMsg(const QString& messageId, int tag, const QVariantMap& body)
{
    Q_UNUSED(messageId);
    dispatch(tag, ClassMsgBodyView(body));
}

void ClassMsgEngine_Imp::dispatch(int tag, const ClassMsgBodyView& body)
{
    const BusyScope busy(this);
    switch (tag) {
    case ClassMsgTag_StudentMicrophoneOpened:
        if (m_studentInterface) {
            const int teacherId = body.intValue(QLatin1String("teacherId"), -1);
            const int userId = body.intValue(QLatin1String("userId"), -1);
            logEmitSignal("sigReceiveMsgTeacherOpenStudentMicrophone");
            emit m_studentInterface->sigReceiveMsgTeacherOpenStudentMicrophone(teacherId, userId);
        }
        break;
    case ClassMsgTag_UserEntered:
        onUserEntered(body);
        break;
    case ClassMsgTag_UserLeft:
        onUserLeft(body);
        break;
    case ClassMsgTag_EnterClass:
    case ClassMsgTag_TalkList:
        onTalkList(body);
        break;
    case ClassMsgTag_TeacherCommand:
    case ClassMsgTag_TeacherDropCommand:
        onTeacherCommand(body);
        break;
    default:
        break;
    }
}

void ClassMsgEngine_Imp::onUserEntered(const ClassMsgBodyView& body)
{
    // The teacher tells a pupil who entered how the class stands.
    AppGlobalData* data = AppGlobalData::instance();
    if (body.intValue(QLatin1String("role"), 0) != ClassMsgRole_Pupil || !data->isTeacher())
        return;
    post(ClassMsgTag_TeacherCommand, ClassMsgBody::teacherAudio(data->teacherAudioMuted));
    post(ClassMsgTag_TeacherCommand, ClassMsgBody::screenShare(data->screenShareOn));

    const int userId = body.intValue(QLatin1String("userId"), -1);
    const UserInfoMap* members = data->memberMap();
    const auto member = members->constFind(userId);
    if (member != members->constEnd() && data->launch.uiType == kNormalClassUi)
        post(ClassMsgTag_TeacherCommand, ClassMsgBody::enableControl(userId, member->controlEnabled));
}

void ClassMsgEngine_Imp::onUserLeft(const ClassMsgBodyView& body)
{
    const int userId = body.intValue(QLatin1String("userId"), -1);
    if (userId != AppGlobalData::instance()->teacherIdAsInt() ||
        body.intValue(QLatin1String("role"), 0) != ClassMsgRole_Teacher || !m_studentInterface)
        return;
    const bool stopClass = body.flagValue(QLatin1String("type"), false);
    logEmitSignal("sigReceiveMsgTeacherLeaveClass");
    emit m_studentInterface->sigReceiveMsgTeacherLeaveClass(userId, stopClass);
}

void ClassMsgEngine_Imp::onTalkList(const ClassMsgBodyView& body)
{
    QJsonObject listBody;
    const QJsonValue list = body.jsonValue(QLatin1String("userInfoList"));
    if (!list.isUndefined())
        listBody.insert(QStringLiteral("userInfoList"), list);
    applyTalkListMessage(*AppGlobalData::instance()->memberMap(), listBody);
    if (m_publicInterface) {
        logEmitSignal("sigStudentsTalkInfoChanged");
        emit m_publicInterface->sigStudentsTalkInfoChanged();
    }
}

void ClassMsgEngine_Imp::onTeacherCommand(const ClassMsgBodyView& body)
{
    const QString subTag = body.textValue(QLatin1String("subTag"));
    const int teacherId = body.intValue(QLatin1String("teacherId"), -1);
    if (subTag == ClassMsgSubTag::teacherAudio()) {
        if (m_publicInterface) {
            const bool mute = body.flagValue(QLatin1String("isMute"), true);
            logEmitSignal("sigReceiveMsgTeacherMuteAudio");
            emit m_publicInterface->sigReceiveMsgTeacherMuteAudio(teacherId, mute);
        }
        return;
    }
    if (!m_studentInterface)
        return;
    const int toUserId = body.intValue(QLatin1String("toUserId"), -1);
    if (subTag == ClassMsgSubTag::screenShare()) {
        const bool enabled = body.flagValue(QLatin1String("enabled"), true);
        logEmitSignal("sigReceiveMsgTeacherEnableScreenShare");
        emit m_studentInterface->sigReceiveMsgTeacherEnableScreenShare(teacherId, enabled);
    } else if (subTag == ClassMsgSubTag::award()) {
        const int point = body.intValue(QLatin1String("point"), 0);
        const int total = body.intValue(QLatin1String("total"), 0);
        logEmitSignal("sigReceiveMsgTeacherAwardPoints");
        emit m_studentInterface->sigReceiveMsgTeacherAwardPoints(teacherId, toUserId, point, total);
    } else if (subTag == ClassMsgSubTag::enableControl()) {
        const bool enabled = body.flagValue(QLatin1String("enabled"), true);
        logEmitSignal("sigReceiveMsgTeacherEnableControl");
        emit m_studentInterface->sigReceiveMsgTeacherEnableControl(teacherId, toUserId, enabled);
    } else if (subTag == ClassMsgSubTag::drop()) {
        logEmitSignal("sigReceiveMsgTeacherStopStudentMicrophone");
        emit m_studentInterface->sigReceiveMsgTeacherStopStudentMicrophone(teacherId, toUserId);
    }
}
