#include "net/api/JsonFields.h"

#include <QVariant>

#include <cmath>
#include <limits>

namespace {

bool wholeNumber(const QJsonValue& value, qint64& out)
{
    if (!value.isDouble())
        return false;
    // Qt keeps whole numbers that fit in 64 bits as integers; only larger or fractional ones are doubles.
    const QVariant variant = value.toVariant();
    if (variant.userType() == QMetaType::LongLong) {
        out = variant.toLongLong();
        return true;
    }
    const double number = value.toDouble();
    // 2^63 is exactly representable; anything at or above it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(number) || std::trunc(number) != number || number >= limit || number < -limit)
        return false;
    out = static_cast<qint64>(number);
    return true;
}

} // namespace

QString jsonWholeNumberText(const QJsonValue& value)
{
    qint64 number = 0;
    if (!wholeNumber(value, number))
        return QString();
    return QString::number(number);
}

QString jsonIdText(const QJsonValue& value)
{
    const QString text = jsonWholeNumberText(value);
    return text.isEmpty() ? QStringLiteral("0") : text;
}

int jsonInt(const QJsonValue& value, int fallback)
{
    qint64 number = 0;
    if (!wholeNumber(value, number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(number);
}

QString jsonCodeText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    return jsonWholeNumberText(value);
}

bool copyJsonIntKey(const QJsonObject& object, const QString& key, QString& out)
{
    if (!object.contains(key))
        return false;
    out = jsonIdText(object.value(key));
    return true;
}

bool copyJsonStringKey(const QJsonObject& object, const QString& key, QString& out)
{
    if (!object.contains(key))
        return false;
    out = object.value(key).toString();
    return true;
}
