#include "net/http/SecretMask.h"

#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace SecretMask {

namespace {

// The characters that bring the scans after the first: percent escapes, and line ends and field separators.
enum Triggers : unsigned
{
    kPercent = 1,
    kFieldEnd = 2,
};

bool isLineEnd(QChar c)
{
    return c == '\r' || c == '\n';
}

bool isFieldEnd(QChar c)
{
    return isLineEnd(c) || c == '?' || c == '&' || c == ';';
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

unsigned triggersOf(QChar c)
{
    if (c == '%')
        return kPercent;
    return isFieldEnd(c) ? unsigned(kFieldEnd) : 0u;
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

// key equals secret (ASCII, lower case) in any case, as QString compares without case (a few other characters fold
// to ASCII letters, such as the Kelvin sign to "k").
bool equalsIgnoringCase(QStringView key, const char* secret)
{
    for (int i = 0; i < key.size(); ++i) {
        ushort c = key[i].unicode();
        if (c >= 0x80)
            return key.compare(QLatin1String(secret), Qt::CaseInsensitive) == 0;
        if (c >= 'A' && c <= 'Z')
            c = ushort(c + ('a' - 'A'));
        if (c != uchar(secret[i]))
            return false;
    }
    return true;
}

bool isSecretKeyText(QStringView key)
{
    // Most keys are told apart by their length.
    const bool trimmed = !key.isEmpty() && key.front().unicode() > ' ' && key.front().unicode() < 0x80 &&
                         key.back().unicode() > ' ' && key.back().unicode() < 0x80;
    const QStringView name = trimmed ? key : key.trimmed();
    switch (name.size()) {
    case 5:
        return equalsIgnoringCase(name, "token");
    case 9:
        return equalsIgnoringCase(name, "authtoken");
    case 13:
        return equalsIgnoringCase(name, "securitytoken");
    case 15:
        return equalsIgnoringCase(name, "accesskeysecret");
    default:
        return false;
    }
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// A JSON string's inner text as a secret key once its escapes are resolved; taken as it stands when an escape
// is broken. escaped: the text may hold escapes.
bool isSecretJsonKey(QStringView key, bool escaped = true)
{
    if (!escaped || !key.contains(QLatin1Char('\\')))
        return isSecretKeyText(key);
    QVarLengthArray<QChar, 64> decoded;
    for (int i = 0; i < key.size(); ++i) {
        if (key[i] != '\\') {
            decoded.append(key[i]);
            continue;
        }
        if (++i == key.size())
            return isSecretKeyText(key);
        const QChar escaped = key[i];
        switch (escaped.unicode()) {
        case 'b':
            decoded.append(QChar(0x8));
            break;
        case 'f':
            decoded.append(QChar(0xC));
            break;
        case 'n':
            decoded.append(QChar(0xA));
            break;
        case 'r':
            decoded.append(QChar(0xD));
            break;
        case 't':
            decoded.append(QChar(0x9));
            break;
        case 'u': {
            int value = 0;
            for (int digit = 1; digit <= 4; ++digit) {
                const int hex = i + digit < key.size() ? hexValue(key[i + digit]) : -1;
                if (hex < 0)
                    return isSecretKeyText(key);
                value = value * 16 + hex;
            }
            decoded.append(QChar(ushort(value)));
            i += 4;
            break;
        }
        default:
            decoded.append(escaped);
        }
    }
    return isSecretKeyText(QStringView(decoded.constData(), decoded.size()));
}

QString percentDecoded(QStringView text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

// A key of a field or header line, percent escapes resolved.
bool isSecretFieldKey(QStringView key)
{
    if (!key.contains(QLatin1Char('%')))
        return isSecretKeyText(key);
    return isSecretKeyText(percentDecoded(key));
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

// The quotes and the backslashes of a text, a bit for each position, and the triggers it holds: made in one
// sweep (vectorised where the processor allows), so that the JSON members are then found without looking at every
// character again.
class QuoteMarks
{
public:
    QuoteMarks(const ushort* text, int size)
        : m_words(2 * ((size + 63) / 64))
        , m_size(unsigned(size))
        , m_count(unsigned(size + 63) / 64)
    {
        std::fill(m_words.begin(), m_words.end(), quint64(0));
        quint64* quotes = m_words.data();
        quint64* backslashes = quotes + m_count;
        unsigned i = 0;
#if defined(__SSE2__)
        __m128i percents = _mm_setzero_si128();
        __m128i ends = _mm_setzero_si128();
        for (; i + 16 <= m_size; i += 16) {
            // Sixteen characters as bytes: those above 255 become 0 or 255, which none of the wanted ones is.
            const __m128i bytes = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i)),
                                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8)));
            quotes[i / 64] |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')))))
                              << (i % 64);
            backslashes[i / 64] |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')))))
                                   << (i % 64);
            percents = _mm_or_si128(percents, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('%')));
            ends = _mm_or_si128(ends, fieldEnd(bytes));
            const unsigned ks = unsigned(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('k')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('K')))));
            if (ks != 0)
                m_lastK = int(i) + 31 - __builtin_clz(ks);
            m_wide = m_wide || _mm_movemask_epi8(bytes) != 0;
        }
        if (_mm_movemask_epi8(percents) != 0)
            m_triggers |= kPercent;
        if (_mm_movemask_epi8(ends) != 0)
            m_triggers |= kFieldEnd;
