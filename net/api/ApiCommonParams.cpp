#include "net/api/ApiCommonParams.h"

#include "app/ConfigManager.h"
#include "app/SystemInfo.h"
#include "net/api/RequestSign.h"

#include <QUrl>

namespace ApiCommonParams {

namespace {

const QString kPlatform = QStringLiteral("6");

} // namespace

QString roleType(int accountType)
{
    return (accountType == 1 || accountType == 2) ? QStringLiteral("1") : QStringLiteral("3");
}

QString installedWebVersion()
{
    return ConfigManager::getOfflineResVersion(ConfigManager::instance()->getOfflineResourceDir());
}

void appendTailA(ApiParamList& list, const QString& version)
{
    list.append({QStringLiteral("v"), version});
    list.append({QStringLiteral("p"), kPlatform});
    list.append({QStringLiteral("systemVersion"), getOsName()});
    list.append({QStringLiteral("c"), QStringLiteral("1")});
}

void appendTailB(ApiParamList& list, const QString& version)
{
    list.append({QStringLiteral("p"), kPlatform});
    list.append({QStringLiteral("systemVersion"), getOsName()});
    list.append({QStringLiteral("v"), version});
    list.append({QStringLiteral("c"), QStringLiteral("1")});
}

void appendRestfulCommonPairs(ApiParamList& list, const QString& version, const QString& platform, int paramA,
                              qint64 secondsSince1970, const QString& userId, const QString& token)
{
    list.append({QStringLiteral("c"), QStringLiteral("1")});
    list.append({QStringLiteral("v"), version});
    list.append({QStringLiteral("p"), platform});
    list.append({QStringLiteral("a"), QString::number(paramA)});
    list.append({QStringLiteral("t"), QString::number(secondsSince1970)});
    list.append({QStringLiteral("userId"), userId});
    list.append({QStringLiteral("token"), token});
    appendSignature(list);
}

void appendSignature(ApiParamList& list)
{
    list.append({QStringLiteral("s"), makeRequestSign(list, requestSignAlphabet())});
}

QString restfulBase(const QString& configured)
{
    const QUrl url(configured, QUrl::TolerantMode);
    QString host = url.host(QUrl::FullyDecoded);
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    QString base = url.scheme() + QLatin1String("://") + host;
    if (url.port() != -1)
        base += QLatin1Char(':') + QString::number(url.port());
    return base;
}

} // namespace ApiCommonParams
