#include "live/messages/ClassMsgEnvelope.h"

#include "app/AppGlobalData.h"
#include "app/records/LessonContext.h"
#include "live/messages/ClassMsgProtocol.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

// The platform number the class service knows this client by (also the API client's "p").
constexpr int kPlatform = 6;

} // namespace

ClassMsgSender currentClassMsgSender()
{
    const AppGlobalData* data = AppGlobalData::instance();
    const LessonContext context = data->lessonContext();
    ClassMsgSender sender;
    sender.token = context.token();
    // Period ids outgrow 32 bits.
    sender.periodId = context.periodId().trimmed().toLongLong();
    sender.teacherId = data->teacherIdAsInt();
    sender.role = getPostMsgFromUserRole(context.accountType());
    sender.userId = context.userIdAsInt();
    return sender;
}

QVariantMap buildClassMsg(const QString& messageId, int tag, const QVariantMap& body, const ClassMsgSender& sender)
{
    QVariantMap message;
    message.insert(QStringLiteral("messageId"),
                   messageId.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : messageId);
    message.insert(QStringLiteral("messageTag"), tag);
    message.insert(QStringLiteral("token"), sender.token);
    message.insert(QStringLiteral("periodId"), sender.periodId);
    message.insert(QStringLiteral("teacherId"), sender.teacherId);
    message.insert(QStringLiteral("role"), sender.role);
    message.insert(QStringLiteral("userId"), sender.userId);
    message.insert(QStringLiteral("p"), kPlatform);
    for (auto it = body.constBegin(); it != body.constEnd(); ++it) {
        if (it.value().userType() == QMetaType::Bool)
            message.insert(it.key(), it.value().toBool() ? 1 : 0);
        else
            message.insert(it.key(), it.value());
    }
    return message;
}

QByteArray serializeClassMsg(const QVariantMap& message)
{
    return QJsonDocument(QJsonObject::fromVariantMap(message)).toJson(QJsonDocument::Compact);
}
