#include "net/api/UrlSigner.h"

#include "app/ProgramFiles.h"
#include "net/http/SecretMask.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>

#include <algorithm>

namespace {

// Shared with the page server.
const char kSigningSecret[] = "3f9a71c2e8b04d5a96c1e7f20b8d4a6e";

const QString kAutoplayKey = QStringLiteral("autoplay");
const QString kMrKey = QStringLiteral("mr");

} // namespace

namespace UrlSigner {

QString signQuery(const ApiParamList& params)
{
    return signQuery(params, currentTimeStamp(), getExeFileVersion(3));
}

QString signQuery(const ApiParamList& params, const QString& timeStamp, const QString& appVersion)
{
    QString path;
    QString autoplay;
    QString mr;
    for (const KeyValuePair& pair : params) {
        if (pair.first == kAutoplayKey)
            autoplay = pair.second;
        else if (pair.first == kMrKey)
            mr = pair.second;
        else
            path += '/' + pair.second;
    }

    ApiParamList signedParams = params;
    signedParams.append(KeyValuePair(QStringLiteral("t"), timeStamp));
    std::stable_sort(signedParams.begin(), signedParams.end(), StringUtil::keyLessNoCase);

    QString signingText = QStringLiteral("appversion") + appVersion;
    for (const KeyValuePair& pair : signedParams)
        signingText += pair.first + pair.second;
    signingText += QLatin1String(kSigningSecret);

    const QString signature = QString::fromLatin1(md5Digest(signingText).toHex());

    QString tail = path + QStringLiteral("?sign=") + signature + QStringLiteral("&t=") + timeStamp;
    if (!autoplay.isEmpty())
        tail += QStringLiteral("&autoplay=") + autoplay;
    tail += QStringLiteral("&appversion=") + appVersion;
    if (!mr.isEmpty())
        tail += QStringLiteral("&mr=") + mr;
    return tail;
}

QString currentTimeStamp()
{
    return QString::number(QDateTime::currentSecsSinceEpoch() * 1000);
}

QByteArray md5Digest(const QString& text)
{
    const QByteArray source = StringUtil::lowBytes(text);
    const QByteArray digest = QCryptographicHash::hash(source, QCryptographicHash::Md5);
    // The signing secret never reaches the log.
    QByteArray shown = source;
    shown.replace(QByteArray(kSigningSecret), SecretMask::maskText().toLatin1());
    qDebug().noquote() << "UrlSigner::md5Digest md5 source" << QString::fromLatin1(shown);
    qDebug().noquote() << "UrlSigner::md5Digest md5 dst" << QString::fromLatin1(digest.toHex());
    return digest;
}

} // namespace UrlSigner
