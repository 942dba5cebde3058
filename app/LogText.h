#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The byte form in which log lines are kept: UTF-8, except that a lone surrogate (text that is not valid
// UTF-16) keeps its code unit as a three-byte sequence, so that a kept line turns back into the very QString
// it came from.

// Room for the kept form of length UTF-16 code units.
constexpr std::size_t maxLogTextSize(std::size_t length)
{
    return 3 * length;
}

// Writes text in the kept form to out, which has room for maxLogTextSize(length) bytes; the bytes written.
// *loneSurrogate is set when the text held one (left alone otherwise).
std::size_t writeLogText(char* out, const QChar* text, std::size_t length, bool* loneSurrogate);

// The kept form as a byte array.
QByteArray toLogText(const QString& text);

// The kept form as it goes to files, in place: every lone surrogate becomes '?', as QString::toUtf8() writes
// it. The new size.
std::size_t replaceLoneSurrogates(char* data, std::size_t size);

// The QString a kept line came from.
QString logTextToString(const char* data, std::size_t size);

// Appends a kept line to out as a JSON string in double quotes, escaped as QJsonDocument writes strings.
void appendJsonString(QByteArray& out, const char* data, std::size_t size);
