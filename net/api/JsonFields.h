#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Reading single fields of class-service replies. Whole numbers keep every digit: ids travel as JSON numbers
// that may not fit in 32 bits, and must never come out in exponent form.

// The decimal text of a whole JSON number within 64 bits; empty for anything else (strings, fractions, ...).
QString jsonWholeNumberText(const QJsonValue& value);

// A whole JSON number's decimal text, or "0" for anything else (absent, string, fraction, ...).
QString jsonIdText(const QJsonValue& value);

// A whole JSON number within 32 bits; fallback for anything else.
int jsonInt(const QJsonValue& value, int fallback = 0);

// A JSON string as it is, a whole number as its decimal text; empty for anything else. Reply codes arrive
// either way.
QString jsonCodeText(const QJsonValue& value);

// When the object has the key: out := the value as a whole number's decimal text, true. Else false, out kept.
bool copyJsonIntKey(const QJsonObject& object, const QString& key, QString& out);
// When the object has the key: out := the value as text (a string, or "" for other types), true. Else false.
bool copyJsonStringKey(const QJsonObject& object, const QString& key, QString& out);
