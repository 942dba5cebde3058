#include "net/api/DeviceUid.h"

#include "net/api/ZmNetAPI.h"

#include <QMutex>
#include <QMutexLocker>
#include <QNetworkInterface>

QString deviceUidFrom(const QVector<NetworkInterfaceFacts>& interfaces)
{
    for (const NetworkInterfaceFacts& facts : interfaces) {
        if (facts.up && facts.running && !facts.loopBack && !facts.hardwareAddress.isEmpty()) {
            QString uid = facts.hardwareAddress;
            uid.replace(QLatin1Char(':'), QLatin1Char('-'));
            return uid;
        }
    }
    return QString();
}

QVector<NetworkInterfaceFacts> systemNetworkInterfaces()
{
    QVector<NetworkInterfaceFacts> result;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : all) {
        NetworkInterfaceFacts facts;
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        facts.up = flags.testFlag(QNetworkInterface::IsUp);
        facts.running = flags.testFlag(QNetworkInterface::IsRunning);
        facts.loopBack = flags.testFlag(QNetworkInterface::IsLoopBack);
        facts.hardwareAddress = interface.hardwareAddress();
        result.append(facts);
    }
    return result;
}

QString getDeviceUid()
{
    static QMutex mutex;
    static QString stored;
    QMutexLocker locker(&mutex);
    if (stored.isEmpty())
        stored = deviceUidFrom(systemNetworkInterfaces());
    return stored;
}
