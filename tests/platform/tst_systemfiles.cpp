#include "platform/SystemFiles_linux.h"

#include "ZmTestMain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Platform;
using namespace Platform::LinuxFiles;

using StringMap = QMap<QString, QString>;
Q_DECLARE_METATYPE(StringMap)

namespace {

QString writeFixture(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
    return path;
}

const QByteArray kCpuinfoX86 = "processor\t: 0\n"
                               "vendor_id\t: GenuineIntel\n"
                               "cpu family\t: 6\n"
                               "model name\t: Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz\n"
                               "cpu MHz\t\t: 3191.998\n"
                               "flags\t\t: fpu vme de\n"
                               "\n"
                               "processor\t: 1\n"
                               "vendor_id\t: OtherVendor\n"
                               "model name\t: Second Core\n"
                               "cpu MHz\t\t: 800.000\n";

const QByteArray kCpuinfoArm = "processor\t: 0\n"
                               "BogoMIPS\t: 108.00\n"
                               "Features\t: fp asimd evtstrm crc32\n"
                               "CPU implementer\t: 0x41\n"
                               "CPU part\t: 0xd08\n"
                               "\n"
                               "Hardware\t: BCM2835\n";

const QByteArray kCpuinfoPower = "processor\t: 0\n"
                                 "cpu\t\t: POWER9 (architected), altivec supported\n"
                                 "clock\t\t: 2200.000000MHz\n"
                                 "revision\t: 2.2 (pvr 004e 1202)\n";

} // namespace

class TestSystemFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void kernelVersion_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::newRow("debian") << "6.1.0-18-amd64" << true << 6 << 1;
        QTest::newRow("two digits") << "5.15.0-91-generic" << true << 5 << 15;
        QTest::newRow("release candidate") << "6.10-rc1" << true << 6 << 10;
        QTest::newRow("trailing newline") << "4.19.0\n" << true << 4 << 19;
        QTest::newRow("major only") << "6" << false << -1 << -1;
        QTest::newRow("letters") << "abc" << false << -1 << -1;
        QTest::newRow("empty") << "" << false << -1 << -1;
    }

    void kernelVersion()
    {
        QFETCH(QString, release);
        QFETCH(bool, ok);
        QFETCH(int, major);
        QFETCH(int, minor);
        int readMajor = -1;
        int readMinor = -1;
        QCOMPARE(parseKernelVersion(release, readMajor, readMinor), ok);
        QCOMPARE(readMajor, major);
        QCOMPARE(readMinor, minor);

        readMajor = readMinor = -1;
        const QString path = writeFixture(dir, "osrelease", release.toUtf8());
        QCOMPARE(readKernelVersion(path, readMajor, readMinor), ok);
        QCOMPARE(readMajor, major);
        QVERIFY(!readKernelVersion(dir.filePath("missing"), readMajor, readMinor));
    }

    void osRelease_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<StringMap>("values");
        QTest::addColumn<QString>("distribution");

        QTest::newRow("debian") << QByteArray("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                              "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nID=debian\n")
                                << StringMap{{"PRETTY_NAME", "Debian GNU/Linux 12 (bookworm)"},
                                             {"NAME", "Debian GNU/Linux"},
                                             {"VERSION_ID", "12"},
                                             {"ID", "debian"}}
                                << "Debian GNU/Linux 12 (bookworm)";
        QTest::newRow("quotes, escapes, comments")
            << QByteArray("# comment\n\nNAME='Single $quoted'\nVERSION_ID=3.18\nVARIANT=\"say \\\"hi\\\"\"\n")
            << StringMap{{"NAME", "Single $quoted"}, {"VERSION_ID", "3.18"}, {"VARIANT", "say \"hi\""}}
            << "Single $quoted 3.18";
        QTest::newRow("name only") << QByteArray("NAME=Plain\nbroken line\n=novalue\n") << StringMap{{"NAME", "Plain"}}
                                   << "Plain";
        QTest::newRow("empty") << QByteArray() << StringMap{} << "";
    }

    void osRelease()
    {
        QFETCH(QByteArray, text);
        QFETCH(StringMap, values);
        QFETCH(QString, distribution);
        const StringMap parsed = parseOsRelease(text);
        QCOMPARE(parsed, values);
        QCOMPARE(distributionNameFrom(parsed), distribution);
    }

    void distributionFromFirstReadableFile()
    {
        const QString second = writeFixture(dir, "os-release", "PRETTY_NAME=\"Second\"\n");
        QCOMPARE(readDistributionName({dir.filePath("missing"), second}), QStringLiteral("Second"));
        QVERIFY(readDistributionName({dir.filePath("missing")}).isEmpty());
    }

    void procStat_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint64>("idle");
        QTest::addColumn<quint64>("kernel");
        QTest::addColumn<quint64>("user");
        // user nice system idle iowait irq softirq steal guest guest_nice
        QTest::newRow("current kernel") << QByteArray("cpu  100 20 30 400 50 6 7 8 90 10\n"
                                                      "cpu0 1 1 1 1 1 1 1 1 1 1\nintr 12345\n")
                                        << true << quint64(450) << quint64(30 + 6 + 7 + 8 + 450) << quint64(120);
        QTest::newRow("four fields") << QByteArray("cpu 10 0 5 85\n") << true << quint64(85) << quint64(90)
                                     << quint64(10);
        QTest::newRow("aggregate line after others")
            << QByteArray("intr 1\ncpu 1 2 3 4 5 6 7\n") << true << quint64(9) << quint64(3 + 6 + 7 + 9) << quint64(3);
        QTest::newRow("too few fields") << QByteArray("cpu 1 2 3\n") << false << quint64(0) << quint64(0) << quint64(0);
        QTest::newRow("not numbers") << QByteArray("cpu a b c d\n") << false << quint64(0) << quint64(0) << quint64(0);
        QTest::newRow("per-cpu lines only")
            << QByteArray("cpu0 1 2 3 4\n") << false << quint64(0) << quint64(0) << quint64(0);
        QTest::newRow("large counters") << QByteArray("cpu 0 0 0 9000000000000 0\n") << true
                                        << quint64(9000000000000ULL) << quint64(9000000000000ULL) << quint64(0);
    }

    void procStat()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(quint64, idle);
        QFETCH(quint64, kernel);
        QFETCH(quint64, user);
        CpuTimes times;
        QCOMPARE(readCpuTimes(writeFixture(dir, "stat", text), times), ok);
        QCOMPARE(times.idle, idle);
        QCOMPARE(times.kernel, kernel);
        QCOMPARE(times.user, user);
    }

    void meminfo_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::newRow("with MemAvailable") << QByteArray("MemTotal:       16384000 kB\nMemFree:  1000 kB\n"
                                                         "MemAvailable:    8192000 kB\nBuffers: 5 kB\n")
                                           << true << quint64(16384000) * 1024 << quint64(8192000) * 1024;
        QTest::newRow("old kernel") << QByteArray("MemTotal: 2048 kB\nMemFree: 100 kB\nBuffers: 20 kB\n"
                                                  "Cached: 300 kB\nSwapCached: 999 kB\n")
                                    << true << quint64(2048) * 1024 << quint64(420) * 1024;
        QTest::newRow("no total") << QByteArray("MemFree: 100 kB\n") << false << quint64(0) << quint64(0);
        QTest::newRow("empty") << QByteArray() << false << quint64(0) << quint64(0);
    }

    void meminfo()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        MemoryStatus status;
        QCOMPARE(readMemoryStatus(writeFixture(dir, "meminfo", text), status), ok);
        QCOMPARE(status.totalBytes, total);
        QCOMPARE(status.availableBytes, available);
    }

    void cpuinfo_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("brand");
        QTest::addColumn<qint64>("mhz");
        QTest::newRow("x86: first processor") << kCpuinfoX86 << true << "GenuineIntel"
                                              << "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz" << qint64(3191);
        QTest::newRow("arm") << kCpuinfoArm << true << "0x41"
                             << "BCM2835" << qint64(0);
        QTest::newRow("power") << kCpuinfoPower << true << ""
                               << "POWER9 (architected), altivec supported" << qint64(2200);
        QTest::newRow("nothing known") << QByteArray("processor : 0\nflags : x\n") << false << ""
                                       << "" << qint64(0);
    }

    void cpuinfo()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(QString, vendor);
        QFETCH(QString, brand);
        QFETCH(qint64, mhz);
        CpuIdentity identity;
        QCOMPARE(readCpuinfo(writeFixture(dir, "cpuinfo", text), identity), ok);
        QCOMPARE(identity.vendor, vendor);
        QCOMPARE(identity.brand, brand);
        QCOMPARE(identity.mhz, mhz);
    }

    void unreadableFiles()
    {
        CpuTimes times;
        MemoryStatus memory;
        CpuIdentity identity;
        QVERIFY(!readCpuTimes(dir.filePath("missing"), times));
        QVERIFY(!readMemoryStatus(dir.filePath("missing"), memory));
        QVERIFY(!readCpuinfo(dir.filePath("missing"), identity));
    }

    void localeName_data()
    {
        QTest::addColumn<QString>("lcAll");
        QTest::addColumn<QString>("lcMessages");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LC_ALL wins") << "zh_CN.UTF-8"
                                     << "en_US"
                                     << "de_DE"
                                     << "zh_CN.UTF-8";
        QTest::newRow("LC_MESSAGES next") << ""
                                          << "en_US"
                                          << "zh_CN"
                                          << "en_US";
        QTest::newRow("LANG last") << ""
                                   << ""
                                   << "zh_CN"
                                   << "zh_CN";
        QTest::newRow("none") << ""
                              << ""
                              << ""
                              << "";
    }

    void localeName()
    {
        QFETCH(QString, lcAll);
        QFETCH(QString, lcMessages);
        QFETCH(QString, lang);
        QFETCH(QString, expected);
        QCOMPARE(localeNameFrom(lcAll, lcMessages, lang), expected);
    }

    // The live system answers in the same forms.
    void liveSystem()
    {
        KernelInfo info;
        QVERIFY(kernelInfo(info));
        QCOMPARE(info.sysName, QStringLiteral("Linux"));
        QCOMPARE(info.release, QSysInfo::kernelVersion());
        QCOMPARE(info.hostName, QSysInfo::machineHostName());
        QVERIFY(info.domainName != QLatin1String("(none)"));

        CpuTimes times;
        QVERIFY(cpuTimes(times));
        QVERIFY(times.kernel >= times.idle);
        MemoryStatus memory;
        QVERIFY(memoryStatus(memory));
        QVERIFY(memory.totalBytes > 0 && memory.availableBytes <= memory.totalBytes);
        CpuIdentity identity;
        QVERIFY(cpuIdentity(identity));
        QVERIFY(!identity.vendor.isEmpty() || !identity.brand.isEmpty());
    }
};

ZM_TEST_MAIN_CORE(TestSystemFiles)
#include "tst_systemfiles.moc"