#endif
        for (; i < m_size; ++i) {
            if (text[i] == '"')
                quotes[i / 64] |= quint64(1) << (i % 64);
            else if (text[i] == '\\')
                backslashes[i / 64] |= quint64(1) << (i % 64);
            else if (text[i] == 'k' || text[i] == 'K')
                m_lastK = int(i);
            m_wide = m_wide || text[i] >= 0x80;
            m_triggers |= triggersOf(QChar(text[i]));
        }
        for (unsigned word = 0; word < m_count; ++word)
            m_hasBackslash = m_hasBackslash || backslashes[word] != 0;
    }

    unsigned triggers() const
    {
        return m_triggers;
    }
    // Where the last key that may name a secret starts at the latest: every such key holds a "k", as written or
    // escaped (or as another character that folds to it). The text's size when that can't be told.
    int lastSecretKeyStart() const
    {
        return m_hasBackslash || m_wide ? int(m_size) : m_lastK;
    }
    bool hasBackslash() const
    {
        return m_hasBackslash;
    }

    // The first quote, or backslash, at or after from; the text's size when there is none.
    int nextQuote(int from) const
    {
        return next(m_words.data(), unsigned(from));
    }
    int nextBackslash(int from) const
    {
        return m_hasBackslash ? next(m_words.data() + m_count, unsigned(from)) : int(m_size);
    }

private:
    int next(const quint64* words, unsigned from) const
    {
        if (from >= m_size)
            return int(m_size);
        unsigned word = from / 64;
        const quint64 bits = words[word] >> (from % 64);
        if (bits != 0)
            return int(from + unsigned(__builtin_ctzll(bits)));
        while (++word < m_count) {
            if (words[word] != 0)
                return int(word * 64 + unsigned(__builtin_ctzll(words[word])));
        }
        return int(m_size);
    }

#if defined(__SSE2__)
    static __m128i fieldEnd(__m128i bytes)
    {
        const __m128i lineEnds =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        const __m128i separators = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('?')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'))),
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8(';')));
        return _mm_or_si128(lineEnds, separators);
    }
#endif

    QVarLengthArray<quint64, 64> m_words; // the quotes' words, then the backslashes'
    unsigned m_size = 0;
    unsigned m_count = 0;
    unsigned m_triggers = 0;
    bool m_hasBackslash = false;
    bool m_wide = false; // a character beyond ASCII
    int m_lastK = -1;
};

// Where the inner text of a JSON string starting at from ends: at its closing quote; without one, at the end of
// the text, or at a backslash that ends the text or a line (an escape needs a character of the line). *escaped is
// set when it holds an escape.
int jsonStringEnd(const ushort* text, const QuoteMarks& marks, int from, int size, bool* escaped)
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
// is not searched for further members. Also gives the triggers of the other scans the text holds.
unsigned maskJsonMembers(QStringView view, MaskedText& masked)
{
    const ushort* text = reinterpret_cast<const ushort*>(view.utf16());
    const int size = int(view.size());
    const QuoteMarks marks(text, size);
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
        if (isSecretJsonKey(view.mid(quote + 1, keyEnd - quote - 1), keyEscaped))
            masked.mask(valueStart, valueEnd);
        i = matchEnd;
    }
    return marks.triggers();
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
        if (isSecretJsonKey(percentDecoded(text.mid(i + 3, keyEnd - i - 3))))
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
        if (separated && isSecretFieldKey(text.mid(keyStart, i - keyStart))) {
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

// Letters (in any case: the Kelvin sign is a "k" and the long s an "s" too), digits, "_", "." and "-".
bool isQueryKeyChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '.' ||
           u == '-' || u == 0x212A || u == 0x017F;
}

// A query key that names a signature, a token or a secret: any key ending in "signature", "token" or "secret",
// or "sign" or "sig" alone, in any case.
bool isSecretQueryKey(QStringView key)
{
    for (const char* suffix : {"signature", "token", "secret"}) {
        const QLatin1String end(suffix);
        if (key.endsWith(end, Qt::CaseInsensitive))
            return true;
    }
    return key.compare(QLatin1String("sign"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("sig"), Qt::CaseInsensitive) == 0;
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
    while (i < size && isQueryKeyChar(text[i]))
        ++i;
    if (!isSecretQueryKey(text.mid(keyStart, i - keyStart)))
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
    unsigned triggers = 0;
    scan([&triggers](QStringView in, MaskedText& masked) { triggers = maskJsonMembers(in, masked); });
    if (triggers & kPercent)
        scan([](QStringView in, MaskedText& masked) { maskEncodedJsonMembers(in, masked); });
    const bool startOnly = !(triggers & kFieldEnd);
    scan([startOnly](QStringView in, MaskedText& masked) { maskFieldValues(in, masked, startOnly); });
    scan([startOnly, triggers](QStringView in, MaskedText& masked) {
        maskQueryFields(in, masked, startOnly && !(triggers & kPercent));
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
