#include "app/SystemInfo.h"

#include "platform/SystemInfo.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

bool getOsVersion(int& major, int& minor)
{
    return Platform::kernelVersion(major, minor);
}

QString osNameForVersion(int major, int minor)
{
    return QStringLiteral("Linux %1.%2").arg(major).arg(minor);
}

QString getOsName()
{
    static QMutex mutex;
    static QString cached;
    QMutexLocker locker(&mutex);
    if (!cached.isEmpty())
        return cached;
    int major = 0;
    int minor = 0;
    if (!getOsVersion(major, minor)) {
        qWarning() << "getOsName cannot read the kernel version";
        return QStringLiteral("Unknown_System");
    }
    cached = osNameForVersion(major, minor);
    return cached;
}

QString formatPlatformDescription(int platformId, int major, int minor, const QString& hostName,
                                  const QString& domainName)
{
    return QStringLiteral("Platform: %1").arg(platformId) + QStringLiteral(" / Version:  ") +
           osNameForVersion(major, minor) + QStringLiteral(" / Name:") + hostName + QStringLiteral(" / Domain:") +
           domainName;
}

QString getPlatformDescription()
{
    Platform::KernelInfo info;
    int major = 0;
    int minor = 0;
    if (!Platform::kernelInfo(info) || !getOsVersion(major, minor)) {
        qWarning() << "getPlatformDescription cannot read the system names";
        return QString();
    }
    return formatPlatformDescription(kLinuxPlatformId, major, minor, info.hostName, info.domainName);
}

QString getOsFullName()
{
    const QString name = Platform::distributionName();
    return name.isEmpty() ? getOsName() : name;
}

int CpuUsageMeter::addSample(const Platform::CpuTimes& sample)
{
    int usage = 0;
    if (m_sampleCount > 0) {
        const qint64 idle = qint64(sample.idle - m_idle);
        const qint64 kernel = qint64(sample.kernel - m_kernel);
        const qint64 user = qint64(sample.user - m_user);
        const qint64 total = kernel + user;
        // Counters that went backwards (another source, a wrapped counter) give no usable difference.
        if (total > 0 && idle >= 0 && kernel >= 0 && user >= 0 && idle <= total)
            usage = int((total - idle) * 100 / total);
    }
    m_idle = sample.idle;
    m_kernel = sample.kernel;
    m_user = sample.user;
    ++m_sampleCount;
    return usage;
}

int getSystemCpuUsage()
{
    static QMutex mutex;
    static CpuUsageMeter meter;
    Platform::CpuTimes sample;
    if (!Platform::cpuTimes(sample)) {
        qWarning() << "getSystemCpuUsage cannot read the processor times";
        return -1;
    }
    QMutexLocker locker(&mutex);
    return meter.addSample(sample);
}

QString formatCpuDescription(qint64 mhz, const QString& vendor, const QString& brand)
{
    return QStringLiteral("CPU main frequency: ") + QString::number(mhz) + QStringLiteral("MHz") +
           QStringLiteral(" / CPU manufacture: ") + vendor + QStringLiteral(" / CPU type: ") + brand;
}

QString getCpuDescription()
{
    Platform::CpuIdentity identity;
    if (!Platform::cpuIdentity(identity))
        qWarning() << "getCpuDescription cannot identify the processor";
    return formatCpuDescription(identity.mhz, identity.vendor, identity.brand);
}

QString formatMemoryDescription(quint64 totalBytes, quint64 availableBytes)
{
    const double gigabyte = 1024.0 * 1024.0 * 1024.0;
    return QString::asprintf("total %.2f GB (%.2f GB available)", double(totalBytes) / gigabyte,
                             double(availableBytes) / gigabyte);
}

QString getMemoryDescription()
{
    Platform::MemoryStatus status;
    if (!Platform::memoryStatus(status)) {
        qWarning() << "getMemoryDescription cannot read the memory figures";
        return QString();
    }
    return formatMemoryDescription(status.totalBytes, status.availableBytes);
}

QString uiLanguageForLocale(const QString& localeName)
{
    // language[_territory][.codeset][@modifier]; "-" is accepted for "_" as in BCP 47 names.
    QString name = localeName.trimmed();
    name = name.left(name.indexOf('@') < 0 ? name.size() : name.indexOf('@'));
    name = name.left(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
    QStringList parts = name.split(QRegularExpression(QStringLiteral("[_-]")));
    if (parts.size() > 2 && parts.at(1).size() == 4)
        parts.removeAt(1); // a script ("zh-Hans-CN")
    const QString language = parts.value(0).toLower();
    const QString territory = parts.value(1).toUpper();
    if (language == QLatin1String("zh") && (territory.isEmpty() || territory == QLatin1String("CN")))
        return QStringLiteral("cn");
    return QStringLiteral("en");
}

QString getUiLanguage()
{
    return uiLanguageForLocale(Platform::uiLocaleName());
}

bool isChineseUiLanguage()
{
    return getUiLanguage() == QLatin1String("cn");
}
