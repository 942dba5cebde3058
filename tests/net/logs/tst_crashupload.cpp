#include "app/AppPaths.h"
#include "net/zip/ZipUtil.h"

#include "Simulator.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

using ZmTest::readFile;
using ZmTest::Simulator;

namespace {

constexpr char kEntrance[] = "/quillo/entrance";
constexpr char kBucket[] = "zm-class-logs";
constexpr char kSavePath[] = "logs/sim/upload.zip";
constexpr char kToken[] = "crash-token-secret-99";

// The sanitizers' own handlers would take the signals before the program's.
QProcessEnvironment crashEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") +
                                           ":handle_segv=0:handle_sigbus=0:handle_sigill=0:handle_sigfpe=0"
                                           ":handle_abort=0:allow_user_segv_handler=1");
    return environment;
}

// Every "burst <worker> line <n>" line of the given workers, whole and in order, each once.
bool burstIsWhole(const QByteArray& log, int workers, int linesEach)
{
    const QRegularExpression line(R"(Debug: burst (\d+) line (\d+)\r\n\n)");
    QVector<int> next(workers + 1, 0);
    for (QRegularExpressionMatchIterator it = line.globalMatch(QString::fromUtf8(log)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int worker = match.captured(1).toInt();
        if (worker > workers || match.captured(2).toInt() != next[worker]) {
            qWarning().noquote() << "out of order:" << match.captured(0);
            return false;
        }
        ++next[worker];
    }
    for (int worker = workers == 1 ? 0 : 1; worker <= (workers == 1 ? 0 : workers); ++worker) {
        if (next[worker] != linesEach) {
            qWarning() << "worker" << worker << "has" << next[worker] << "of" << linesEach << "lines";
            return false;
        }
    }
    return true;
}

} // namespace

class TestCrashUpload : public QObject
{
    Q_OBJECT

    Simulator m_sim;
    QTemporaryDir m_work;

