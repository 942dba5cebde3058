#include "app/SystemInfo.h"

#include "platform/SystemInfo.h"

#include "ZmTestMain.h"

#include <QFile>
#include <QRegularExpression>

Q_DECLARE_METATYPE(Platform::CpuTimes)

namespace {

// Kernel major.minor straight from QSysInfo, an independent reading of uname().
QString kernelMajorMinor()
{
    const QStringList parts = QSysInfo::kernelVersion().split('.');
    return parts.value(0).toInt() > 0 ? QStringLiteral("%1.%2").arg(parts.value(0).toInt()).arg(parts.value(1).toInt())
                                      : QString();
}

Platform::CpuTimes times(quint64 idle, quint64 kernel, quint64 user)
{
    Platform::CpuTimes sample;
    sample.idle = idle;
    sample.kernel = kernel;
    sample.user = user;
    return sample;
}

// Restores one environment variable when it goes out of scope.
class EnvGuard
{
public:
    explicit EnvGuard(const char* name)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_value(qgetenv(name))
    {
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_value;
};

} // namespace

class TestSystemInfo : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: no other code in this process has sampled the processor times yet.
    void firstCpuUsageIsZero()
    {
        QCOMPARE(getSystemCpuUsage(), 0);
        const int second = getSystemCpuUsage();
        QVERIFY2(second >= 0 && second <= 100, qPrintable(QString::number(second)));
    }

    void osName()
    {
        QCOMPARE(osNameForVersion(6, 1), QStringLiteral("Linux 6.1"));
        QCOMPARE(osNameForVersion(10, 0), QStringLiteral("Linux 10.0"));
        QCOMPARE(getOsName(), QStringLiteral("Linux ") + kernelMajorMinor());
        QCOMPARE(getOsName(), getOsName()); // cached, same text

        int major = 0;
        int minor = 0;
        QVERIFY(getOsVersion(major, minor));
        QCOMPARE(QStringLiteral("%1.%2").arg(major).arg(minor), kernelMajorMinor());
    }

    void platformDescription()
    {
        QCOMPARE(formatPlatformDescription(600, 6, 1, QStringLiteral("classroom-pc"), QStringLiteral("school")),
                 QStringLiteral("Platform: 600 / Version:  Linux 6.1 / Name:classroom-pc / Domain:school"));
        QCOMPARE(formatPlatformDescription(600, 5, 15, QStringLiteral("pc"), QString()),
                 QStringLiteral("Platform: 600 / Version:  Linux 5.15 / Name:pc / Domain:"));

        const QString live = getPlatformDescription();
        const QString expectedStart = QStringLiteral("Platform: 600 / Version:  Linux ") + kernelMajorMinor() +
                                      QStringLiteral(" / Name:") + QSysInfo::machineHostName() +
                                      QStringLiteral(" / Domain:");
        QVERIFY2(live.startsWith(expectedStart), qPrintable(live));
    }

    void osFullName()
    {
        const QString name = getOsFullName();
        QVERIFY(!name.isEmpty());
        if (!QFile::exists(QStringLiteral("/etc/os-release")) && !QFile::exists(QStringLiteral("/usr/lib/os-release")))
            QCOMPARE(name, getOsName());
        else
            QVERIFY2(name != getOsName(), qPrintable(name));
    }

    // Each row feeds the meter a series of samples (idle, kernel including idle, user) and lists its answers.
    void cpuUsageMeter_data()
    {
        QTest::addColumn<QVector<Platform::CpuTimes>>("samples");
        QTest::addColumn<QVector<int>>("usage");
        QTest::newRow("first sample is 0") << QVector<Platform::CpuTimes>{times(100, 200, 50)} << QVector<int>{0};
        QTest::newRow("no time passed") << QVector<Platform::CpuTimes>{times(100, 200, 50), times(100, 200, 50)}
                                        << QVector<int>{0, 0};
        // total = 40 + 60 = 100 ticks, 25 idle: 75 %.
        QTest::newRow("three quarters busy")
            << QVector<Platform::CpuTimes>{times(100, 200, 50), times(125, 240, 110)} << QVector<int>{0, 75};
        QTest::newRow("all idle") << QVector<Platform::CpuTimes>{times(0, 0, 0), times(50, 50, 0)}
                                  << QVector<int>{0, 0};
        QTest::newRow("fully busy") << QVector<Platform::CpuTimes>{times(0, 0, 0), times(0, 10, 30)}
                                    << QVector<int>{0, 100};
        // 2 busy of 3 ticks: integer arithmetic rounds down.
        QTest::newRow("rounds down") << QVector<Platform::CpuTimes>{times(0, 0, 0), times(1, 1, 2)}
                                     << QVector<int>{0, 66};
        QTest::newRow("each call measures since the previous one")
            << QVector<Platform::CpuTimes>{times(0, 0, 0), times(10, 10, 0), times(10, 20, 10)}
            << QVector<int>{0, 0, 100};
        QTest::newRow("counters going backwards give 0")
            << QVector<Platform::CpuTimes>{times(500, 900, 400), times(10, 20, 10), times(20, 40, 30)}
            << QVector<int>{0, 0, 75};
        QTest::newRow("large counters") << QVector<Platform::CpuTimes>{times(9000000000000ULL, 18000000000000ULL, 1000),
                                                                       times(9000000000050ULL, 18000000000100ULL, 1100)}
                                        << QVector<int>{0, 75};
    }

