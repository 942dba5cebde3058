// The program restart: the options a new copy keeps, closing the windows once the copy has started, the start-up's
// wait for the single-instance lock, and a real restart of a small program that holds the lock while its new copy
// starts.
#include "app/startup/InstanceLockWait.h"
#include "platform/SingleInstance.h"
#include "ui/common/ProgramRestart.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <thread>

namespace {

QString lockKey()
{
    return QStringLiteral("zm-restart-test-%1").arg(QCoreApplication::applicationPid());
}

} // namespace

class TestRestart : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ProgramRestart::setLauncher({}); }

    void carriedOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("carried");
        QTest::newRow("services kept, lesson and credentials left")
            << QStringList{"/opt/zm/ZmQuillo_Desktop", "--urlapi=http://api", "--uid=7",
                           "--token=secret",           "--apptype=joinclass", "--lessonid=5"}
            << QStringList{"--urlapi=http://api"};
        QTest::newRow("fixed order, last value wins")
            << QStringList{"prog", "--rtc_devices=real", "--urlmain=http://m", "--web_mode=test", "--urlmain=http://m2"}
            << QStringList{"--web_mode=test", "--urlmain=http://m2", "--rtc_devices=real"};
        QTest::newRow("all of them") << QStringList{"prog",           "--urlpwb=p",        "--urlwb=w",
                                                    "--urlrestful=r", "--urlapi=a",        "--urlmain=m",
                                                    "--web_mode=dev", "--rtc_scenario=/s", "--rtc_devices=simulated"}
                                     << QStringList{"--web_mode=dev",    "--urlmain=m",
                                                    "--urlapi=a",        "--urlrestful=r",
                                                    "--urlwb=w",         "--urlpwb=p",
                                                    "--rtc_scenario=/s", "--rtc_devices=simulated"};
        QTest::newRow("options joined in one argument")
            << QStringList{"prog", "--urlapi=http://a --urlwb=http://w --lessonid=5"}
            << QStringList{"--urlapi=http://a", "--urlwb=http://w"};
        QTest::newRow("upper-case name") << QStringList{"prog", "--URLAPI=http://a"}
                                         << QStringList{"--urlapi=http://a"};
        // "%2541" reads as "%41": the new copy must read the same, not "A".
        QTest::newRow("percent kept through the next reading")
            << QStringList{"prog", "--urlpwb=http://p/%2541"} << QStringList{"--urlpwb=http://p/%2541"};
        QTest::newRow("internal options left")
            << QStringList{"prog", "--zm-restarted", "--disable-web-security"} << QStringList{};
    }

    void carriedOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, carried);
        QCOMPARE(ProgramRestart::carriedOptions(arguments), carried);
    }

    void isRestartedStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("restarted");
        QTest::newRow("plain start") << QStringList{"prog", "--urlapi=x"} << false;
        QTest::newRow("restarted") << QStringList{"prog", "--urlapi=x", "--zm-restarted"} << true;
        QTest::newRow("program name only") << QStringList{"--zm-restarted"} << false;
        QTest::newRow("a longer option") << QStringList{"prog", "--zm-restarted=1"} << false;
    }

    void isRestartedStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, restarted);
        QList<QByteArray> bytes;
        std::vector<const char*> argv;
        for (const QString& argument : arguments)
            bytes.append(argument.toUtf8());
        for (const QByteArray& each : bytes)
            argv.push_back(each.constData());
        QCOMPARE(ProgramRestart::isRestartedStart(int(argv.size()), argv.data()), restarted);
    }

    void restartClosesTheWindowsOnceStarted_data()
    {
        QTest::addColumn<bool>("started");
        QTest::newRow("copy started") << true;
        QTest::newRow("copy not started") << false;
    }

    // The new copy is this program without its lesson; only when it started do this copy's windows close.
    void restartClosesTheWindowsOnceStarted()
    {
        QFETCH(bool, started);
        QList<QPair<QString, QStringList>> launches;
        ProgramRestart::setLauncher([&](const QString& program, const QStringList& arguments) {
            launches.append(qMakePair(program, arguments));
            return started;
        });
        QWidget first;
        QWidget second;
        first.show();
        second.show();
        QCOMPARE(ProgramRestart::restart(), started);
        QCOMPARE(launches.size(), 1);
        QCOMPARE(launches[0].first, QCoreApplication::applicationFilePath());
        QCOMPARE(launches[0].second, QStringList{ProgramRestart::kRestartedOption});
        QCOMPARE(first.isVisible(), !started);
        QCOMPARE(second.isVisible(), !started);
    }

    void acquireInstanceLock_data()
    {
        QTest::addColumn<QString>("holder"); // "none", "releases", "keeps"
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<bool>("held");
        QTest::newRow("free lock") << "none" << 0 << true;
        QTest::newRow("free lock, waiting allowed") << "none" << 10000 << true;
        QTest::newRow("held, no wait") << "keeps" << 0 << false;
        QTest::newRow("held until the wait ends") << "keeps" << 300 << false;
        QTest::newRow("released while waiting") << "releases" << ZmTest::kWaitMs << true;
    }

    // A start that may wait takes the lock once the holder lets go; otherwise it gives up, the lock held elsewhere.
    void acquireInstanceLock()
    {
        QFETCH(QString, holder);
        QFETCH(int, waitMs);
        QFETCH(bool, held);
        Platform::SingleInstanceLock other(lockKey());
        if (holder != "none")
            QVERIFY(other.tryAcquire());
        std::thread releaser;
        if (holder == "releases")
            releaser = std::thread([&other] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                other.release();
            });

        Platform::SingleInstanceLock lock(lockKey());
        QCOMPARE(::acquireInstanceLock(lock, waitMs), held);
        QCOMPARE(lock.isHeld(), held);
        QCOMPARE(lock.heldElsewhere(), !held);
        if (releaser.joinable())
            releaser.join();
    }

    // A real restart: the new copy starts while the first still holds the lock, waits for it, and takes it once
    // the first has ended; it carries the service address but not the user's credentials.
    void realRestart()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString logPath = runtime.filePath("probe.log");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("ZM_RESTART_PROBE_LOG", logPath);
        if (env.value("DISPLAY").isEmpty())
            env.insert("QT_QPA_PLATFORM", "offscreen");

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QCoreApplication::applicationDirPath() + "/restart_probe",
                    {"--urlapi=http://127.0.0.1:9", "--uid=7", "--token=secret"});
        QVERIFY2(first.waitForFinished(2 * ZmTest::kStartWaitMs), first.readAllStandardError().constData());
        const auto log = [&logPath] {
            QFile file(logPath);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        QVERIFY2(first.exitStatus() == QProcess::NormalExit && first.exitCode() == 0, qPrintable(log()));
        QTRY_VERIFY2(log().contains("restarted: done"), qPrintable(log()));

        const QString text = log();
        QVERIFY2(text.contains("restarted: done, lock held: true"), qPrintable(text));
        QVERIFY(text.contains("first: ProgramRestart::restart started"));
        QVERIFY(text.contains("restarted: acquireInstanceLock waits up to 10000 ms"));
        QVERIFY(text.contains("restarted: acquireInstanceLock the running copy ended after"));
        QVERIFY(text.contains("restarted: arguments --zm-restarted --urlapi=http://127.0.0.1:9\n"));
        // The first ended before the new copy took the lock.
        QVERIFY(text.indexOf("first: ends with 0") < text.indexOf("restarted: acquireInstanceLock the running copy"));
    }
};

ZM_TEST_MAIN(TestRestart)
#include "tst_restart.moc"
