#pragma once

#include <QString>
#include <QtGlobal>

namespace Platform {
struct CpuTimes;
}

// What the program reports about the machine: in logs, problem reports, class-service calls and the
// whiteboard page's environment. One text form each, on every path.

// Platform id of the platform description: the id family of Unix-like systems (600) in the workstation
// platform ids (300 DOS, 400 OS/2, 500 NT, 600 OSF, 700 VMS); none of them names Linux.
constexpr int kLinuxPlatformId = 600;

// Kernel major and minor version; false when the system can't tell.
bool getOsVersion(int& major, int& minor);

// The short system name sent to the class service: "Linux 6.1" (kernel major.minor); "Unknown_System"
// when the version can't be read. The name found is cached.
QString getOsName();

// "Platform: 600 / Version:  Linux 6.1 / Name:<host> / Domain:<NIS domain or empty>"; empty when the
// system names can't be read.
QString getPlatformDescription();

// The distribution's name ("Debian GNU/Linux 12 (bookworm)"); getOsName() when os-release is missing.
QString getOsFullName();

// Whole-system processor load in percent since the previous call; 0 on the first call and when no time
// passed; -1 when the processor times can't be read.
int getSystemCpuUsage();

// "CPU main frequency: <MHz>MHz / CPU manufacture: <vendor> / CPU type: <brand>". Takes about 50 ms.
QString getCpuDescription();

// "total <GB> GB (<GB> GB available)" with two decimals, GB = 2^30 bytes; empty when unknown.
QString getMemoryDescription();

// "cn" when the user's message locale is Chinese (China), else "en".
QString getUiLanguage();
bool isChineseUiLanguage();

// The pieces the functions above are built from.
QString osNameForVersion(int major, int minor);
QString formatPlatformDescription(int platformId, int major, int minor, const QString& hostName,
                                  const QString& domainName);
QString formatCpuDescription(qint64 mhz, const QString& vendor, const QString& brand);
QString formatMemoryDescription(quint64 totalBytes, quint64 availableBytes);

// "cn" for the language zh with the territory CN or none ("zh_CN.UTF-8", "zh-Hans-CN", "zh"), else "en".
QString uiLanguageForLocale(const QString& localeName);

// Processor load between successive samples: (busy time) * 100 / (total time), where the kernel time
// includes the idle time. The first sample gives 0, as does a sample with no time since the previous one.
class CpuUsageMeter
{
public:
    int addSample(const Platform::CpuTimes& sample);

private:
    quint64 m_idle = 0;
    quint64 m_kernel = 0;
    quint64 m_user = 0;
    int m_sampleCount = 0;
};
