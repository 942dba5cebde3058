#include "net/reports/ReportUtil.h"

#include "platform/Hardware.h"
#include "platform/SystemInfo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <QtDebug>

#include <zlib.h>

#include <cstdio>

namespace ReportUtil {

namespace {

constexpr int kBlockSize = 16384;

} // namespace

QString formatProcessorDescription(const QString& name, qint64 mhz, int physicalCores, int logicalCores,
                                   const QStringList& adapters)
{
    QStringList listed;
    for (int i = 0; i < adapters.size(); ++i)
        listed.append(QStringLiteral("Adapter%1: %2").arg(i).arg(adapters.at(i)));
    return QStringLiteral("CPU Name: %1, CPU Speed: %2MHz, Physical Cores: %3,Logical Cores: %4,Video Adapters: %5")
        .arg(name)
        .arg(mhz)
        .arg(physicalCores)
        .arg(logicalCores)
        .arg(listed.join(QStringLiteral(", ")));
}

QString processorDescription()
{
    Platform::CpuIdentity cpu;
    Platform::cpuIdentity(cpu);
    return formatProcessorDescription(cpu.brand, cpu.mhz, Platform::physicalCoreCount(), QThread::idealThreadCount(),
                                      Platform::videoAdapterNames());
}

int systemCpuLoad()
{
    Platform::CpuTimes first;
    if (!Platform::cpuTimes(first))
        return -1;
    QThread::msleep(500);
    Platform::CpuTimes second;
    if (!Platform::cpuTimes(second))
        return -1;
    const quint64 kernel = second.kernel - first.kernel;
    const quint64 user = second.user - first.user;
    const quint64 idle = second.idle - first.idle;
    if (kernel + user == 0)
        return 0;
    return int((kernel + user - idle) * 100 / (kernel + user));
}

QString guidText()
{
    const QUuid id = QUuid::createUuid();
    if (id.isNull())
        return QStringLiteral("create guid error");
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X", id.data1, id.data2, id.data3,
                  id.data4[0], id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5], id.data4[6],
                  id.data4[7]);
    return QString::fromLatin1(text);
}

QStringList localAddresses()
{
    QStringList addresses;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            addresses.append(address.toString());
    }
    return addresses;
}

QString publicAddress()
{
    return QString();
}

QString publicAddressFromPage(const QString& page)
{
    const QString mark = QStringLiteral("<br/>");
    const int first = page.indexOf(mark);
    const int second = first < 0 ? -1 : page.indexOf(mark, first + mark.size());
    if (second < 0)
        return QStringLiteral("0.0.0.0");
    const QString text = page.mid(first + mark.size(), second - first - mark.size()).trimmed();
    QHostAddress address;
    if (!address.setAddress(text) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return QStringLiteral("0.0.0.0");
    return text;
}

QString timeStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    char text[32];
    std::snprintf(text, sizeof text, "%d%02d%02d%02d%02d%02d", date.year(), date.month(), date.day(), time.hour(),
                  time.minute(), time.second());
    return QString::fromLatin1(text);
}

int gzipFile(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "ReportUtil::gzipFile cannot read" << source;
        return -1;
    }
    gzFile out = gzopen(QFile::encodeName(target).constData(), "wb6f");
    if (!out) {
        qWarning().noquote() << "ReportUtil::gzipFile cannot create" << target;
        return -1;
    }
    bool ok = true;
    QByteArray block(kBlockSize, Qt::Uninitialized);
    while (ok) {
        const qint64 read = in.read(block.data(), kBlockSize);
        if (read < 0)
            ok = false;
        if (read <= 0)
            break;
        ok = gzwrite(out, block.constData(), unsigned(read)) == int(read);
    }
    ok = gzclose(out) == Z_OK && ok;
    if (!ok) {
        qWarning().noquote() << "ReportUtil::gzipFile failed for" << source;
        QFile::remove(target);
        return -1;
    }
    return 1;
}

int gunzipFile(const QString& source, const QString& target)
{
    gzFile in = gzopen(QFile::encodeName(source).constData(), "rb");
    if (!in) {
        qWarning().noquote() << "ReportUtil::gunzipFile cannot read" << source;
        return -1;
    }
    if (gzdirect(in) != 0) {
        // zlib would copy a plain file through as it is.
        qWarning().noquote() << "ReportUtil::gunzipFile not a gzip file:" << source;
        gzclose(in);
        return -1;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "ReportUtil::gunzipFile cannot create" << target;
        gzclose(in);
        return -1;
    }
    bool ok = true;
    QByteArray block(kBlockSize, Qt::Uninitialized);
    while (ok) {
        const int read = gzread(in, block.data(), kBlockSize);
        if (read < 0)
            ok = false;
        if (read <= 0)
            break;
        ok = out.write(block.constData(), read) == read;
    }
    ok = gzclose(in) == Z_OK && ok;
    out.close();
    if (!ok) {
        qWarning().noquote() << "ReportUtil::gunzipFile failed for" << source;
        out.remove();
        return -1;
    }
    return 1;
}

QString dataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString folder = base + QStringLiteral("/Zmorbit");
    if (!QDir().mkpath(folder)) {
        qWarning().noquote() << "ReportUtil::dataFolder cannot create" << folder;
        return {};
    }
    return folder;
}

QString deviceId()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if ((flags & QNetworkInterface::IsUp) && (flags & QNetworkInterface::IsRunning) &&
            !(flags & QNetworkInterface::IsLoopBack))
            return interface.hardwareAddress();
    }
    return {};
}

} // namespace ReportUtil
