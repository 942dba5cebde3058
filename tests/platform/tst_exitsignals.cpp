// Exit signals brought into the event loop: SIGTERM, SIGINT and SIGHUP reach the loop, a second signal ends the
// process at once, a loop that does not end is ended after the grace, and other signals end the process as before.
#include "ZmTestMain.h"

#include <QProcess>

#include <csignal>

class TestExitSignals : public QObject
{
    Q_OBJECT

private slots:
    void exitSignals_data()
    {
        QTest::addColumn<int>("graceMs");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("killed");
        QTest::addColumn<int>("code");
        const int never = 600000;
        QTest::newRow("SIGTERM in the loop") << never << "quit" << QList<int>{SIGTERM}
                                             << QStringList{"ready", "signal 15", "loop ended"} << false << 143;
        QTest::newRow("SIGINT in the loop")
            << never << "quit" << QList<int>{SIGINT} << QStringList{"ready", "signal 2", "loop ended"} << false << 130;
        QTest::newRow("SIGHUP in the loop")
            << never << "quit" << QList<int>{SIGHUP} << QStringList{"ready", "signal 1", "loop ended"} << false << 129;
        QTest::newRow("second signal") << never << "stay" << QList<int>{SIGTERM, SIGTERM}
                                       << QStringList{"ready", "signal 15", "written out"} << true << int(SIGTERM);
        QTest::newRow("second signal of another kind")
            << never << "stay" << QList<int>{SIGHUP, SIGINT} << QStringList{"ready", "signal 1", "written out"} << true
            << int(SIGINT);
        // The grace runs from the signal: long enough for a loaded machine's loop to report the signal first. The
        // row takes that long.
        QTest::newRow("loop that does not end") << 20000 << "stay" << QList<int>{SIGTERM}
                                                << QStringList{"ready", "signal 15", "written out"} << false << 143;
        QTest::newRow("other signal") << never << "quit" << QList<int>{SIGUSR1} << QStringList{"ready", "written out"}
                                      << true << int(SIGUSR1);
    }

    void exitSignals()
    {
        QFETCH(int, graceMs);
        QFETCH(QString, mode);
        QFETCH(QList<int>, sent);
        QFETCH(QStringList, lines);
        QFETCH(bool, killed);
        QFETCH(int, code);
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QCoreApplication::applicationDirPath() + "/exit_signal_probe", {QString::number(graceMs), mode});
        QStringList seen;
        const auto waitForLine = [&probe, &seen](const QString& line) {
            while (!seen.contains(line)) {
                if (!probe.canReadLine() && !probe.waitForReadyRead(ZmTest::kStartWaitMs))
                    return false;
                while (probe.canReadLine())
                    seen << QString::fromLatin1(probe.readLine()).trimmed();
            }
            return true;
        };
        QVERIFY(waitForLine("ready"));
        for (int i = 0; i < sent.size(); ++i) {
            ::kill(pid_t(probe.processId()), sent[i]);
            // The second signal only once the first has reached the loop.
            if (i == 0 && sent.size() > 1)
                QVERIFY(waitForLine(QStringLiteral("signal %1").arg(sent[0])));
        }
        QVERIFY(probe.waitForFinished(ZmTest::kStartWaitMs));
        seen += QString::fromLatin1(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(seen, lines);
        QCOMPARE(probe.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), code);
    }
};

ZM_TEST_MAIN_CORE(TestExitSignals)
#include "tst_exitsignals.moc"
