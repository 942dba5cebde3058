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
        Other, // missing, null, an array, an object
        Number,
        Boolean,
        Text,
    };
    Kind kind = Other;
    double number = 0;
    bool flag = false;
    QString text; // filled only when asked for
};

Scalar scalarOfJson(const QJsonValue& json, bool wantText)
{
    Scalar scalar;
    if (json.isDouble()) {
        scalar.kind = Scalar::Number;
        scalar.number = json.toDouble();
    } else if (json.isBool()) {
        scalar.kind = Scalar::Boolean;
        scalar.flag = json.toBool();
    } else if (json.isString()) {
        scalar.kind = Scalar::Text;
        if (wantText)
            scalar.text = json.toString();
    }
    return scalar;
}

Scalar scalarOfVariant(const QVariant& value, bool wantText)
{
    Scalar scalar;
    switch (value.userType()) {
    case QMetaType::QJsonValue:
        return scalarOfJson(*static_cast<const QJsonValue*>(value.constData()), wantText);
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
        if (wantText)
            scalar.text = value.toString();
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

namespace {

Scalar scalarAt(const QVariantMap* map, const QJsonObject* object, QLatin1String key, bool wantText)
{
    if (object)
        return scalarOfJson(object->value(key), wantText);
    const auto found = map->constFind(QString(key));
    return found == map->constEnd() ? Scalar() : scalarOfVariant(*found, wantText);
}

} // namespace

int ClassMsgBodyView::intValue(QLatin1String key, int defaultValue) const
{
    const Scalar scalar = scalarAt(m_map, m_object, key, false);
    int value = defaultValue;
    if (scalar.kind == Scalar::Number && wholeInt(scalar.number, value))
        return value;
    return defaultValue;
}

bool ClassMsgBodyView::flagValue(QLatin1String key, bool defaultValue) const
{
    const Scalar scalar = scalarAt(m_map, m_object, key, false);
    if (scalar.kind == Scalar::Number)
        return !std::isnan(scalar.number) && scalar.number != 0;
    if (scalar.kind == Scalar::Boolean)
        return scalar.flag;
    return defaultValue;
}

QString ClassMsgBodyView::textValue(QLatin1String key) const
{
    return scalarAt(m_map, m_object, key, true).text;
}

QJsonValue ClassMsgBodyView::jsonValue(QLatin1String key) const
{
    if (m_object)
        return m_object->value(key);
    const auto found = m_map->constFind(QString(key));
    if (found == m_map->constEnd())
        return QJsonValue(QJsonValue::Undefined);
    if (found->userType() == QMetaType::QJsonValue)
        return *static_cast<const QJsonValue*>(found->constData());
    return QJsonValue::fromVariant(*found);
}

QString ReceivedClassMsg::messageId() const
{
    return object.value(QLatin1String("messageId")).toString();
}

QVariantMap ReceivedClassMsg::body() const
{
    QVariantMap members;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QString key = it.key();
        if (key != QLatin1String("messageId") && key != QLatin1String("messageTag"))
            members.insert(key, QVariant(it.value()));
    }
    return members;
}

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

    out.object = document.object();
    const QJsonValue tag = out.object.value(QLatin1String("messageTag"));
    int number = ClassMsgTag_None;
    out.tag = tag.isDouble() && wholeInt(tag.toDouble(), number) ? number : int(ClassMsgTag_None);
    return true;
}
