#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The program's command line and opened links as option texts "--name=value".

// One option text per option found in the process arguments, argv[0] included (it becomes "--" + the path).
// Each argument is read as UTF-8, loses one trailing "/" and goes through splitOptionText. Logs every argument.
QStringList buildArgumentList(int argc, const char* const* argv);

// The names (lower case, with their "--") of the options written as "--name=value" in argv[1] onwards, read as
// buildArgumentList reads them, that readNames lacks; each once, in the order they come. The program's path and
// entries without "=" are left out.
QStringList unreadOptionNames(int argc, const char* const* argv, const QStringList& readNames);

// One mark per option text of buildArgumentList(argc, argv), in its order: true for those of an argument that is
// a link of the program's scheme.
QVector<bool> linkOptionMarks(int argc, const char* const* argv);

// The entries of list whose mark in fromLink is false (entries beyond the marks are kept): what the toolkit and the
// browser engine may see. A link's options are the program's alone; as switches they could start other programs.
QStringList withoutLinkOptions(const QStringList& list, const QVector<bool>& fromLink);

// Splits text at every "--" and appends "--" + part for every part that is not empty, each part percent-decoded
// (only "%" followed by two hexadecimal digits) and trimmed. A part that trims to nothing is appended as "--".
void splitOptionText(const QString& text, QStringList& out);

// splitOptionText over the first count entries of list.
QStringList normalizeArguments(int count, const QStringList& list);

// Logs every entry ("argv[n]: ...") and then the whole command line ("allCmd: ..."); the entry with the lesson
// name is left out of the whole line and of the count. Token values are masked.
void logArguments(const QStringList& list);

// The option texts of an opened link: the text is split at "?", each part trimmed, percent-decoded and split
// at blanks, and every piece trimmed.
QStringList splitOpenedLink(const QString& url);

// One option text's key (lower case, with its "--") and value (everything after the first "=", trimmed, so values
// may hold "=" themselves); false for a text without "=".
bool readOptionEntry(const QString& entry, QString& key, QString& value);

// The options table of a parse: key -> value of every entry as readOptionEntry reads it. An entry without "=" is
// ignored. A later entry wins.
QHash<QString, QString> readOptionTable(const QStringList& list);

// Decodes "%" followed by two hexadecimal digits; any other "%" stays as it is.
QByteArray percentDecode(const QByteArray& bytes);
