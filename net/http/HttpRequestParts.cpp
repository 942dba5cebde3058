#include "net/http/HttpCurl.h"

#include "net/http/SecretMask.h"

#include <QUrl>

namespace HttpCurl {

namespace {

QByteArray withoutControlCharacters(const QByteArray& text)
{
    QByteArray clean;
    clean.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
            clean.append(c);
    }
    return clean;
}

} // namespace

QByteArray headerLine(const QString& key, const QString& value)
{
    const QByteArray cleanKey = withoutControlCharacters(key.toUtf8()).trimmed();
    if (cleanKey.isEmpty())
        return QByteArray();
    const QByteArray cleanValue = withoutControlCharacters(value.toUtf8());
    if (cleanValue.trimmed().isEmpty())
        return cleanKey + ';';
    return cleanKey + ':' + cleanValue;
}

QByteArray formBody(const ApiParamList& form)
{
    QByteArray body;
    for (const KeyValuePair& pair : form) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(pair.first) + '=' + QUrl::toPercentEncoding(pair.second);
    }
    return body;
}

bool isHttpAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isSameOrigin(const QUrl& from, const QUrl& to)
{
    if (!isHttpAddress(from) || !isHttpAddress(to) || !to.userInfo().isEmpty())
        return false;
    const QString scheme = from.scheme().toLower();
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return to.scheme().toLower() == scheme && from.host().compare(to.host(), Qt::CaseInsensitive) == 0 &&
           from.port(defaultPort) == to.port(defaultPort);
}

QString addressForLog(const QByteArray& address)
{
    const QUrl url(QString::fromUtf8(address), QUrl::TolerantMode);
    if (!url.isValid())
        return SecretMask::maskSecrets(QString::fromUtf8(address.left(200)));
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString();
}

} // namespace HttpCurl
