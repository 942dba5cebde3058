#include "app/OptionSecrets.h"

#include "app/AppLinks.h"
#include "app/PercentDecoding.h"

#include <QUrl>
#include <QVector>

#include <algorithm>

namespace {

// A stretch [from, to) of a text.
struct Span
{
    int from;
    int to;
};

// UTF-8 bytes on their way through the parser, each with the stretch of the printed text it came from.
struct TracedBytes
{
    QByteArray bytes;
    QVector<Span> origins;

    void append(char byte, Span origin)
    {
        bytes.append(byte);
        origins.append(origin);
    }
};

// The bytes of text[from, to) as QString::toUtf8 writes them.
TracedBytes utf8Of(const QString& text, Span range)
{
    TracedBytes out;
    for (int i = range.from; i < range.to;) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < range.to && text.at(i + 1).isLowSurrogate();
        const int length = pair ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        for (const char byte : bytes)
            out.append(byte, {i, i + length});
        i += length;
    }
    return out;
}

// bytes[range] percent-decoded as the parser decodes a part, and read back as text the way QString::fromUtf8
// reads a byte array: up to the first NUL.
TracedBytes percentDecoded(const TracedBytes& in, Span range)
{
    TracedBytes out;
    const Span* origins = in.origins.constData() + range.from;
    PercentDecoding::decode(in.bytes.constData() + range.from, range.to - range.from,
                            [&](char byte, int first, int end) {
                                out.append(byte, {origins[first].from, origins[end - 1].to});
                            });
    const int nul = out.bytes.indexOf('\0');
    if (nul >= 0) {
        out.bytes.truncate(nul);
        out.origins.resize(nul);
    }
    return out;
}

// The parts of bytes[range] between the separators, empty ones included, as QString::split finds them.
QVector<Span> splitAt(const QByteArray& bytes, Span range, const char* separator)
{
    QVector<Span> parts;
    const int length = int(qstrlen(separator));
    int start = range.from;
    for (;;) {
        const int found = bytes.indexOf(separator, start);
        if (found < 0 || found + length > range.to) {
            parts.append({start, range.to});
            return parts;
        }
        parts.append({start, found});
        start = found + length;
    }
}

bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A name without its "--", compared lower-cased as the parser compares it. Blanks around it are left out too,
// although the parser keeps some of them: more is masked, never less.
bool isSecretName(const QString& name)
{
    const QString key = name.trimmed().toLower();
    return key == QLatin1String("token") || key == QLatin1String("authtoken");
}

// One option's bytes, "--name=value" or, split off at its "--", "name=value": the printed stretch of its value
// when the name is secret and the value not blank.
void addSecretValue(const TracedBytes& option, bool dashesSplitOff, QVector<Span>& spans)
{
    const int equals = option.bytes.indexOf('=');
    if (equals < 0)
        return;
    QString name = QString::fromUtf8(option.bytes.left(equals)).trimmed();
    if (!dashesSplitOff) {
        if (!name.startsWith(QLatin1String("--")))
            return;
        name = name.mid(2);
    }
    if (!isSecretName(name))
        return;
    int first = equals + 1;
    int last = option.bytes.size() - 1;
    while (first <= last && isAsciiSpace(option.bytes.at(first)))
        ++first;
    while (last >= first && isAsciiSpace(option.bytes.at(last)))
        --last;
    // The parser trims the value as text: a value of other blanks only is empty too.
    if (first > last || QString::fromUtf8(option.bytes.mid(first, last - first + 1)).trimmed().isEmpty())
        return;
    spans.append({option.origins.at(first).from, option.origins.at(last).to});
}

void addOptionSecrets(const QString& text, QVector<Span>& spans)
{
    addSecretValue(utf8Of(text, {0, text.size()}), false, spans);
}

