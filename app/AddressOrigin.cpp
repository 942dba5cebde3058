#include "app/AddressOrigin.h"

#include <QUrl>

#include <cstring>

namespace {

constexpr int kNoPort = -1;
constexpr int kMaxPort = 65535;

int defaultPort(const QString& scheme)
{
    if (scheme == QLatin1String("http") || scheme == QLatin1String("ws"))
        return 80;
    if (scheme == QLatin1String("https") || scheme == QLatin1String("wss"))
        return 443;
    return kNoPort;
}

QString originText(const QString& scheme, const QString& host, int port)
{
    QString origin = scheme + QStringLiteral("://") + host;
    if (port != kNoPort)
        origin += QLatin1Char(':') + QString::number(port);
    return origin;
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// True when text is not empty and every character is an ASCII letter, a digit or one of others.
bool isMadeOf(const QString& text, const char* others)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) &&
            (c.unicode() == 0 || c.unicode() > 0x7f || !std::strchr(others, c.toLatin1())))
            return false;
    }
    return true;
}

// A scheme as RFC 3986 has it: a letter, then letters, digits, "+", "-" and ".".
bool isScheme(const QString& text)
{
    return isMadeOf(text, "+-.") && isAsciiLetter(text.at(0));
}

bool isHostName(const QString& text)
{
    return isMadeOf(text, ".-_");
}

// "[" hexadecimal digits, ":" and "." "]".
bool isBracketedAddress(const QString& text)
{
    if (text.size() < 3 || !text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')))
        return false;
    for (int i = 1; i < text.size() - 1; ++i) {
        const QChar c = text.at(i);
        const bool hex = isAsciiDigit(c) || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
        if (!hex && c != QLatin1Char(':') && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

// The port text as a number; kNoPort when it is not 1 to 5 digits of a port above 0.
int portNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 5)
        return kNoPort;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return kNoPort;
    }
    const int port = text.toInt();
    return port > 0 && port <= kMaxPort ? port : kNoPort;
}

} // namespace

QString addressOrigin(const QString& address)
{
    const int colon = address.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return QString();
    const QString scheme = address.left(colon).toLower();
    if (!isScheme(scheme) || address.midRef(colon + 1, 2) != QLatin1String("//"))
        return QString();

    const int start = colon + 3;
    int end = start;
    while (end < address.size() && address.at(end) != QLatin1Char('/') && address.at(end) != QLatin1Char('?') &&
           address.at(end) != QLatin1Char('#'))
        ++end;
    const QString authority = address.mid(start, end - start);

    // The port follows the last ":" after the host; a bracketed address holds colons of its own.
    const int close = authority.lastIndexOf(QLatin1Char(']'));
    const int portColon = authority.indexOf(QLatin1Char(':'), close < 0 ? 0 : close);
    const QString host = (portColon < 0 ? authority : authority.left(portColon)).toLower();
    if (!isHostName(host) && !isBracketedAddress(host))
        return QString();

    int port = defaultPort(scheme);
    if (portColon >= 0) {
        port = portNumber(authority.mid(portColon + 1));
        if (port == kNoPort)
            return QString();
    }
    return originText(scheme, host, port);
}

QString pageOrigin(const QUrl& url)
{
    if (!url.isValid())
        return QString();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return QStringLiteral("file://");
    const QString host = url.host(QUrl::FullyEncoded).toLower();
    if (host.isEmpty())
        return QString();
    return originText(scheme, host, url.port(defaultPort(scheme)));
}
