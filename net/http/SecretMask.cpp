#include "net/http/SecretMask.h"

#include "net/http/SecretKeys.h"
#include "net/http/SecretMaskScan.h"

#include <QStringView>

namespace SecretMask {

namespace {

bool isLineEnd(QChar c)
{
    return c == '\r' || c == '\n';
}

bool isFieldEnd(QChar c)
{
    return SecretMaskScan::isFieldEnd(c.unicode());
}

// Blanks of JSON and of query values: space, tab, line feed, vertical tab, form feed, carriage return.
bool isAsciiSpace(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

bool isBlank(QChar c)
{
    return c == ' ' || c == '\t';
}

// Whether text holds pattern (ASCII, upper case) at position at, letters in any case.
bool hasAt(QStringView text, int at, QLatin1String pattern)
{
    if (at < 0 || text.size() - at < pattern.size())
        return false;
    for (int i = 0; i < pattern.size(); ++i) {
        ushort c = text[at + i].unicode();
        if (c >= 'a' && c <= 'z')
            c = ushort(c - ('a' - 'A'));
        if (c != uchar(pattern.data()[i]))
            return false;
    }
    return true;
}

// The text with some ranges replaced by maskText(), made as ranges come (in order, apart).
class MaskedText
{
public:
    explicit MaskedText(QStringView text)
        : m_text(text)
    {
    }

    void mask(int from, int to)
    {
        if (!m_masked)
            // Room for the masks, and for a short prefix a log line puts in front.
            m_result.reserve(m_text.size() + 64);
        m_masked = true;
        m_result.append(m_text.data() + m_copied, from - m_copied);
        m_result.append(maskText());
        m_copied = to;
    }

    bool masked() const { return m_masked; }

    QString finish()
    {
        m_result.append(m_text.data() + m_copied, m_text.size() - m_copied);
        return m_result;
    }

private:
    QStringView m_text;
    QString m_result;
    int m_copied = 0;
    bool m_masked = false;
};

// Where the inner text of a JSON string starting at from ends: at its closing quote; without one, at the end of
// the text, or at a backslash that ends the text or a line (an escape needs a character of the line). *escaped is
// set when it holds an escape.
int jsonStringEnd(const ushort* text, const SecretMaskScan& marks, int from, int size, bool* escaped)
{
    for (;;) {
        const int quote = marks.nextQuote(from);
        const int backslash = marks.nextBackslash(from);
        if (quote < backslash)
            return quote;
        if (backslash == size || backslash + 1 == size || text[backslash + 1] == '\n')
            return backslash;
        *escaped = true;
        from = backslash + 2;
    }
}

// Where the member whose value ends at valueEnd (jsonStringEnd) ends: after the closing quote, or at the end of
// the text, before a last line feed there; -1 when the value is not closed that way.
int jsonValueMatchEnd(const ushort* text, int size, int valueEnd)
{
    if (valueEnd == size)
        return size;
    if (text[valueEnd] == '"')
        return valueEnd + 1;
    // A backslash: it ends the text, or only a last line feed follows.
    if (valueEnd + 1 == size)
        return size;
    return valueEnd + 2 == size ? valueEnd + 1 : -1;
}

int skipJsonBlanks(const ushort* text, int at, int size)
{
    while (at < size && isAsciiSpace(QChar(text[at])))
        ++at;
    return at;
}

// "key" : "value" with JSON escapes inside key and value; an unterminated value runs to the end. A member's value
// is not searched for further members. Also gives what the scan found for the other masks (SecretMaskScan::Found).
unsigned maskJsonMembers(QStringView view, MaskedText& masked)
{
    const ushort* text = reinterpret_cast<const ushort*>(view.utf16());
    const int size = int(view.size());
    const SecretMaskScan marks(text, size);
    const int lastKeyStart = marks.lastSecretKeyStart();
    int i = 0;
    for (;;) {
        const int quote = marks.nextQuote(i);
        if (quote == size || quote > lastKeyStart)
            break;
        bool keyEscaped = false;
        const int keyEnd = jsonStringEnd(text, marks, quote + 1, size, &keyEscaped);
        // Not a member from here: the next quote may start one.
        i = quote + 1;
        if (keyEnd == size || text[keyEnd] != '"')
            continue;
        int at = skipJsonBlanks(text, keyEnd + 1, size);
        if (at == size || text[at] != ':')
            continue;
        at = skipJsonBlanks(text, at + 1, size);
        if (at == size || text[at] != '"')
            continue;
        const int valueStart = at + 1;
        bool valueEscaped = false;
        const int valueEnd = jsonStringEnd(text, marks, valueStart, size, &valueEscaped);
        const int matchEnd = jsonValueMatchEnd(text, size, valueEnd);
        if (matchEnd < 0)
            continue;
        if (SecretKeys::isSecretJsonKey(view.mid(quote + 1, keyEnd - quote - 1), keyEscaped))
            masked.mask(valueStart, valueEnd);
        i = matchEnd;
    }
    return marks.found();
}

// %22key%22%3A%22value%22, any case; an escaped quote inside the value is %5C%22. Key and value stay on one line;
// the value may run to the end of the text. Where the value ends in a backslash the match runs on to a later
// quote: more is masked, never less.
void maskEncodedJsonMembers(QStringView text, MaskedText& masked)
{
    const QLatin1String quote("%22");
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        if (!hasAt(text, i, quote))
            continue;
        int keyEnd = i + 3;
        while (keyEnd < size && text[keyEnd] != '\n' && !hasAt(text, keyEnd, quote))
            ++keyEnd;
        if (!hasAt(text, keyEnd, QLatin1String("%22%3A%22")))
            continue;
        const int valueStart = keyEnd + 9;
        int valueEnd = valueStart;
        int matchEnd = -1;
        for (; valueEnd <= size; ++valueEnd) {
            if (valueEnd == size || (valueEnd == size - 1 && text[valueEnd] == '\n')) {
                matchEnd = valueEnd;
                break;
            }
            if (hasAt(text, valueEnd, quote) && !hasAt(text, valueEnd - 3, QLatin1String("%5C"))) {
                matchEnd = valueEnd + 3;
                break;
            }
            if (text[valueEnd] == '\n')
                break;
        }
        if (matchEnd < 0)
            continue;
        if (SecretKeys::isSecretJsonKey(SecretKeys::percentDecoded(text.mid(i + 3, keyEnd - i - 3))))
            masked.mask(valueStart, valueEnd);
        i = matchEnd - 1;
    }
}

// key:value or key=value at the start of the text or a line, or after "?", "&" or ";", the key percent-decoded.
// A header line's value (a key at a line's start, then ":") runs to the end of the line; any other value to the
// end of its line or field. firstOnly: the text holds no line end or separator, so only its start is a field.
void maskFieldValues(QStringView text, MaskedText& masked, bool firstOnly)
{
    const int size = text.size();
    int start = 0;
    while (start <= size) {
        const bool lineStart = start == 0 || isLineEnd(text[start - 1]);
        int i = start;
        while (i < size && isBlank(text[i]))
            ++i;
        const int keyStart = i;
        while (i < size && !isFieldEnd(text[i]) && text[i] != ':' && text[i] != '=')
            ++i;
        const bool separated = i < size && (text[i] == ':' || text[i] == '=');
        if (separated && SecretKeys::isSecretFieldKey(text.mid(keyStart, i - keyStart))) {
            const bool headerLine = lineStart && text[i] == ':';
            ++i;
            while (i < size && isBlank(text[i]))
                ++i;
            const int valueStart = i;
            while (i < size && !isLineEnd(text[i]) && (headerLine || text[i] != '&'))
                ++i;
            masked.mask(valueStart, i);
        }
        if (firstOnly)
            return;
        while (i < size && !isFieldEnd(text[i]))
            ++i;
        start = i + 1;
    }
}

bool endsQueryValue(QStringView text, int at)
{
    const QChar c = text[at];
    return c == '&' || c == '#' || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\' || isAsciiSpace(c) ||
           hasAt(text, at, QLatin1String("%26"));
}

// A query field "key=value" whose key starts at keyFrom (after blanks), the "=" possibly percent-encoded: masks
// the value when the key names a secret; the value's end, or -1 when there is no such field.
int maskQueryField(QStringView text, int keyFrom, MaskedText& masked)
{
    const int size = text.size();
    int i = keyFrom;
    while (i < size && isBlank(text[i]))
        ++i;
    const int keyStart = i;
    while (i < size && SecretKeys::isQueryKeyChar(text[i]))
        ++i;
    if (!SecretKeys::isSecretQueryKey(text.mid(keyStart, i - keyStart)))
        return -1;
    while (i < size && isBlank(text[i]))
        ++i;
    if (i < size && text[i] == '=')
        ++i;
    else if (hasAt(text, i, QLatin1String("%3D")))
        i += 3;
    else
        return -1;
    while (i < size && isBlank(text[i]))
        ++i;
    const int valueStart = i;
    while (i < size && !endsQueryValue(text, i))
        ++i;
    masked.mask(valueStart, i);
    return i;
}

// key=value of a query or form, also percent-encoded inside another query ("%3Fkey%3Dvalue%26"), where the key
// names a signature, a token or a secret. The value ends at the next field, a fragment, a blank, a quote or the
// end of the text. A field starts the text or follows a line end, "?", "&", ";", "%3F" or "%26". firstOnly: the
// text holds none of these, so only its start is a field.
void maskQueryFields(QStringView text, MaskedText& masked, bool firstOnly)
{
    const int size = text.size();
    int i = 0;
    while (i < size || i == 0) {
        int end = i == 0 ? maskQueryField(text, 0, masked) : -1;
        if (firstOnly)
            return;
        if (end < 0 && i < size) {
            if (isFieldEnd(text[i]))
                end = maskQueryField(text, i + 1, masked);
            else if (hasAt(text, i, QLatin1String("%3F")) || hasAt(text, i, QLatin1String("%26")))
                end = maskQueryField(text, i + 3, masked);
        }
        i = end >= 0 ? end : i + 1;
    }
}

// The text with every secret masked; whole is the same text as a QString, when there is one, handed back as it
// is when nothing needs masking. The members of JSON texts are found in one scan, which also tells whether the
// scans for encoded members, header lines and fields have anything to look at.
QString maskSecretsIn(QStringView text, const QString* whole)
{
    QString current;
    QStringView view = text;
    bool changed = false;
    const auto scan = [&](auto&& maskIn) {
        MaskedText masked(view);
        maskIn(view, masked);
        if (masked.masked()) {
            current = masked.finish();
            view = current;
            changed = true;
        }
    };
    unsigned found = 0;
    scan([&found](QStringView in, MaskedText& masked) { found = maskJsonMembers(in, masked); });
    if (found & SecretMaskScan::kPercent)
        scan([](QStringView in, MaskedText& masked) { maskEncodedJsonMembers(in, masked); });
    const bool startOnly = !(found & SecretMaskScan::kFieldEnd);
    scan([startOnly](QStringView in, MaskedText& masked) { maskFieldValues(in, masked, startOnly); });
    scan([startOnly, found](QStringView in, MaskedText& masked) {
        maskQueryFields(in, masked, startOnly && !(found & SecretMaskScan::kPercent));
    });
    if (changed)
        return current;
    return whole ? *whole : text.toString();
}

} // namespace

QString maskSecrets(const QString& text)
{
    return maskSecretsIn(text, &text);
}

QString logExcerpt(const QString& text, int maxChars)
{
    if (maxChars < 0 || text.size() <= maxChars)
        return maskSecretsIn(text, &text);
    return maskSecretsIn(QStringView(text).left(maxChars), nullptr) +
           QStringLiteral(" ... (%1 characters in all)").arg(text.size());
}

} // namespace SecretMask
