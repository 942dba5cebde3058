#include "platform/SystemFiles_linux.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

namespace Platform::LinuxFiles {

namespace {

// "key<blanks>: value" lines of /proc/cpuinfo; the first occurrence of each key wins.
QMap<QString, QString> colonFields(const QByteArray& text)
{
    QMap<QString, QString> fields;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines) {
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QString key = QString::fromUtf8(line.left(colon)).trimmed();
        if (!key.isEmpty() && !fields.contains(key))
            fields.insert(key, QString::fromUtf8(line.mid(colon + 1)).trimmed());
    }
    return fields;
}

QString firstOf(const QMap<QString, QString>& fields, std::initializer_list<const char*> keys)
{
    for (const char* key : keys) {
        const QString value = fields.value(QLatin1String(key));
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

// One os-release value: unquoted, "double quoted" or 'single quoted', with backslash escapes outside single
// quotes.
QString unquoteShellValue(const QString& raw)
{
    QString value;
    QChar quote;
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (quote.isNull() && (c == '"' || c == '\'')) {
            quote = c;
            continue;
        }
        if (!quote.isNull() && c == quote) {
            quote = QChar();
            continue;
        }
        if (c == '\\' && quote != '\'' && i + 1 < raw.size()) {
            value.append(raw.at(++i));
            continue;
        }
        value.append(c);
    }
    return quote.isNull() ? value.trimmed() : value;
}

} // namespace

bool readFile(const QString& path, QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    text = file.readAll();
    return true;
}

bool parseKernelVersion(const QString& release, int& major, int& minor)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = pattern.match(release);
    if (!match.hasMatch())
        return false;
    bool majorOk = false;
    bool minorOk = false;
    const int parsedMajor = match.captured(1).toInt(&majorOk);
    const int parsedMinor = match.captured(2).toInt(&minorOk);
    if (!majorOk || !minorOk)
        return false;
    major = parsedMajor;
    minor = parsedMinor;
    return true;
}

bool readKernelVersion(const QString& path, int& major, int& minor)
{
    QByteArray text;
    return readFile(path, text) && parseKernelVersion(QString::fromUtf8(text), major, minor);
}

QMap<QString, QString> parseOsRelease(const QByteArray& text)
{
    QMap<QString, QString> values;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        values.insert(line.left(equals).trimmed(), unquoteShellValue(line.mid(equals + 1)));
    }
    return values;
}

QString distributionNameFrom(const QMap<QString, QString>& osRelease)
{
    const QString pretty = osRelease.value(QStringLiteral("PRETTY_NAME")).trimmed();
    if (!pretty.isEmpty())
        return pretty;
    const QString name = osRelease.value(QStringLiteral("NAME")).trimmed();
    const QString version = osRelease.value(QStringLiteral("VERSION_ID")).trimmed();
    if (!name.isEmpty() && !version.isEmpty())
        return name + ' ' + version;
    return name;
}

QString readDistributionName(const QStringList& paths)
{
    for (const QString& path : paths) {
        QByteArray text;
        if (readFile(path, text))
            return distributionNameFrom(parseOsRelease(text));
    }
    return QString();
}

bool parseProcStat(const QByteArray& text, CpuTimes& out)
{
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.isEmpty() || fields.first() != "cpu")
            continue;
        // user nice system idle iowait irq softirq steal guest guest_nice; older kernels give fewer.
        quint64 values[8] = {};
        const int available = qMin(int(fields.size()) - 1, 8);
        if (available < 4)
            return false;
        for (int i = 0; i < available; ++i) {
            bool ok = false;
            values[i] = fields.at(i + 1).toULongLong(&ok);
            if (!ok)
                return false;
        }
        const quint64 user = values[0], nice = values[1], system = values[2], idle = values[3];
        const quint64 iowait = values[4], irq = values[5], softirq = values[6], steal = values[7];
        out.idle = idle + iowait;
        out.user = user + nice;
        out.kernel = system + irq + softirq + steal + out.idle;
        return true;
    }
    return false;
}

bool readCpuTimes(const QString& path, CpuTimes& out)
{
    QByteArray text;
    return readFile(path, text) && parseProcStat(text, out);
}

bool parseMeminfo(const QByteArray& text, MemoryStatus& out)
{
    QMap<QByteArray, quint64> kilobytes;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines) {
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> value = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        const quint64 number = value.first().toULongLong(&ok);
        if (ok)
            kilobytes.insert(line.left(colon).trimmed(), number);
    }
    if (!kilobytes.contains("MemTotal"))
        return false;
    quint64 available = 0;
    if (kilobytes.contains("MemAvailable"))
        available = kilobytes.value("MemAvailable");
    else
        available = kilobytes.value("MemFree") + kilobytes.value("Buffers") + kilobytes.value("Cached");
    out.totalBytes = kilobytes.value("MemTotal") * 1024;
    out.availableBytes = available * 1024;
    return true;
}

bool readMemoryStatus(const QString& path, MemoryStatus& out)
{
    QByteArray text;
    return readFile(path, text) && parseMeminfo(text, out);
}

bool parseCpuinfo(const QByteArray& text, CpuIdentity& out)
{
    const QMap<QString, QString> fields = colonFields(text);
    const QString vendor = firstOf(fields, {"vendor_id", "vendor", "CPU implementer"});
    const QString brand = firstOf(fields, {"model name", "cpu model", "Processor", "cpu", "uarch", "Hardware"});
    if (vendor.isEmpty() && brand.isEmpty())
        return false;
    out.vendor = vendor;
    out.brand = brand;
    QString clock = firstOf(fields, {"cpu MHz", "clock"});
    clock.remove(QStringLiteral("MHz"), Qt::CaseInsensitive);
    bool ok = false;
    const double mhz = clock.trimmed().toDouble(&ok);
    out.mhz = ok && mhz > 0 ? qint64(mhz) : 0;
    return true;
}

bool readCpuinfo(const QString& path, CpuIdentity& out)
{
    QByteArray text;
    return readFile(path, text) && parseCpuinfo(text, out);
}

QString localeNameFrom(const QString& lcAll, const QString& lcMessages, const QString& lang)
{
    for (const QString& name : {lcAll, lcMessages, lang}) {
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

} // namespace Platform::LinuxFiles
