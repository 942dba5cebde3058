#pragma once

#include "platform/SystemInfo.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// Readers of the Linux system files behind SystemInfo.h. Each parser takes the file's text and each reader a
// path, so tests feed them fixtures.
namespace Platform::LinuxFiles {

// The whole file; false when it can't be opened.
bool readFile(const QString& path, QByteArray& text);

// "6.1.0-18-amd64" -> 6, 1. False (outputs untouched) unless the text starts with "<digits>.<digits>".
bool parseKernelVersion(const QString& release, int& major, int& minor);
bool readKernelVersion(const QString& path, int& major, int& minor); // /proc/sys/kernel/osrelease

// os-release: KEY=value lines, values optionally in double or single quotes with backslash escapes.
QMap<QString, QString> parseOsRelease(const QByteArray& text);
// PRETTY_NAME, else NAME and VERSION_ID joined by a blank, else NAME; empty when none is set.
QString distributionNameFrom(const QMap<QString, QString>& osRelease);
// The first of the paths that can be read; empty when none.
QString readDistributionName(const QStringList& paths);

// The aggregate "cpu" line of /proc/stat. idle := idle + iowait; user := user + nice;
// kernel := system + irq + softirq + steal + idle (guest time is already part of user).
bool parseProcStat(const QByteArray& text, CpuTimes& out);
bool readCpuTimes(const QString& path, CpuTimes& out);

// MemTotal and MemAvailable of /proc/meminfo (kB); without MemAvailable, MemFree + Buffers + Cached.
bool parseMeminfo(const QByteArray& text, MemoryStatus& out);
bool readMemoryStatus(const QString& path, MemoryStatus& out);

// /proc/cpuinfo: vendor ("vendor_id", "vendor", "CPU implementer"), brand ("model name", "cpu model",
// "Processor", "cpu", "uarch", "Hardware") and MHz ("cpu MHz", "clock"), first occurrence of each; true when
// vendor or brand was found.
bool parseCpuinfo(const QByteArray& text, CpuIdentity& out);
bool readCpuinfo(const QString& path, CpuIdentity& out);

// LC_ALL, else LC_MESSAGES, else LANG: the first that is not empty; empty when all are.
QString localeNameFrom(const QString& lcAll, const QString& lcMessages, const QString& lang);

} // namespace Platform::LinuxFiles
