#include "platform/SystemInfo.h"

#include "platform/CpuId.h"
#include "platform/SystemFiles_linux.h"

#include <QLocale>
#include <QStringList>

#include <sys/utsname.h>

namespace Platform {

bool kernelInfo(KernelInfo& out)
{
    struct utsname names = {};
    if (::uname(&names) != 0)
        return false;
    out.sysName = QString::fromLocal8Bit(names.sysname);
    out.release = QString::fromLocal8Bit(names.release);
    out.hostName = QString::fromLocal8Bit(names.nodename);
    const QString domain = QString::fromLocal8Bit(names.domainname);
    out.domainName = domain == QLatin1String("(none)") ? QString() : domain;
    return true;
}

bool kernelVersion(int& major, int& minor)
{
    KernelInfo info;
    if (kernelInfo(info) && LinuxFiles::parseKernelVersion(info.release, major, minor))
        return true;
    return LinuxFiles::readKernelVersion(QStringLiteral("/proc/sys/kernel/osrelease"), major, minor);
}

QString distributionName()
{
    return LinuxFiles::readDistributionName({QStringLiteral("/etc/os-release"), QStringLiteral("/usr/lib/os-release")});
}

bool cpuTimes(CpuTimes& out)
{
    return LinuxFiles::readCpuTimes(QStringLiteral("/proc/stat"), out);
}

bool memoryStatus(MemoryStatus& out)
{
    return LinuxFiles::readMemoryStatus(QStringLiteral("/proc/meminfo"), out);
}

bool cpuIdentity(CpuIdentity& out)
{
    CpuIdentity fromProcessor;
    const bool haveProcessor = processorIdentity(fromProcessor);
    if (haveProcessor && !fromProcessor.vendor.isEmpty() && !fromProcessor.brand.isEmpty() && fromProcessor.mhz > 0) {
        out = fromProcessor;
        return true;
    }
    CpuIdentity fromList;
    const bool haveList = LinuxFiles::readCpuinfo(QStringLiteral("/proc/cpuinfo"), fromList);
    if (!haveProcessor && !haveList)
        return false;
    out.vendor = !fromProcessor.vendor.isEmpty() ? fromProcessor.vendor : fromList.vendor;
    out.brand = !fromProcessor.brand.isEmpty() ? fromProcessor.brand : fromList.brand;
    out.mhz = fromProcessor.mhz > 0 ? fromProcessor.mhz : fromList.mhz;
    return !out.vendor.isEmpty() || !out.brand.isEmpty();
}

QString uiLocaleName()
{
    const QString name = LinuxFiles::localeNameFrom(qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
                                                    qEnvironmentVariable("LANG"));
    return name.isEmpty() ? QLocale::system().name() : name;
}

} // namespace Platform
