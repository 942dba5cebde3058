#include "net/http/SecretMask.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace SecretMask {

namespace {

// Compared once the key is decoded the way its reader decodes it, in any case.
bool isSecretKey(const QString& key)
{
    static const QStringList keys{QStringLiteral("token"), QStringLiteral("authtoken"),
                                  QStringLiteral("accessKeySecret"), QStringLiteral("securityToken")};
    const QString trimmed = key.trimmed();
    for (const QString& secret : keys) {
        if (trimmed.compare(secret, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A JSON string's inner text with its escapes resolved; the text itself when it does not parse.
QString jsonUnescaped(const QString& inner)
{
    if (!inner.contains('\\'))
        return inner;
    const QJsonDocument document = QJsonDocument::fromJson("[\"" + inner.toUtf8() + "\"]");
    return document.isArray() ? document.array().at(0).toString(inner) : inner;
}

QString percentDecoded(const QString& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

const QRegularExpression& jsonMemberPattern()
{
    // "key" : "value" with JSON escapes inside key and value; an unterminated value runs to the end.
    static const QRegularExpression pattern(
        QStringLiteral("(\"((?:[^\"\\\\]|\\\\.)*)\"\\s*:\\s*\")((?:[^\"\\\\]|\\\\.)*)(\"|\\\\?$)"));
    return pattern;
}

const QRegularExpression& encodedJsonMemberPattern()
{
    // %22key%22%3A%22value%22; an escaped quote inside the value is %5C%22. Where the value ends in a
    // backslash the match runs on to a later quote: more is masked, never less.
    static const QRegularExpression pattern(QStringLiteral("(%22((?:(?!%22).)*?)%22%3A%22)(.*?)((?<!%5C)%22|$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression& queryFieldPattern()
{
    // key=value of a query or form, also percent-encoded inside another query ("%3Fkey%3Dvalue%26"), where the
    // key names a signature, a token or a secret ("Signature", "X-Amz-Security-Token", "sign", ...). The value
    // ends at the next field, a fragment, a blank, a quote or the end of the text.
    static const QRegularExpression pattern(
        QStringLiteral("((?:^|[\\r\\n?&;]|%3F|%26)[ \\t]*(?:[A-Za-z0-9_.-]*(?:signature|token|secret)|sign|sig)"
                       "[ \\t]*(?:=|%3D)[ \\t]*)((?:(?!%26)[^&#\\s\"'<>\\\\])*)"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Replaces the group valueGroup of every match that accept takes.
template <typename Accept>
QString replaceValues(const QString& text, const QRegularExpression& pattern, int valueGroup, Accept accept)
{
    QString result;
    int copied = 0;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (!accept(match))
            continue;
        result += text.midRef(copied, match.capturedStart(valueGroup) - copied);
        result += maskText();
        copied = match.capturedEnd(valueGroup);
    }
    if (copied == 0)
        return text;
    result += text.midRef(copied);
    return result;
}

bool isLineEnd(QChar c)
{
    return c == '\r' || c == '\n';
}

bool isFieldEnd(QChar c)
{
    return isLineEnd(c) || c == '?' || c == '&' || c == ';';
}

// key:value or key=value at the start of the text or a line, or after "?", "&" or ";", the key percent-decoded.
// A header line's value (a key at a line's start, then ":") runs to the end of the line; any other value to the
// end of its line or field.
QString replaceFieldValues(const QString& text)
{
    QString result;
    int copied = 0;
    const int size = text.size();
    int start = 0;
    while (start <= size) {
        const bool lineStart = start == 0 || isLineEnd(text.at(start - 1));
        int i = start;
        while (i < size && (text.at(i) == ' ' || text.at(i) == '\t'))
            ++i;
        const int keyStart = i;
        while (i < size && !isFieldEnd(text.at(i)) && text.at(i) != ':' && text.at(i) != '=')
            ++i;
        const bool separated = i < size && (text.at(i) == ':' || text.at(i) == '=');
        if (separated && isSecretKey(percentDecoded(text.mid(keyStart, i - keyStart)))) {
            const bool headerLine = lineStart && text.at(i) == ':';
            ++i;
            while (i < size && (text.at(i) == ' ' || text.at(i) == '\t'))
                ++i;
            const int valueStart = i;
            while (i < size && !isLineEnd(text.at(i)) && (headerLine || text.at(i) != '&'))
                ++i;
            result += text.midRef(copied, valueStart - copied);
            result += maskText();
            copied = i;
        }
        while (i < size && !isFieldEnd(text.at(i)))
            ++i;
        start = i + 1;
    }
    if (copied == 0)
        return text;
    result += text.midRef(copied);
    return result;
}

} // namespace

QString maskSecrets(const QString& text)
{
    // Keys may be percent-encoded or hold JSON escapes.
    if (!text.contains(QLatin1String("token"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("secret"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("sig"), Qt::CaseInsensitive) && !text.contains('%') && !text.contains('\\'))
        return text;
    // The JSON patterns capture the key (2) and the value (3).
    QString masked = replaceValues(text, jsonMemberPattern(), 3, [](const QRegularExpressionMatch& match) {
        return isSecretKey(jsonUnescaped(match.captured(2)));
    });
    masked = replaceValues(masked, encodedJsonMemberPattern(), 3, [](const QRegularExpressionMatch& match) {
        return isSecretKey(jsonUnescaped(percentDecoded(match.captured(2))));
    });
    masked = replaceFieldValues(masked);
    return replaceValues(masked, queryFieldPattern(), 2, [](const QRegularExpressionMatch&) { return true; });
}

QString logExcerpt(const QString& text, int maxChars)
{
    if (maxChars < 0 || text.size() <= maxChars)
        return maskSecrets(text);
    return maskSecrets(text.left(maxChars)) + QStringLiteral(" ... (%1 characters in all)").arg(text.size());
}

} // namespace SecretMask
