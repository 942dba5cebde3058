#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Processor cores and graphics adapters as the operating system lists them.
namespace Platform {

// Physical processor cores: distinct (physical id, core id) pairs of /proc/cpuinfo; the logical processor count
// when the list names no cores; 0 when it can't be read.
int physicalCoreCount();

// One text per graphics adapter: its driver and PCI id, "i915 (8086:3E92)"; empty when none is listed.
QStringList videoAdapterNames();

// The parsers behind them, for tests.
int physicalCoresFromCpuinfo(const QByteArray& text);
// "DRIVER=i915\nPCI_ID=8086:3E92\n..." -> "i915 (8086:3E92)"; empty when neither is named.
QString adapterNameFromUevent(const QByteArray& text);

} // namespace Platform
