// The normal class room's rules without its window: the layout formulas (both views, both limits) and the
// statistics checks with their report codes.
#include "rooms/normal/NormalRoomLayout.h"
#include "rooms/normal/NormalRoomStatsCheck.h"

#include "ZmTestMain.h"

namespace {

QMapStrVar report(int cpu, int rxAudio, int txAudio, int rxVideo, int txVideo)
{
    return QMapStrVar{{"cpuTotalUsage", cpu},
                      {"rxAudioKBitRate", rxAudio},
                      {"txAudioKBitRate", txAudio},
                      {"rxVideoKBitRate", rxVideo},
                      {"txVideoKBitRate", txVideo}};
}

const QMapStrVar kGood = report(20, 30, 30, 300, 300);

RtcStatsContext twoOnline(bool teacher = false)
{
    RtcStatsContext context;
    context.localIsTeacher = teacher;
    context.localIsPupil = !teacher;
    context.onlineUsers = 2;
    context.localAudioLive = true;
    return context;
}

QStringList remarksOf(const QList<DeviceProblem>& problems)
{
    QStringList remarks;
    for (const DeviceProblem& problem : problems)
        remarks << QStringLiteral("%1 %2 %3 %4")
                       .arg(problem.problemType)
                       .arg(problem.errorCode)
                       .arg(problem.remark, problem.description);
    return remarks;
}

// The problems of n reports in a row.
QStringList feed(NormalRoomStatsCheck& check, int n, const QMapStrVar& stats, const RtcStatsContext& context)
{
    QStringList all;
    for (int i = 0; i < n; ++i)
        all << remarksOf(check.check(stats, context));
    return all;
}

} // namespace