// splitOptionText over bytes[range]: every part between "--" decoded and read as an option. Trimming is left
// out: blanks are never "%" or hexadecimal digits, so escapes and splits come out alike, and the name is
// compared trimmed.
void addArgumentSecrets(const TracedBytes& bytes, Span range, QVector<Span>& spans)
{
    for (const Span& part : splitAt(bytes.bytes, range, "--")) {
        if (part.from < part.to)
            addSecretValue(percentDecoded(bytes, part), true, spans);
    }
}

// splitOpenedLink and then splitOptionText over text, as if the text were the link's URL form.
void addLinkSecrets(const QString& text, QVector<Span>& spans)
{
    int start = 0;
    for (;;) {
        const int mark = text.indexOf('?', start);
        const int end = mark < 0 ? text.size() : mark;
        const TracedBytes raw = utf8Of(text, {start, end});
        const TracedBytes decoded = percentDecoded(raw, {0, raw.bytes.size()});
        for (const Span& piece : splitAt(decoded.bytes, {0, decoded.bytes.size()}, " "))
            addArgumentSecrets(decoded, piece, spans);
        if (mark < 0)
            return;
        start = mark + 1;
    }
}

bool holdsLinkSecrets(const QString& text)
{
    QVector<Span> spans;
    addLinkSecrets(text, spans);
    return !spans.isEmpty();
}

// The running copy reads a link as the URL made of it (LinkServer), written back fully encoded; a later start
// hands it over trimmed and without one trailing "/". Where that URL form is the text itself, but for the case of
// letters (escapes and the host are written in capitals and small letters), the stretches found in the text are
// exact; where it differs otherwise (a stray "%", an escaped unreserved character, a blank) and holds a secret,
// everything after the scheme goes. A text that makes no URL is not read at all.
void addHandedOverLinkSecrets(const QString& text, QVector<Span>& spans)
{
    const QString link = text.trimmed();
    QStringList forms{link};
    if (link.endsWith('/'))
        forms.append(link.left(link.size() - 1));
    bool exact = false;
    for (const QString& form : qAsConst(forms)) {
        const QString url = QUrl(form).toString(QUrl::FullyEncoded);
        if (url.compare(form, Qt::CaseInsensitive) == 0) {
            exact = true;
        } else if (holdsLinkSecrets(url)) {
            spans.append({isAppLink(text) ? text.indexOf(':') + 1 : 0, text.size()});
            return;
        }
    }
    if (exact)
        addLinkSecrets(text, spans);
}

QString replaced(const QString& text, QVector<Span> spans)
{
    if (spans.isEmpty())
        return text;
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
    QString out;
    int copied = 0;
    int i = 0;
    while (i < spans.size()) {
        Span merged = spans.at(i++);
        while (i < spans.size() && spans.at(i).from <= merged.to)
            merged.to = qMax(merged.to, spans.at(i++).to);
        out += text.midRef(copied, merged.from - copied);
        out += QLatin1String("***");
        copied = merged.to;
    }
    out += text.midRef(copied);
    return out;
}

} // namespace

QString maskOptionSecrets(const QString& text, unsigned kinds)
{
    // A value needs an "=", plain or encoded.
    if (!text.contains('=') && !text.contains('%'))
        return text;
    QVector<Span> spans;
    if (kinds & OptionTextKind_Option)
        addOptionSecrets(text, spans);
    if (kinds & OptionTextKind_Argument) {
        const TracedBytes bytes = utf8Of(text, {0, text.size()});
        addArgumentSecrets(bytes, {0, bytes.bytes.size()}, spans);
    }
    if ((kinds & OptionTextKind_Link) || ((kinds & OptionTextKind_AppLink) && isAppLink(text))) {
        addHandedOverLinkSecrets(text, spans);
    } else if ((kinds & OptionTextKind_AppLink) && text.startsWith(QLatin1String("--")) && isAppLink(text.mid(2))) {
        // An option text made of a link argument: the link after its "--".
        QVector<Span> linkSpans;
        addHandedOverLinkSecrets(text.mid(2), linkSpans);
        for (const Span& span : qAsConst(linkSpans))
            spans.append({span.from + 2, span.to + 2});
    }
    return replaced(text, spans);
}
