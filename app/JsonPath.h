#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <string>
#include <vector>

// Reads single values out of a JSON object by '/'-separated key paths such as "data/lessonInfo/lessonId".
// Keys are the non-empty pieces between '/' ("a//b" and "/a/b/" both mean a, b); there is no array index.
class JsonPath
{
public:
    explicit JsonPath(const QJsonObject& root);

    // The value as text (see jsonValueToText); empty for a path without keys.
    QString string(const std::string& path) const;
    // The value as an array; empty when it is not one or the path has no keys.
    QJsonArray array(const std::string& path) const;
    // The raw value: null for a missing key, a path through a non-object value, or a path without keys.
    QJsonValue valueAt(const std::string& path) const;

private:
    QJsonValue valueAtKeys(const std::vector<std::string>& keys) const;

    QJsonObject m_root;
};

// The keys of a path, in order.
std::vector<std::string> splitJsonPath(const std::string& path);

// Array, object and undefined: empty; bool: "1"/"0"; number: at most 6 significant digits ('g');
// null: "0"; string: itself.
QString jsonValueToText(const QJsonValue& value);