    // The log folders of the program's starts.
    static QStringList logFolders()
    {
        return QDir(AppPaths::programDataDir() + "/logs").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString())); }
    void init()
    {
        QVERIFY(m_sim.reset());
        QVERIFY(QDir(AppPaths::programDataDir() + "/logs").removeRecursively());
    }

    void crashLeavesDumpAndUploadsTheFolder_data()
    {
        QTest::addColumn<bool>("credentialsRefused");
        QTest::newRow("uploaded") << false;
        QTest::newRow("credentials refused") << true;
    }

    void crashLeavesDumpAndUploadsTheFolder()
    {
        QFETCH(bool, credentialsRefused);
        if (credentialsRefused)
            QVERIFY(m_sim.program(QJsonObject{{"path", kEntrance},
                                              {"params", QJsonObject{{"FuncTag", "30110102"}}},
                                              {"json", QJsonObject{{"TagCode", "1001"}}}}) > 0);

        QProcess program;
        program.setProcessEnvironment(crashEnvironment());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationDirPath() + "/crash_app", {m_sim.baseUrl()});
        QVERIFY(program.waitForFinished(90000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(program.exitCode(), int(SIGSEGV));

        const QStringList created = logFolders();
        QCOMPARE(created.size(), 1); // the upload process leaves no folder of its own
        const QString folder = AppPaths::programDataDir() + "/logs/" + created.first();

        // The dump: the fault, written by the handler, without the run's secrets.
        const QByteArray dump = readFile(folder + "/ZmQuillo.dmp");
        QVERIFY(dump.startsWith("ZmQuillo crash report\n"));
        QVERIFY(
            dump.contains("Signal: 11 (SIGSEGV), code 1 (address not mapped)\nFault address: 0x0000000000000000\n"));
        QVERIFY(dump.contains("\nBacktrace:\n"));
        QVERIFY(dump.contains("crash_app"));
        QVERIFY(!dump.contains(kToken));

        // The credentials were asked for the archive's name, with the crashed run's user and lesson.
        const QJsonArray asked = m_sim.numberedRequests("30110102");
        QCOMPARE(asked.size(), 1);
        const QString archiveName = Simulator::paramOf(asked.at(0).toObject(), "fileName");
        QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.zip$)").match(archiveName).hasMatch(),
                 qPrintable(archiveName));
        QCOMPARE(Simulator::paramOf(asked.at(0).toObject(), "token"), QString(kToken));
        QCOMPARE(Simulator::paramOf(asked.at(0).toObject(), "userId"), QStringLiteral("100234"));
        QCOMPARE(Simulator::paramOf(asked.at(0).toObject(), "periodId"), QStringLiteral("P-CRASH"));

        if (credentialsRefused) {
            QVERIFY(!QFile::exists(folder + "/" + archiveName));
            QVERIFY(m_sim.ossObjects().isEmpty());
            QCOMPARE(m_sim.numberedRequests("30110101").size(), 0);
            return;
        }

        // The archive stays in the folder; the stored object is the whole folder.
        const QString archive = folder + "/" + archiveName;
        QVERIFY(QFile::exists(archive));
        bool found = false;
        const QByteArray stored = m_sim.ossObject(kBucket, kSavePath, &found);
        QVERIFY(found);
        QCOMPARE(stored, readFile(archive));
        QStringList names = ZipUtil::getFileList(archive);
        names.sort();
        QCOMPARE(names.size(), 3);
        QVERIFY(names.contains("ZmQuillo.dmp"));
        QVERIFY(!names.contains(archiveName));
        const QString runLog = names.filter(QRegularExpression(R"(^\d{4}_\d\d_\d\d_all\.log$)")).value(0);
        QVERIFY2(!runLog.isEmpty(), qPrintable(names.join(", ")));
        const QString documentName = names.filter(QRegularExpression(R"(^100234_P-CRASH_.*\.txt$)")).value(0);
        QVERIFY2(!documentName.isEmpty(), qPrintable(names.join(", ")));

        const QString content = m_work.filePath(QStringLiteral("content-%1").arg(archiveName));
        QVERIFY(!ZipUtil::extractDir(archive, content, nullptr).isEmpty());
        QCOMPARE(readFile(content + "/ZmQuillo.dmp"), dump);
        const QJsonObject document = QJsonDocument::fromJson(readFile(content + "/" + documentName)).object();
        const QJsonObject context = document.value("contextInfo").toObject();
        QCOMPARE(context.value("lessonId").toString(), QStringLiteral("L-CRASH"));
        QCOMPARE(context.value("teacher").toString(), QStringLiteral("900/Ms Smith"));
        QCOMPARE(context.value("myAccountType").toString(), QStringLiteral("Teacher"));
        QCOMPARE(context.value("lessonUiType").toString(), QStringLiteral("3"));
        bool markerFound = false;
        for (const QJsonValue& line : document.value("logs").toArray())
            markerFound = markerFound || line.toString().contains("crash_app marker before the crash");
        QVERIFY(markerFound);

        // Confirmed with the stored object's address and the run's lesson.
        const QJsonArray confirmed = m_sim.numberedRequests("30110101");
        QCOMPARE(confirmed.size(), 1);
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "fileName"),
                 m_sim.baseUrl() + "/" + kBucket + "/" + kSavePath);
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "lessonId"), QStringLiteral("L-CRASH"));
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "periodId"), QStringLiteral("P-CRASH"));
    }

    // A burst of lines right before the program ends: every line is in the run log, each thread's in order, and
    // in the uploaded archive too: what was pending is written before the folder is zipped.
    void burstBeforeTheEndReachesTheFile_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("crashes");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("uploads");
        QTest::addColumn<int>("workers");
        QTest::newRow("null write") << "segv" << true << int(SIGSEGV) << true << 1;
        QTest::newRow("null write after four threads") << "threads" << true << int(SIGSEGV) << true << 4;
        QTest::newRow("null write, log lock held elsewhere") << "held" << true << int(SIGSEGV) << true << 1;
        QTest::newRow("qFatal") << "fatal" << true << int(SIGABRT) << true << 1;
        QTest::newRow("SIGTERM") << "term" << true << int(SIGTERM) << false << 1;
        QTest::newRow("exit") << "exit" << false << 0 << false << 1;
    }

    void burstBeforeTheEndReachesTheFile()
    {
        QFETCH(QString, end);
        QFETCH(bool, crashes);
        QFETCH(int, code);
        QFETCH(bool, uploads);
        QFETCH(int, workers);
        // Half of the held row's burst waits in the queue, which takes about 200 KiB of lines.
        const int kLines = end == "held" ? 3000 : 20000;

        QProcess program;
        program.setProcessEnvironment(crashEnvironment());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationDirPath() + "/crash_app",
                      {m_sim.baseUrl(), end, QString::number(kLines)});
        QVERIFY(program.waitForFinished(90000));
        QCOMPARE(program.exitStatus(), crashes ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(program.exitCode(), code);

        const QStringList created = logFolders();
        QCOMPARE(created.size(), 1);
        const QString folder = AppPaths::programDataDir() + "/logs/" + created.first();
        const QStringList runLogs = QDir(folder).entryList({"*_all.log"}, QDir::Files);
        QCOMPARE(runLogs.size(), 1);
        const QByteArray runLog = readFile(folder + "/" + runLogs.first());
        QVERIFY2(burstIsWhole(runLog, workers, kLines / workers), qPrintable(end));
        if (end == "fatal")
            QVERIFY(runLog.contains("Fatal: crash_app fatal after the burst\r\n\n"));

        const QStringList archives = QDir(folder).entryList({"*.zip"}, QDir::Files);
        QCOMPARE(archives.size(), uploads ? 1 : 0);
        if (!uploads)
            return;
        const QString content = m_work.filePath("burst-" + end);
        QVERIFY(!ZipUtil::extractDir(folder + "/" + archives.first(), content, nullptr).isEmpty());
        QVERIFY(burstIsWhole(readFile(content + "/" + runLogs.first()), workers, kLines / workers));
    }

    // Run by hand, the upload mode without a usable folder ends with its own code and touches nothing.
    void uploadModeWithoutFolder()
    {
        QProcess program;
        program.setProcessEnvironment(crashEnvironment());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationDirPath() + "/crash_app",
                      {"--zm-crash-upload=" + m_work.filePath("no-such-folder")});
        program.closeWriteChannel();
        QVERIFY(program.waitForFinished(ZmTest::kStartWaitMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 4);
        QVERIFY(m_sim.requests().isEmpty());
    }

    void cleanupTestCase() { QVERIFY(m_sim.stop()); }
};

ZM_TEST_MAIN_CORE(TestCrashUpload)
#include "tst_crashupload.moc"