    void cpuUsageMeter()
    {
        QFETCH(QVector<Platform::CpuTimes>, samples);
        QFETCH(QVector<int>, usage);
        CpuUsageMeter meter;
        QVector<int> answers;
        for (const Platform::CpuTimes& sample : samples)
            answers << meter.addSample(sample);
        QCOMPARE(answers, usage);
    }

    void cpuDescription()
    {
        QCOMPARE(formatCpuDescription(3200, QStringLiteral("GenuineIntel"),
                                      QStringLiteral("Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz")),
                 QStringLiteral("CPU main frequency: 3200MHz / CPU manufacture: GenuineIntel / CPU type: "
                                "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"));

        const QString live = getCpuDescription();
        static const QRegularExpression form(
            QStringLiteral("^CPU main frequency: (\\d+)MHz / CPU manufacture: (.*) / CPU type: (.*)$"));
        const QRegularExpressionMatch match = form.match(live);
        QVERIFY2(match.hasMatch(), qPrintable(live));
        QVERIFY(!match.captured(2).isEmpty() || !match.captured(3).isEmpty());
#if defined(__x86_64__) || defined(__i386__)
        // The processor's own identification agrees with the kernel's list, and the clock was measured.
        QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
        QVERIFY(cpuinfo.open(QIODevice::ReadOnly));
        const QByteArray text = cpuinfo.readAll();
        static const QRegularExpression vendorLine(QStringLiteral("^vendor_id\\s*:\\s*(\\S+)"),
                                                   QRegularExpression::MultilineOption);
        QCOMPARE(match.captured(2), vendorLine.match(QString::fromLatin1(text)).captured(1));
        QVERIFY(match.captured(1).toLongLong() > 0);
#endif
    }

    void memoryDescription_data()
    {
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::addColumn<QString>("expected");
        const quint64 gb = quint64(1) << 30;
        QTest::newRow("whole") << 16 * gb << 8 * gb << "total 16.00 GB (8.00 GB available)";
        QTest::newRow("fractions") << (15 * gb + gb / 2) << (gb * 3 / 4) << "total 15.50 GB (0.75 GB available)";
        QTest::newRow("decimal gigabytes are not GB")
            << quint64(8000000000ULL) << quint64(0) << "total 7.45 GB (0.00 GB available)";
    }

    void memoryDescription()
    {
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        QFETCH(QString, expected);
        QCOMPARE(formatMemoryDescription(total, available), expected);
    }

    void liveMemoryDescription()
    {
        const QString live = getMemoryDescription();
        static const QRegularExpression form(
            QStringLiteral("^total \\d+\\.\\d\\d GB \\(\\d+\\.\\d\\d GB available\\)$"));
        QVERIFY2(form.match(live).hasMatch(), qPrintable(live));
    }

    void uiLanguageForLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("zh_CN") << "zh_CN"
                               << "cn";
        QTest::newRow("zh_CN.UTF-8") << "zh_CN.UTF-8"
                                     << "cn";
        QTest::newRow("zh_CN.GB18030@modifier") << "zh_CN.GB18030@x"
                                                << "cn";
        QTest::newRow("zh-CN") << "zh-CN"
                               << "cn";
        QTest::newRow("zh-Hans-CN") << "zh-Hans-CN"
                                    << "cn";
        QTest::newRow("zh") << "zh"
                            << "cn";
        QTest::newRow("zh_TW") << "zh_TW.UTF-8"
                               << "en";
        QTest::newRow("zh_HK") << "zh_HK"
                               << "en";
        QTest::newRow("en_US") << "en_US.UTF-8"
                               << "en";
        QTest::newRow("C") << "C"
                           << "en";
        QTest::newRow("POSIX") << "POSIX"
                               << "en";
        QTest::newRow("empty") << ""
                               << "en";
    }

    void uiLanguageForLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QCOMPARE(::uiLanguageForLocale(locale), language);
    }

    void uiLanguageFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcMessages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("language");
        QTest::newRow("LANG chinese") << QByteArray() << QByteArray() << QByteArray("zh_CN.UTF-8") << "cn";
        QTest::newRow("LC_MESSAGES over LANG") << QByteArray() << QByteArray("en_GB") << QByteArray("zh_CN") << "en";
        QTest::newRow("LC_ALL over everything")
            << QByteArray("zh_CN") << QByteArray("en_GB") << QByteArray("en_US") << "cn";
    }

    void uiLanguageFromEnvironment()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcMessages);
        QFETCH(QByteArray, lang);
        QFETCH(QString, language);
        EnvGuard guardAll("LC_ALL");
        EnvGuard guardMessages("LC_MESSAGES");
        EnvGuard guardLang("LANG");
        qputenv("LC_ALL", lcAll);
        qputenv("LC_MESSAGES", lcMessages);
        qputenv("LANG", lang);
        QCOMPARE(getUiLanguage(), language);
        QCOMPARE(isChineseUiLanguage(), language == QLatin1String("cn"));
    }
};

ZM_TEST_MAIN_CORE(TestSystemInfo)
#include "tst_systeminfo.moc"
