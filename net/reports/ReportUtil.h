#pragma once

#include <QString>
#include <QStringList>

// Facts and file helpers of the report facility (ReportMSG).
namespace ReportUtil {

// "CPU Name: %1, CPU Speed: %2MHz, Physical Cores: %3,Logical Cores: %4,Video Adapters: %5"; the adapters as
// "Adapter0: <name>" joined by ", ".
QString processorDescription();
QString formatProcessorDescription(const QString& name, qint64 mhz, int physicalCores, int logicalCores,
                                   const QStringList& adapters);

// Whole-system processor load in percent over 500 ms (blocks that long); -1 when it can't be read.
int systemCpuLoad();

// "%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X" of a new GUID.
QString guidText();

// The IPv4 addresses of this computer's network interfaces.
QStringList localAddresses();

// The public address: the look-up is switched off, so empty.
QString publicAddress();
// The address between the first two "<br/>" marks of a look-up page; "0.0.0.0" when there is none.
QString publicAddressFromPage(const QString& page);

// Local time as "%d%02d%02d%02d%02d%02d": year, month, day, hour, minute, second.
QString timeStamp();

// Compresses source into a gzip file at level 6 (filtered); 1 on success, -1 on any failure (no partial target
// is left behind).
int gzipFile(const QString& source, const QString& target);
// Expands a gzip file; 1 on success, -1 on any failure (no partial target is left behind).
int gunzipFile(const QString& source, const QString& target);

// The user's data folder followed by "/Zmorbit", created when missing; empty when it can't be created.
QString dataFolder();

// The hardware address of the first network interface that is up, running and not a loopback; empty when none.
QString deviceId();

} // namespace ReportUtil
