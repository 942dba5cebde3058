#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

using ZmTest::readFile;

namespace {

QString probePath()
{
    return QCoreApplication::applicationDirPath() + "/crash_probe";
}

// The sanitizers' own handlers would take the signals before ours.
QProcessEnvironment probeEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString asan = environment.value("ASAN_OPTIONS");
    asan += QStringLiteral(":handle_segv=0:handle_sigbus=0:handle_sigill=0:handle_sigfpe=0:handle_abort=0"
                           ":allow_user_segv_handler=1");
    environment.insert("ASAN_OPTIONS", asan);
    return environment;
}

} // namespace

class TestCrashHandler : public QObject
{
    Q_OBJECT

private slots:
    void utf16Conversion()
    {
        const QString text =
            QString::fromUtf8("a\xc3\xa9\xe4\xb8\xad") + QChar(0xD83D) + QChar(0xDE00) + "\n\t" + QChar(0xD800) + "z";
        char out[64];
        const auto* utf16 = reinterpret_cast<const char16_t*>(text.constData());
        const std::size_t length = Platform::utf16ToUtf8(utf16, std::size_t(text.size()), out, sizeof out);
        QCOMPARE(QByteArray(out), QByteArray("a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80  \xef\xbf\xbdz"));
        QCOMPARE(length, Platform::utf8LengthOfUtf16(utf16, std::size_t(text.size())));
        // A character that doesn't fit whole is left out.
        char small[5];
        QCOMPARE(Platform::utf16ToUtf8(utf16, std::size_t(text.size()), small, sizeof small), std::size_t(3));
        QCOMPARE(QByteArray(small), QByteArray("a\xc3\xa9"));

        char buffer[8] = "ab";
        QVERIFY(Platform::appendText(buffer, sizeof buffer, "cd"));
        QVERIFY(!Platform::appendText(buffer, sizeof buffer, "efgh"));
        QCOMPARE(QByteArray(buffer), QByteArray("abcdefg"));
    }

    void decimalText_data()
    {
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("zero") << 0LL << QByteArray("0");
        QTest::newRow("negative") << -42LL << QByteArray("-42");
        QTest::newRow("largest") << std::numeric_limits<qlonglong>::max() << QByteArray("9223372036854775807");
        QTest::newRow("smallest") << std::numeric_limits<qlonglong>::min() << QByteArray("-9223372036854775808");
    }

    void decimalText()
    {
        QFETCH(qlonglong, value);
        QFETCH(QByteArray, text);
        char out[Platform::kDecimalTextSize];
        QCOMPARE(Platform::decimalText(value, out), std::size_t(text.size()));
        QCOMPARE(QByteArray(out), text);
    }

    void dumpText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("test.dmp");
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        siginfo_t info{};
        info.si_signo = SIGSEGV;
        info.si_code = SEGV_MAPERR;
        info.si_addr = reinterpret_cast<void*>(0x10);
        Platform::writeCrashDump(fd, SIGSEGV, &info, nullptr);
        ::close(fd);
        const QString dump = QString::fromUtf8(readFile(path));
        QVERIFY(dump.startsWith("ZmQuillo crash report\n"));
        QVERIFY(QRegularExpression(R"(\nTime: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC\n)").match(dump).hasMatch());
        QVERIFY(dump.contains("Signal: 11 (SIGSEGV), code 1 (address not mapped)\n"));
        QVERIFY(dump.contains("Fault address: 0x0000000000000010\n"));
        QVERIFY(dump.contains(QStringLiteral("Process: %1\n").arg(QCoreApplication::applicationPid())));
        QVERIFY(dump.contains("\nThread: "));
        QVERIFY(dump.contains("(no register context)"));
        QVERIFY(dump.contains("\nBacktrace:\n"));
        QVERIFY(dump.contains("tst_crashhandler")); // a frame of this program
        QVERIFY(dump.contains("\nMemory maps:\n"));
        QVERIFY(dump.contains("[stack]"));
    }

    // Real faults in a small program: each leaves the dump, runs the upload process with the hand-over, and
    // ends the program with its signal.
    void realCrashes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("signalLine");
        QTest::newRow("null write") << "segv" << int(SIGSEGV) << "Signal: 11 (SIGSEGV), code 1 (address not mapped)";
        QTest::newRow("abort") << "abort" << int(SIGABRT) << "Signal: 6 (SIGABRT), code -6 (sent by tkill or raise)";
        QTest::newRow("division by zero") << "fpe" << int(SIGFPE) << "Signal: 8 (SIGFPE), code 1 (integer division";
        QTest::newRow("trap") << "ill" << int(SIGILL) << "Signal: 4 (SIGILL)";
        QTest::newRow("mapped file cut short") << "bus" << int(SIGBUS) << "Signal: 7 (SIGBUS)";
        QTest::newRow("stack overflow") << "stack" << int(SIGSEGV) << "Signal: 11 (SIGSEGV)";
        QTest::newRow("other thread") << "thread" << int(SIGSEGV) << "Signal: 11 (SIGSEGV)";
    }

    void realCrashes()
    {
        QFETCH(QString, kind);
        QFETCH(int, signalNumber);
        QFETCH(QString, signalLine);
        QTemporaryDir dir;
        QProcess probe;
        probe.setProcessEnvironment(probeEnvironment());
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(probePath(), {dir.path(), kind});
        QVERIFY(probe.waitForFinished(ZmTest::kStartWaitMs));
        QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
        QCOMPARE(probe.exitCode(), signalNumber);

        const QString dump = QString::fromUtf8(readFile(dir.filePath("probe.dmp")));
        QVERIFY2(dump.contains(signalLine), qPrintable(dump.left(400)));
        QVERIFY(dump.contains("\nRegisters:\n"));
        QVERIFY(dump.contains("\nMemory maps:\n"));
        if (kind == "thread")
            QVERIFY(!dump.contains(QStringLiteral("Thread: %1 ").arg(probe.processId())));
        else if (kind == "segv")
            QVERIFY(dump.contains("Fault address: 0x0000000000000000\n"));
        QCOMPARE(readFile(dir.filePath("upload.txt")),
                 QByteArray("folder=" + QFile::encodeName(dir.path()) + "\nkind=" + kind.toLatin1() + "\n"));
    }

    // An upload process that never ends is killed when the time is up; the crashed program still ends.
    void uploadBoundedInTime()
    {
        QTemporaryDir dir;
        QProcess probe;
        probe.setProcessEnvironment(probeEnvironment());
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        probe.start(probePath(), {dir.path(), "hang", "1"});
        QVERIFY(probe.waitForFinished(ZmTest::kStartWaitMs));
        QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
        QCOMPARE(probe.exitCode(), int(SIGSEGV));
        QVERIFY(timer.elapsed() >= 1000);
        QVERIFY(QFile::exists(dir.filePath("probe.dmp")));
        QVERIFY(!QFile::exists(dir.filePath("upload.txt")));
    }
};

ZM_TEST_MAIN_CORE(TestCrashHandler)
#include "tst_crashhandler.moc"