class TestNormalRoomRules : public QObject
{
    Q_OBJECT

private slots:
    // Each tile is 4:3 and both fit the panel's height with 10 pixels between; the courseware keeps 1.62.
    void normalView_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("courseware");
        QTest::addColumn<QSize>("videoPanel");
        QTest::newRow("full HD, width decides") << QSize(1920, 1079) << QSize(1344, 829) << QSize(546, 829);
        QTest::newRow("smallest window") << QSize(1366, 768) << QSize(951, 587) << QSize(385, 587);
        QTest::newRow("tall window, width decides") << QSize(1366, 1400) << QSize(951, 587) << QSize(385, 587);
        QTest::newRow("wide window, height decides") << QSize(2560, 1079) << QSize(1539, 949) << QSize(626, 949);
        QTest::newRow("4K") << QSize(3840, 2159) << QSize(2704, 1669) << QSize(1106, 1669);
    }
    void normalView()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, courseware);
        QFETCH(QSize, videoPanel);
        const NormalRoomLayout::Sizes sizes = NormalRoomLayout::normalView(window, 64);
        QCOMPARE(sizes.courseware, courseware);
        QCOMPARE(sizes.videoPanel, videoPanel);
        // Both fit beside each other inside the margins, the two tiles inside the panel.
        QVERIFY(10 + courseware.width() + 10 + videoPanel.width() + 10 <= window.width());
        QVERIFY(40 + 64 + courseware.height() + 25 <= window.height());
        QVERIFY(2 * (videoPanel.width() * 3 / 4) + 10 <= videoPanel.height());
    }

    void shareView_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("courseware");
        QTest::addColumn<int>("titleRow");
        QTest::newRow("full HD") << QSize(1920, 1079) << QSize(1688, 949) << 64;
        QTest::newRow("smallest window") << QSize(1366, 768) << QSize(1136, 638) << 64;
        QTest::newRow("tall window, width decides") << QSize(1366, 1400) << QSize(1306, 734) << 64;
        QTest::newRow("wide window, height decides") << QSize(2560, 1079) << QSize(1688, 949) << 64;
        QTest::newRow("low title row") << QSize(1920, 1079) << QSize(1761, 990) << 23;
    }
    void shareView()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, courseware);
        QFETCH(int, titleRow);
        QCOMPARE(NormalRoomLayout::shareView(window, titleRow), courseware);
        // The courseware stays inside the window, below the title row.
        QVERIFY(10 + courseware.width() + 10 <= window.width());
        QVERIFY(40 + titleRow + courseware.height() + 25 <= window.height());
    }

    // A window too small for the chrome gives empty sizes, never negative ones.
    void tinyWindow()
    {
        const NormalRoomLayout::Sizes sizes = NormalRoomLayout::normalView(QSize(20, 50), 64);
        QCOMPARE(sizes.courseware, QSize(0, 0));
        QVERIFY(sizes.videoPanel.width() >= 0 && sizes.videoPanel.height() >= 0);
        QCOMPARE(NormalRoomLayout::shareView(QSize(20, 50), 64), QSize(0, 0));
    }

    void rangeMiss_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<bool>>("results");
        QTest::addColumn<int>("counter");
        const auto repeated = [](int value, int n) { return QVector<int>(n, value).toList(); };
        const QList<bool> tenth = QVector<bool>(9, false).toList() << true;
        QTest::newRow("ten zeros") << repeated(0, 10) << tenth << 10;
        QTest::newRow("65535 is bad too") << repeated(65535, 10) << tenth << 10;
        QTest::newRow("nine, then a good one") << (repeated(0, 9) << 5) << QVector<bool>(10, false).toList() << 0;
        QTest::newRow("stays at ten") << (repeated(0, 10) << 5 << 0) << (QList<bool>(tenth) << false << false) << 10;
        QTest::newRow("bounds") << QList<int>{1, 65534} << QList<bool>{false, false} << 0;
    }
    void rangeMiss()
    {
        QFETCH(QList<int>, values);
        QFETCH(QList<bool>, results);
        QFETCH(int, counter);
        int misses = 0;
        QList<bool> seen;
        for (int value : values)
            seen << NormalRoomStatsCheck::checkRangeMiss(value, 1, 65535, misses);
        QCOMPARE(seen, results);
        QCOMPARE(misses, counter);
    }

    // Each check reports with its own codes, once per room: ten bad reports, good ones, ten bad again give one.
    void reportsOncePerCheck_data()
    {
        QTest::addColumn<QMapStrVar>("bad");
        QTest::addColumn<QString>("expected");
        QTest::newRow("engine CPU") << report(90, 30, 30, 300, 300) << "8 -9007 Cpu Error CPU>90%";
        QTest::newRow("received audio") << report(20, 0, 30, 300, 300) << "6 -9004 Audio Error rxAudioKBitRate == 0";
        QTest::newRow("sent audio") << report(20, 30, 0, 300, 300) << "6 -9003 Audio Error txAudioKBitRate == 0";
        QTest::newRow("received video") << report(20, 30, 30, 0, 300) << "7 -9006 Video Error rxVideoKBitRate == 0";
        QTest::newRow("sent video") << report(20, 30, 30, 300, 70000) << "7 -9005 Video Error txVideoKBitRate == 0";
    }
    void reportsOncePerCheck()
    {
        QFETCH(QMapStrVar, bad);
        QFETCH(QString, expected);
        NormalRoomStatsCheck check;
        QCOMPARE(feed(check, 9, bad, twoOnline()), QStringList());
        QCOMPARE(remarksOf(check.check(bad, twoOnline())), QStringList{expected});
        QCOMPARE(feed(check, 3, kGood, twoOnline()), QStringList());
        QCOMPARE(feed(check, 20, bad, twoOnline()), QStringList());
    }

    // The reasons a check stays quiet although the value is 0.
    void quietChecks_data()
    {
        QTest::addColumn<QMapStrVar>("stats");
        QTest::addColumn<bool>("teacher");
        QTest::addColumn<int>("online");
        QTest::addColumn<bool>("pageVideo");
        QTest::addColumn<bool>("teacherMuted");
        QTest::addColumn<bool>("audioLive");
        QTest::addColumn<QStringList>("expected");
        const QMapStrVar silent = report(20, 0, 0, 0, 0);
        QTest::newRow("alone: only the engine CPU is checked") << report(95, 0, 0, 0, 0) << false << 1 << false << false
                                                               << true << QStringList{"8 -9007 Cpu Error CPU>90%"};
        QTest::newRow("pupil, teacher muted: no received audio")
            << silent << false << 2 << false << true << true
            << QStringList{"6 -9003 Audio Error txAudioKBitRate == 0", "7 -9006 Video Error rxVideoKBitRate == 0",
                           "7 -9005 Video Error txVideoKBitRate == 0"};
        QTest::newRow("teacher, page video: no received audio")
            << silent << true << 2 << true << false << true
            << QStringList{"6 -9003 Audio Error txAudioKBitRate == 0", "7 -9006 Video Error rxVideoKBitRate == 0",
                           "7 -9005 Video Error txVideoKBitRate == 0"};
        QTest::newRow("teacher muted counts for the teacher's own received audio")
            << silent << true << 2 << false << true << true
            << QStringList{"6 -9004 Audio Error rxAudioKBitRate == 0", "6 -9003 Audio Error txAudioKBitRate == 0",
                           "7 -9006 Video Error rxVideoKBitRate == 0", "7 -9005 Video Error txVideoKBitRate == 0"};
        QTest::newRow("microphone not live: no sent audio")
            << silent << false << 2 << false << false << false
            << QStringList{"6 -9004 Audio Error rxAudioKBitRate == 0", "7 -9006 Video Error rxVideoKBitRate == 0",
                           "7 -9005 Video Error txVideoKBitRate == 0"};
    }
    void quietChecks()
    {
        QFETCH(QMapStrVar, stats);
        QFETCH(bool, teacher);
        QFETCH(int, online);
        QFETCH(bool, pageVideo);
        QFETCH(bool, teacherMuted);
        QFETCH(bool, audioLive);
        QFETCH(QStringList, expected);
        RtcStatsContext context = twoOnline(teacher);
        context.onlineUsers = online;
        context.pageVideoPlaying = pageVideo;
        context.teacherAudioMuted = teacherMuted;
        context.localAudioLive = audioLive;
        NormalRoomStatsCheck check;
        QCOMPARE(feed(check, 10, stats, context), expected);
    }

    // Reports while alone do not count towards the media checks: nine bad reports alone and one with two online
    // give nothing.
    void aloneReportsDoNotCount()
    {
        NormalRoomStatsCheck check;
        RtcStatsContext alone = twoOnline();
        alone.onlineUsers = 1;
        const QMapStrVar noVideo = report(20, 30, 30, 0, 300);
        QCOMPARE(feed(check, 9, noVideo, alone), QStringList());
        QCOMPARE(feed(check, 9, noVideo, twoOnline()), QStringList());
        QCOMPARE(feed(check, 1, noVideo, twoOnline()), QStringList{"7 -9006 Video Error rxVideoKBitRate == 0"});
    }

    // A report without the keys reads 0 for each.
    void missingKeysReadZero()
    {
        NormalRoomStatsCheck check;
        const QStringList problems = feed(check, 10, QMapStrVar{}, twoOnline());
        QCOMPARE(problems.size(), 4);
        QVERIFY(!problems.join(',').contains("Cpu"));
    }
};

ZM_TEST_MAIN_CORE(TestNormalRoomRules)
#include "tst_normalroomrules.moc"
