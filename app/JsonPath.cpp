#include "app/JsonPath.h"

#include <cstring>

JsonPath::JsonPath(const QJsonObject& root)
    : m_root(root)
{
}

QString JsonPath::string(const std::string& path) const
{
    const std::vector<std::string> keys = splitJsonPath(path);
    return keys.empty() ? QString() : jsonValueToText(valueAtKeys(keys));
}

QJsonArray JsonPath::array(const std::string& path) const
{
    const std::vector<std::string> keys = splitJsonPath(path);
    return keys.empty() ? QJsonArray() : valueAtKeys(keys).toArray();
}

QJsonValue JsonPath::valueAt(const std::string& path) const
{
    return valueAtKeys(splitJsonPath(path));
}

QJsonValue JsonPath::valueAtKeys(const std::vector<std::string>& keys) const
{
    QJsonObject current = m_root;
    QJsonValue value(QJsonValue::Null);
    for (const std::string& key : keys) {
        const QString name = QString::fromUtf8(key.data(), int(key.size()));
        const auto it = current.constFind(name);
        value = it == current.constEnd() ? QJsonValue(QJsonValue::Null) : it.value();
        current = value.toObject();
    }
    return value;
}

std::vector<std::string> splitJsonPath(const std::string& path)
{
    // The path is read as C text (up to its first NUL byte), cut at every '/'; empty pieces vanish.
    // No strtok: the API client reads replies on several threads at once.
    std::vector<std::string> keys;
    const char* cursor = path.c_str();
    while (*cursor != '\0') {
        const size_t length = std::strcspn(cursor, "/");
        if (length > 0)
            keys.emplace_back(cursor, length);
        cursor += length;
        if (*cursor == '/')
            ++cursor;
    }
    return keys;
}

QString jsonValueToText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Array:
        return QString();
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 6);
    case QJsonValue::Null:
        return QStringLiteral("0");
    case QJsonValue::Object:
    case QJsonValue::Undefined:
        return QString();
    case QJsonValue::String:
        return value.toString();
    }
    return QString();
}
