#include "net/oss/OssSigner.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <algorithm>
#include <cstdio>

namespace Oss {

QByteArray httpDate(std::time_t secondsSince1970)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm utc{};
    gmtime_r(&secondsSince1970, &utc);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[utc.tm_wday % 7], utc.tm_mday,
                  kMonths[utc.tm_mon % 12], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return QByteArray(text);
}

QByteArray canonicalResource(const QByteArray& bucket, const QByteArray& key)
{
    return '/' + bucket + '/' + key;
}

QByteArray canonicalOssHeaders(const HeaderList& headers)
{
    QList<QPair<QByteArray, QByteArray>> ossHeaders;
    for (const auto& header : headers) {
        const QByteArray name = header.first.trimmed().toLower();
        if (name.startsWith("x-oss-"))
            ossHeaders.append({name, header.second.trimmed()});
    }
    std::stable_sort(ossHeaders.begin(), ossHeaders.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QByteArray text;
    for (const auto& header : ossHeaders)
        text += header.first + ':' + header.second + '\n';
    return text;
}

QByteArray stringToSign(const QByteArray& verb, const QByteArray& contentMd5, const QByteArray& contentType,
                        const QByteArray& date, const HeaderList& headers, const QByteArray& resource)
{
    return verb + '\n' + contentMd5 + '\n' + contentType + '\n' + date + '\n' + canonicalOssHeaders(headers) + resource;
}

QByteArray authorization(const QByteArray& accessKeyId, const QByteArray& accessKeySecret,
                         const QByteArray& stringToSign)
{
    const QByteArray mac = QMessageAuthenticationCode::hash(stringToSign, accessKeySecret, QCryptographicHash::Sha1);
    return "OSS " + accessKeyId + ':' + mac.toBase64();
}

} // namespace Oss
