#pragma once

#include <QString>
#include <QtGlobal>

// What the operating system tells about the machine. Each call asks the system afresh.
namespace Platform {

struct KernelInfo
{
    QString sysName;    // "Linux"
    QString release;    // "6.1.0-18-amd64"
    QString hostName;   // the computer's name
    QString domainName; // the NIS domain; empty when none is set
};

// From uname(); false when the call fails.
bool kernelInfo(KernelInfo& out);

// Kernel major and minor version: from uname(), else from /proc/sys/kernel/osrelease; false when both fail.
bool kernelVersion(int& major, int& minor);

// The distribution's name from os-release ("Debian GNU/Linux 12 (bookworm)"); empty when unknown.
QString distributionName();

// Processor time since boot, in clock ticks. kernel includes idle, as the load formula expects.
struct CpuTimes
{
    quint64 idle = 0;
    quint64 kernel = 0;
    quint64 user = 0;
};

bool cpuTimes(CpuTimes& out);

struct MemoryStatus
{
    quint64 totalBytes = 0;
    quint64 availableBytes = 0;
};

bool memoryStatus(MemoryStatus& out);

struct CpuIdentity
{
    qint64 mhz = 0;
    QString vendor; // "GenuineIntel"
    QString brand;  // "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"
};

// Vendor and brand from the processor's identification, with its frequency measured over 50 ms; what the
// processor can't tell comes from the system's processor list. False when neither gives vendor or brand.
bool cpuIdentity(CpuIdentity& out);

// The user's message locale ("zh_CN.UTF-8", "en_US", "C"): LC_ALL, else LC_MESSAGES, else LANG, else the
// toolkit's system locale.
QString uiLocaleName();

} // namespace Platform
