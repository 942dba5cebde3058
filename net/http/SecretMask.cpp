#include "net/http/SecretMask.h"

#include <QRegularExpression>

namespace SecretMask {

namespace {

constexpr char kSecretKeys[] = "(?:token|authtoken|accessKeySecret|securityToken)";

const QRegularExpression& jsonMemberPattern()
{
    // "key" : "value" with JSON escapes inside the value; an unterminated value runs to the end.
    static const QRegularExpression pattern(
        QStringLiteral("(\"%1\"\\s*:\\s*\")((?:[^\"\\\\]|\\\\.)*)(\"|\\\\?$)").arg(QLatin1String(kSecretKeys)),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression& encodedJsonMemberPattern()
{
    // %22key%22%3A%22value%22; an escaped quote inside the value is %5C%22. Where the value ends in a
    // backslash the match runs on to a later quote: more is masked, never less.
    static const QRegularExpression pattern(
        QStringLiteral("(%22%1%22%3A%22)(.*?)((?<!%5C)%22|$)").arg(QLatin1String(kSecretKeys)),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression& lineOrFieldPattern()
{
    // key:value or key=value at the start of a line or after "?", "&" or ";"; the value runs to the end of
    // the line or field.
    static const QRegularExpression pattern(
        QStringLiteral("((?:^|[\\r\\n?&;])[ \\t]*%1[ \\t]*[:=][ \\t]*)([^\\r\\n&]*)").arg(QLatin1String(kSecretKeys)),
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

QString replaceValues(const QString& text, const QRegularExpression& pattern, bool hasClosing)
{
    QString result;
    int copied = 0;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += text.midRef(copied, match.capturedStart(0) - copied);
        result += match.captured(1);
        result += maskText();
        if (hasClosing)
            result += match.captured(3);
        copied = match.capturedEnd(0);
    }
    if (copied == 0)
        return text;
    result += text.midRef(copied);
    return result;
}

} // namespace

QString maskSecrets(const QString& text)
{
    if (!text.contains(QLatin1String("token"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("secret"), Qt::CaseInsensitive) &&
        !text.contains(QLatin1String("sig"), Qt::CaseInsensitive))
        return text;
    QString masked = replaceValues(text, jsonMemberPattern(), true);
    masked = replaceValues(masked, encodedJsonMemberPattern(), true);
    masked = replaceValues(masked, lineOrFieldPattern(), false);
    return replaceValues(masked, queryFieldPattern(), false);
}

QString logExcerpt(const QString& text, int maxChars)
{
    if (maxChars < 0 || text.size() <= maxChars)
        return maskSecrets(text);
    return maskSecrets(text.left(maxChars)) + QStringLiteral(" ... (%1 characters in all)").arg(text.size());
}

} // namespace SecretMask
