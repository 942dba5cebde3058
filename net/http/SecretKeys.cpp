#include "net/http/SecretKeys.h"

#include "app/PercentDecoding.h"

#include <QByteArray>
#include <QLatin1String>
#include <QVarLengthArray>

#include <cstring>

namespace {

int hexDigit(QChar c)
{
    return c.unicode() < 0x80 ? PercentDecoding::hexValue(char(c.unicode())) : -1;
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

// The character a one-letter JSON escape stands for: b, f, n, r and t their control characters, any other letter
// itself (as in \" \\ \/).
QChar escapedChar(QChar letter)
{
    static const char kLetters[] = "bfnrt";
    static const char kChars[] = "\b\f\n\r\t";
    const char* at = letter.unicode() < 0x80 ? std::strchr(kLetters, char(letter.unicode())) : nullptr;
    return at && *at ? QChar(QLatin1Char(kChars[at - kLetters])) : letter;
}

} // namespace

namespace SecretKeys {

bool isSecretName(QStringView key)
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

bool isSecretJsonKey(QStringView key, bool escaped)
{
    if (!escaped || !key.contains(QLatin1Char('\\')))
        return isSecretName(key);
    QVarLengthArray<QChar, 64> decoded;
    for (int i = 0; i < key.size(); ++i) {
        if (key[i] != '\\') {
            decoded.append(key[i]);
            continue;
        }
        if (++i == key.size())
            return isSecretName(key);
        if (key[i] != 'u') {
            decoded.append(escapedChar(key[i]));
            continue;
        }
        int value = 0;
        for (int digit = 1; digit <= 4; ++digit) {
            const int hex = i + digit < key.size() ? hexDigit(key[i + digit]) : -1;
            if (hex < 0)
                return isSecretName(key);
            value = value * 16 + hex;
        }
        decoded.append(QChar(ushort(value)));
        i += 4;
    }
    return isSecretName(QStringView(decoded.constData(), decoded.size()));
}

QString percentDecoded(QStringView text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

bool isSecretFieldKey(QStringView key)
{
    if (!key.contains(QLatin1Char('%')))
        return isSecretName(key);
    return isSecretName(percentDecoded(key));
}

bool isQueryKeyChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '.' ||
           u == '-' || u == 0x212A || u == 0x017F;
}

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

} // namespace SecretKeys
