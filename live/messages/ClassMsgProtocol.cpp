#include "live/messages/ClassMsgProtocol.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <climits>
#include <cmath>

namespace {

// A received value reduced to what the readers tell apart.
struct Scalar
{
    enum Kind
    {
        Other,
        Number,
        Boolean,
        Text,
    };
    Kind kind = Other;
    double number = 0;
    bool flag = false;
    const QVariant* variant = nullptr; // the text, for Text
    const QJsonValue* json = nullptr;  // the text, for Text held in a QJsonValue
};

Scalar scalarOf(const QVariant& value)
{
    Scalar scalar;
    switch (value.userType()) {
    case QMetaType::QJsonValue: {
        const QJsonValue* json = static_cast<const QJsonValue*>(value.constData());
        if (json->isDouble()) {
            scalar.kind = Scalar::Number;
            scalar.number = json->toDouble();
        } else if (json->isBool()) {
            scalar.kind = Scalar::Boolean;
            scalar.flag = json->toBool();
        } else if (json->isString()) {
            scalar.kind = Scalar::Text;
            scalar.json = json;
        }
        break;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        scalar.kind = Scalar::Number;
        scalar.number = value.toDouble();
        break;
    case QMetaType::Bool:
        scalar.kind = Scalar::Boolean;
        scalar.flag = value.toBool();
        break;
    case QMetaType::QString:
        scalar.kind = Scalar::Text;
        scalar.variant = &value;
        break;
    default:
        break;
    }
    return scalar;
}

bool wholeInt(double number, int& out)
{
    if (!std::isfinite(number) || number < double(INT_MIN) || number > double(INT_MAX) || std::trunc(number) != number)
        return false;
    out = int(number);
    return true;
}

QVariantMap teacherCommand(const QString& subTag)
{
    return QVariantMap{{QStringLiteral("subTag"), subTag}};
}

} // namespace

int getPostMsgFromUserRole(int accountType)
{
    switch (accountType) {
    case 1:
        return ClassMsgRole_Pupil;
    case 2:
        return ClassMsgRole_Teacher;
    default:
        qWarning() << "getPostMsgFromUserRole Failed!" << accountType;
        return ClassMsgRole_Other;
    }
}

namespace ClassMsgBody {

QVariantMap leaveClass(bool stopClass)
{
    return QVariantMap{{QStringLiteral("type"), stopClass ? 1 : 0}};
}

QVariantMap openStudentMicrophone(int userId)
{
    return QVariantMap{{QStringLiteral("userId"), userId}};
}

QVariantMap screenShare(bool enabled)
{
    QVariantMap body = teacherCommand(ClassMsgSubTag::screenShare());
    body.insert(QStringLiteral("enabled"), enabled ? 1 : 0);
    return body;
}

QVariantMap award(int toUserId, int point, int total)
{
    QVariantMap body = teacherCommand(ClassMsgSubTag::award());
    body.insert(QStringLiteral("toUserId"), toUserId);
    body.insert(QStringLiteral("point"), point);
    body.insert(QStringLiteral("total"), total);
    return body;
}

QVariantMap enableControl(int toUserId, bool enabled)
{
    QVariantMap body = teacherCommand(ClassMsgSubTag::enableControl());
    body.insert(QStringLiteral("toUserId"), toUserId);
    body.insert(QStringLiteral("enabled"), enabled ? 1 : 0);
    return body;
}

QVariantMap teacherAudio(bool isMute)
{
    QVariantMap body = teacherCommand(ClassMsgSubTag::teacherAudio());
    body.insert(QStringLiteral("isMute"), isMute ? 1 : 0);
    return body;
}

QVariantMap drop(int toUserId)
{
    QVariantMap body = teacherCommand(ClassMsgSubTag::drop());
    body.insert(QStringLiteral("toUserId"), toUserId);
    return body;
}

} // namespace ClassMsgBody

namespace ClassMsgField {

int intValue(const QVariantMap& body, const QString& key, int defaultValue)
{
    const auto found = body.constFind(key);
    if (found == body.constEnd())
        return defaultValue;
    const Scalar scalar = scalarOf(*found);
    int value = defaultValue;
    if (scalar.kind == Scalar::Number && wholeInt(scalar.number, value))
        return value;
    return defaultValue;
}

bool flagValue(const QVariantMap& body, const QString& key, bool defaultValue)
{
    const auto found = body.constFind(key);
    if (found == body.constEnd())
        return defaultValue;
    const Scalar scalar = scalarOf(*found);
    if (scalar.kind == Scalar::Number)
        return !std::isnan(scalar.number) && scalar.number != 0;
    if (scalar.kind == Scalar::Boolean)
        return scalar.flag;
    return defaultValue;
}

QString textValue(const QVariantMap& body, const QString& key)
{
    const auto found = body.constFind(key);
    if (found == body.constEnd())
        return QString();
    const Scalar scalar = scalarOf(*found);
    if (scalar.kind != Scalar::Text)
        return QString();
    return scalar.json ? scalar.json->toString() : scalar.variant->toString();
}

} // namespace ClassMsgField

bool parseClassMsg(const QByteArray& utf8, ReceivedClassMsg& out, QString* whyNot)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (error.error != QJsonParseError::NoError) {
        if (whyNot)
            *whyNot = QStringLiteral("not JSON (%1 at offset %2)").arg(error.errorString()).arg(error.offset);
        return false;
    }
    if (!document.isObject()) {
        if (whyNot)
            *whyNot = QStringLiteral("not a JSON object");
        return false;
    }

    const QJsonObject object = document.object();
    ReceivedClassMsg message;
    const QLatin1String idKey("messageId");
    const QLatin1String tagKey("messageTag");
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QString key = it.key();
        if (key == idKey) {
            message.messageId = it.value().toString();
        } else if (key == tagKey) {
            int tag = ClassMsgTag_None;
            if (it.value().isDouble() && wholeInt(it.value().toDouble(), tag))
                message.tag = tag;
        } else {
            message.body.insert(key, QVariant(it.value()));
        }
    }
    out = std::move(message);
    return true;
}
