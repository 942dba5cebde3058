// The device check's verdicts: the overall network grade, the words, colours and pass rule of the program/network
// page, the check report's lines and the version note.
#include "settings/SystemCheckVerdicts.h"

#include "ZmTestMain.h"

using namespace SystemCheck;

namespace {

QString style(const char* colour, bool blank = false)
{
    return QStringLiteral("QLabel{color:%1%2; font: 75 13px \"微软雅黑\";}")
        .arg(blank ? QStringLiteral(" ") : QString(), QLatin1String(colour));
}

} // namespace

class TestSystemCheckVerdicts : public QObject
{
    Q_OBJECT

private slots:
    void overallNetworkGrade_data()
    {
        QTest::addColumn<QList<int>>("grades");
        QTest::addColumn<int>("overall");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("styleSheet");
        QTest::newRow("all fluent") << QList<int>{1, 1, 1, 1} << 1 << true << "Fluency" << style("#55aa00");
        QTest::newRow("one busy") << QList<int>{1, 3, 1, 1} << 3 << true << "Busy" << style("#ffaa00");
        QTest::newRow("congested beats busy")
            << QList<int>{3, 2, 1, 3} << 2 << false << "Congestion" << style("#ff0000");
        QTest::newRow("no reply beats congestion")
            << QList<int>{2, 1, 0, 3} << 0 << false << "Connection failed" << style("#999999");
    }

    void overallNetworkGrade()
    {
        QFETCH(QList<int>, grades);
        QFETCH(int, overall);
        QFETCH(bool, passes);
        QFETCH(QString, text);
        QFETCH(QString, styleSheet);
        QCOMPARE(overallPingGrade(grades), overall);
        QCOMPARE(networkPasses(overall), passes);
        QCOMPARE(networkVerdict(overall).text, text);
        QCOMPARE(networkVerdict(overall).styleSheet, styleSheet);
    }

    void downloadVerdicts_data()
    {
        QTest::addColumn<bool>("failed");
        QTest::addColumn<float>("speed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("styleSheet");
        QTest::addColumn<bool>("passes");
        QTest::newRow("failed") << true << 900.0f << "Connection failed" << style("#999999") << false;
        QTest::newRow("99.9") << false << 99.9f << "Poor" << style("#ff0000") << false;
        QTest::newRow("100") << false << 100.0f << "Good" << style("#ffaa00") << true;
        QTest::newRow("249.9") << false << 249.9f << "Good" << style("#ffaa00") << true;
        QTest::newRow("250") << false << 250.0f << "Great" << style("#55aa00") << true;
    }

    void downloadVerdicts()
    {
        QFETCH(bool, failed);
        QFETCH(float, speed);
        QFETCH(QString, text);
        QFETCH(QString, styleSheet);
        QFETCH(bool, passes);
        QCOMPARE(downloadVerdict(failed, speed).text, text);
        QCOMPARE(downloadVerdict(failed, speed).styleSheet, styleSheet);
        QCOMPARE(downloadPasses(failed, speed), passes);
    }

    void processorVerdicts_data()
    {
        QTest::addColumn<int>("usage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("styleSheet");
        QTest::newRow("29") << 29 << "Low" << style("#55aa00");
        QTest::newRow("30") << 30 << "Medium" << style("#ffaa00", true);
        QTest::newRow("59") << 59 << "Medium" << style("#ffaa00", true);
        QTest::newRow("60") << 60 << "High" << style("#ff0000", true);
    }

    void processorVerdicts()
    {
        QFETCH(int, usage);
        QFETCH(QString, text);
        QFETCH(QString, styleSheet);
        QCOMPARE(cpuVerdict(usage).text, text);
        QCOMPARE(cpuVerdict(usage).styleSheet, styleSheet);
    }

    void reportLinesKeepTheirWords()
    {
        ReportInput input;
        input.cameraOk = true;
        input.speakerOk = true;
        input.pingLines = QStringList{"board.test = Fluency", "main.test = Connection Failed"};
        input.downloadLine = "http://d/logo_1MB.png = 250KB";
        input.cpuUsage = 42;
        QCOMPARE(reportLines(input),
                 (QStringList{"Camera = OK", "Micphone = Failed", "Speaker = OK", "board.test = Fluency",
                              "main.test = Connection Failed", "http://d/logo_1MB.png = 250KB", "CpuUsage = 42"}));
        QCOMPARE(reportLines(ReportInput()),
                 (QStringList{"Camera = Failed", "Micphone = Failed", "Speaker = Failed", "CpuUsage = 0"}));
    }

    void versionNote_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("own");
        QTest::addColumn<int>("note");
        const int none = int(VersionNote::None);
        const int latest = int(VersionNote::Latest);
        const int outdated = int(VersionNote::Outdated);
        QTest::newRow("numbers, not text: 2.10 after 2.9.1") << "2.10"
                                                             << "2.9.1" << outdated;
        QTest::newRow("same") << "1.5.7"
                              << "1.5.7" << latest;
        QTest::newRow("own newer") << "1.4.9"
                                   << "1.5.0" << latest;
        QTest::newRow("newer patch") << "1.5.8"
                                     << "1.5.7" << outdated;
        QTest::newRow("shorter published, equal parts") << "1.5"
                                                        << "1.5.7" << latest;
        QTest::newRow("stops at the first non-number") << "1.6beta.9"
                                                       << "1.5.7" << latest;
        QTest::newRow("empty") << ""
                               << "1.5.7" << none;
        QTest::newRow("not a number") << "latest"
                                      << "1.5.7" << none;
        QTest::newRow("no own version") << "1.5.7"
                                        << "" << none;
    }

    void versionNote()
    {
        QFETCH(QString, published);
        QFETCH(QString, own);
        QFETCH(int, note);
        QCOMPARE(int(compareVersions(published, own)), note);
    }
};

ZM_TEST_MAIN_CORE(TestSystemCheckVerdicts)
#include "tst_systemcheckverdicts.moc"
