// The device check's network probes: reading the system ping's output, grading, the probes' threads, time limits
// and single end signal, the TCP fallback, and downloads from the simulator.
#include "settings/AsyncDownload.h"
#include "settings/AsyncPing.h"

#include "app/UrlConfig.h"

#include "ClosedPort.h"
#include "FakePing.h"
#include "LogCapture.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QPointer>
#include <QTcpServer>
#include <QThread>

namespace {

// The end signals of probes as they reach the test's thread, with the thread each arrived on.
template <typename Probe> struct Ends
{
    QList<Probe*> probes;
    QList<QThread*> threads;
};

template <typename Probe, typename Signal> void listen(QObject* context, Probe* probe, Signal signal, Ends<Probe>& ends)
{
    QObject::connect(probe, signal, context, [&ends](Probe* ended) {
        ends.probes << ended;
        ends.threads << QThread::currentThread();
    });
}

} // namespace

class TestNetworkProbes : public QObject
{
    Q_OBJECT

private slots:
    void init() { AsyncPing::setPingProgram(QStringLiteral("ping")); }

    void readsTheAverageOfAPingsLastLine_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("average");

        const QByteArray iputils = "PING 10.0.0.1 (10.0.0.1) 56(84) bytes of data.\n"
                                   "64 bytes from 10.0.0.1: icmp_seq=1 ttl=64 time=12.1 ms\n\n"
                                   "--- 10.0.0.1 ping statistics ---\n"
                                   "2 packets transmitted, 2 received, 0% packet loss, time 1001ms\n";
        QTest::newRow("iputils summary") << iputils + "rtt min/avg/max/mdev = 10.100/12.345/14.590/2.245 ms\n"
                                         << 0 << 12;
        QTest::newRow("iputils rounds to whole ms")
            << QByteArray("rtt min/avg/max/mdev = 0.1/12.5/20.0/1.0 ms") << 0 << 13;
        QTest::newRow("busybox summary") << QByteArray("round-trip min/avg/max = 1.5/20.4/40.1 ms\n") << 0 << 20;
        QTest::newRow("Average = Nms, the last value after the last =")
            << QByteArray("Ping statistics for 10.0.0.1:\r\n    Minimum = 1ms, Maximum = 3ms, Average = 2ms\r\n") << 0
            << 2;
        QTest::newRow("blank lines after the summary") << QByteArray("Average = 7ms\n\n  \n") << 0 << 7;
        QTest::newRow("no ms after the last =") << QByteArray("rtt min/avg/max/mdev = 1/2/3/4\n") << -1 << -1;
        QTest::newRow("Average without ms") << QByteArray("Average = 2\n") << -1 << -1;
        QTest::newRow("no =") << iputils << -1 << -1;
        QTest::newRow("not a number") << QByteArray("Average = fastms\n") << -1 << -1;
        QTest::newRow("labels and values differ") << QByteArray("rtt min/max = 1/2/3 ms\n") << -1 << -1;
        QTest::newRow("no avg label") << QByteArray("rtt min/max = 1/2 ms\n") << -1 << -1;
        QTest::newRow("nothing") << QByteArray() << -1 << -1;
    }

    void readsTheAverageOfAPingsLastLine()
    {
        QFETCH(QByteArray, output);
        QFETCH(int, result);
        QFETCH(int, average);
        int read = -1;
        QCOMPARE(AsyncPing::readAverage(output, read), result);
        QCOMPARE(read, average);
    }

    void gradesTheMeanOfTheAttempts_data()
    {
        QTest::addColumn<int>("okAttempts");
        QTest::addColumn<int>("totalMs");
        QTest::addColumn<int>("grade");
        QTest::addColumn<QString>("word");
        QTest::newRow("no reply") << 0 << 0 << 0 << "Connection Failed";
        QTest::newRow("149 ms") << 1 << 149 << 1 << "Fluency";
        QTest::newRow("150 ms") << 1 << 150 << 3 << "Busy";
        QTest::newRow("250 ms") << 1 << 250 << 3 << "Busy";
        QTest::newRow("251 ms") << 1 << 251 << 2 << "Congestion";
        QTest::newRow("100 and 201 ms: mean 150 truncated") << 2 << 301 << 3 << "Busy";
        QTest::newRow("149.9 ms truncates to 149") << 10 << 1499 << 1 << "Fluency";
    }

    void gradesTheMeanOfTheAttempts()
    {
        QFETCH(int, okAttempts);
        QFETCH(int, totalMs);
        QFETCH(int, grade);
        QFETCH(QString, word);
        QCOMPARE(AsyncPing::gradeOf(okAttempts, totalMs), grade);
        QCOMPARE(AsyncPing::gradeWord(grade), word);
    }

    // One attempt runs "-c 2 -W 0.5 <host>"; a failing ping gives its exit code, an unreadable summary -1.
    void oneAttemptRunsTheSystemPing()
    {
        FakePing fake;
        fake.reply("up.test", 42);
        int average = -1;
        QCOMPARE(AsyncPing::ping("up.test", 2, average), 0);
        QCOMPARE(average, 42);
        QCOMPARE(fake.commandLines("up.test"), QStringList{"-c 2 -W 0.5 up.test"});
        fake.answer("down.test", "2 packets transmitted, 0 received, 100% packet loss", 1);
        QCOMPARE(AsyncPing::ping("down.test", 2, average), 1);
        fake.answer("odd.test", "rtt min/avg/max/mdev = 1/2/3/4", 0);
        QCOMPARE(AsyncPing::ping("odd.test", 2, average), -1);
        fake.hang("hung.test");
        QCOMPARE(AsyncPing::ping("hung.test", 2, average, 300), -1);
    }

    // Attempts add up; the probe ends once on the thread that started it, carrying itself.
    void probeRunsItsAttemptsOnItsOwnThread()
    {
        FakePing fake;
        fake.script("mix.test", "n=$(wc -l < \"$dir/runs/mix.test\")\n"
                                "[ \"$n\" -eq 1 ] && avg=100 || avg=201\n"
                                "echo \"rtt min/avg/max/mdev = 1/$avg/300/0 ms\"\nexit 0");
        AsyncPing ping("mix.test", 2, 30000);
        Ends<AsyncPing> ends;
        listen(this, &ping, &AsyncPing::sigPingEnded, ends);
        ping.start();
        ping.start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QCOMPARE(ends.probes.at(0), &ping);
        QCOMPARE(ends.threads.at(0), thread());
        QCOMPARE(ping.thread(), thread());
        QVERIFY(ping.isFinished());
        QCOMPARE(ping.attemptsDone(), 2);
        QCOMPARE(ping.okAttempts(), 2);
        QCOMPARE(ping.totalMs(), 301);
        QCOMPARE(ping.quality(), 3);
        QCOMPARE(ping.resultText(), QStringLiteral("mix.test = Busy"));
        QCOMPARE(fake.runs("mix.test"), 2);
        ZmTest::letTimersFire(50);
        QCOMPARE(ends.probes.size(), 1);
    }

    // Failed attempts count only as done; no attempt at all still ends once with grade 0.
    void probeWithoutReplies_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::newRow("all attempts fail") << 3;
        QTest::newRow("no attempt") << 0;
    }

    void probeWithoutReplies()
    {
        QFETCH(int, attempts);
        FakePing fake;
        fake.answer("down.test", "100% packet loss", 1);
        AsyncPing ping("down.test", attempts, 30000);
        Ends<AsyncPing> ends;
        listen(this, &ping, &AsyncPing::sigPingEnded, ends);
        ping.start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QCOMPARE(ping.attemptsDone(), attempts);
        QCOMPARE(ping.okAttempts(), 0);
        QCOMPARE(ping.quality(), 0);
        QCOMPARE(ping.resultText(), QStringLiteral("down.test = Connection Failed"));
        QCOMPARE(fake.runs("down.test"), attempts);
    }

    // A ping that never returns is killed when the time limit is reached and counts as failed.
    void hungPingEndsAtTheTimeLimit()
    {
        FakePing fake;
        fake.hang("hung.test");
        AsyncPing ping("hung.test", 10, 1200);
        Ends<AsyncPing> ends;
        listen(this, &ping, &AsyncPing::sigPingEnded, ends);
        ping.start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QCOMPARE(ping.attemptsDone(), 1);
        QCOMPARE(ping.quality(), 0);
        QCOMPARE(fake.runs("hung.test"), 1);
    }

    // Where the system ping cannot run, the probe says so once and times TCP connects to the host's port.
    void fallsBackToTcpConnectsWhenPingCannotRun_data()
    {
        QTest::addColumn<bool>("missingProgram");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("grade");
        QTest::newRow("no ping program, port open") << true << true << 1;
        QTest::newRow("no ping program, port closed") << true << false << 0;
        QTest::newRow("no ICMP permission, port open") << false << true << 1;
    }

    void fallsBackToTcpConnectsWhenPingCannotRun()
    {
        QFETCH(bool, missingProgram);
        QFETCH(bool, listening);
        QFETCH(int, grade);
        FakePing fake;
        fake.script("127.0.0.1", "echo 'ping: socket: Operation not permitted' >&2\nexit 2");
        if (missingProgram)
            AsyncPing::setPingProgram(fake.programPath() + QStringLiteral(".missing"));
        QTcpServer server;
        quint16 port = ZmTest::closedPort();
        if (listening) {
            QVERIFY(server.listen(QHostAddress::LocalHost));
            port = server.serverPort();
        }
        ZmTest::LogCapture log;
        AsyncPing ping("127.0.0.1", 3, 30000);
        ping.setFallbackPort(port);
        Ends<AsyncPing> ends;
        listen(this, &ping, &AsyncPing::sigPingEnded, ends);
        ping.start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QCOMPARE(ping.attemptsDone(), 3);
        QCOMPARE(ping.quality(), grade);
        QCOMPARE(log.linesContaining("AsyncPing the system ping cannot run").size(), 1);
        QCOMPARE(fake.runs("127.0.0.1"), missingProgram ? 0 : 1);
    }

    // A probe given up while it runs frees itself once it has ended; one given up after its end goes at once.
    void releasedProbesFreeThemselves()
    {
        FakePing fake;
        fake.hang("hung.test");
        fake.reply("quick.test", 5);
        QPointer<AsyncPing> running = new AsyncPing("hung.test", 10, 1000);
        running->start();
        running->release();
        QPointer<AsyncPing> ended = new AsyncPing("quick.test", 1, 30000);
        Ends<AsyncPing> ends;
        listen(this, ended.data(), &AsyncPing::sigPingEnded, ends);
        ended->start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QVERIFY(ended);
        ended->release();
        QTRY_VERIFY(ended.isNull());
        QTRY_VERIFY(running.isNull());
        QPointer<AsyncPing> unstarted = new AsyncPing("quick.test", 1, 30000);
        unstarted->release();
        QTRY_VERIFY(unstarted.isNull());
    }

    void downloadResultTexts_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<float>("speed");
        QTest::addColumn<QString>("text");
        QTest::newRow("250000 bytes in 1000 ms")
            << 0 << AsyncDownload::speedOf(250000, 1000) << "http://d/t.png = 250KB";
        QTest::newRow("fractions") << 0 << AsyncDownload::speedOf(1000, 3) << "http://d/t.png = 333.333KB";
        QTest::newRow("0 ms counts as 1 ms") << 0 << AsyncDownload::speedOf(4096, 0) << "http://d/t.png = 4096KB";
        QTest::newRow("failed") << -1 << 0.0f << "http://d/t.png = Connection failed";
        QTest::newRow("refused") << 1 << 0.0f << "http://d/t.png = Connection failed";
    }

    void downloadResultTexts()
    {
        QFETCH(int, result);
        QFETCH(float, speed);
        QFETCH(QString, text);
        QCOMPARE(AsyncDownload::resultTextOf(QStringLiteral("http://d/t.png"), result, speed), text);
    }

    // The simulator's download-test file, a missing file and a closed port.
    void downloadsFromTheSimulator_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("test file") << "test file" << true;
        QTest::newRow("missing file") << "/files/missing.png" << false;
        QTest::newRow("closed port") << "closed" << false;
    }

    void downloadsFromTheSimulator()
    {
        QFETCH(QString, target);
        QFETCH(bool, succeeds);
        ZmTest::Simulator simulator;
        QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
        UrlConfig config;
        simulator.pointUrlConfig(config);
        QString url = simulator.url(target);
        if (target == "test file")
            url = config.testDownload;
        else if (target == "closed")
            url = QStringLiteral("http://127.0.0.1:%1/files/logo_1MB.png").arg(ZmTest::closedPort());

        AsyncDownload download(url, 30);
        Ends<AsyncDownload> ends;
        listen(this, &download, &AsyncDownload::sigEnded, ends);
        download.start();
        download.start();
        QTRY_COMPARE(ends.probes.size(), 1);
        QCOMPARE(ends.probes.at(0), &download);
        QVERIFY(download.isFinished());
        QCOMPARE(download.failed(), !succeeds);
        if (succeeds) {
            QCOMPARE(download.receivedBytes(), qint64(1) << 20);
            QCOMPARE(download.speed(), AsyncDownload::speedOf(download.receivedBytes(), download.elapsedMs()));
            QVERIFY(download.resultText().startsWith(url + " = "));
            QVERIFY(download.resultText().endsWith("KB"));
        } else {
            QCOMPARE(download.speed(), 0.0f);
            QCOMPARE(download.resultText(), url + " = Connection failed");
        }
    }
};

ZM_TEST_MAIN_CORE(TestNetworkProbes)
#include "tst_networkprobes.moc"
