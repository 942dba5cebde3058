#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>

// A (key, value) pair of a parameter list: web-page addresses and class-service calls.
using KeyValuePair = QPair<QString, QString>;

namespace StringUtil {

// Sort order of parameter lists: keys compared after lower-casing ASCII letters, then code unit by code
// unit, a key that is a prefix of the other first. True when a's key sorts before b's.
bool keyLessNoCase(const KeyValuePair& a, const KeyValuePair& b);

// Each UTF-16 code unit narrowed to its low byte (no UTF-8 encoding): the bytes that signatures are made of.
QByteArray lowBytes(const QString& text);

// The text read as a base-10 number; 0 when it is not a number or does not fit in 32 bits.
qint32 wstringToLong(const QString& text);

} // namespace StringUtil
