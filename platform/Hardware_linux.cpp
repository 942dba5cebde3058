#include "platform/Hardware.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace Platform {

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// "key\t: value" -> value for the key; false for lines of other keys.
bool valueOf(const QByteArray& line, const char* key, QByteArray& value)
{
    const int colon = line.indexOf(':');
    if (colon < 0 || line.left(colon).trimmed() != key)
        return false;
    value = line.mid(colon + 1).trimmed();
    return true;
}

} // namespace

int physicalCoresFromCpuinfo(const QByteArray& text)
{
    QSet<QByteArray> cores;
    int processors = 0;
    QByteArray physicalId = "0";
    for (const QByteArray& line : text.split('\n')) {
        QByteArray value;
        if (valueOf(line, "processor", value)) {
            ++processors;
            physicalId = "0";
        } else if (valueOf(line, "physical id", value)) {
            physicalId = value;
        } else if (valueOf(line, "core id", value)) {
            cores.insert(physicalId + '/' + value);
        }
    }
    return cores.isEmpty() ? processors : cores.size();
}

QString adapterNameFromUevent(const QByteArray& text)
{
    QString driver;
    QString pciId;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith("DRIVER="))
            driver = QString::fromUtf8(line.mid(7)).trimmed();
        else if (line.startsWith("PCI_ID="))
            pciId = QString::fromUtf8(line.mid(7)).trimmed();
    }
    if (driver.isEmpty() && pciId.isEmpty())
        return {};
    if (pciId.isEmpty())
        return driver;
    if (driver.isEmpty())
        return pciId;
    return QStringLiteral("%1 (%2)").arg(driver, pciId);
}

int physicalCoreCount()
{
    return physicalCoresFromCpuinfo(readAll(QStringLiteral("/proc/cpuinfo")));
}

QStringList videoAdapterNames()
{
    static const QRegularExpression card(QStringLiteral("^card[0-9]+$"));
    QStringList names;
    const QDir drm(QStringLiteral("/sys/class/drm"));
    for (const QString& entry : drm.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (!card.match(entry).hasMatch())
            continue;
        const QString name = adapterNameFromUevent(readAll(drm.filePath(entry + QStringLiteral("/device/uevent"))));
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

} // namespace Platform
