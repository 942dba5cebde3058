#include "app/ConfigManager.h"
#include "app/DirUtil.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSemaphore>
#include <QThread>

#include <functional>

namespace {

const QRegularExpression kLinePattern(
    R"(^\(ThreadID:0x([0-9A-F]+)\)(\d\d:\d\d:\d\d\.\d{3}) (Debug|Warning|Critical|Fatal|Info|Unknow): (.*)\r\n$)",
    QRegularExpression::DotMatchesEverythingOption);

QString currentThreadIdText()
{
    return QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()), 16).toUpper();
}

int collectedLineCount()
{
    LogLock lock;
    return LogInfo::instance()->lineCount();
}

QString lastCollectedLine()
{
    LogLock lock;
    const QJsonArray& lines = LogInfo::instance()->lines();
    return lines.isEmpty() ? QString() : lines.last().toString();
}

QString logFilePath()
{
    return ConfigManager::instance()->getDailyLogFile();
}

QByteArray logFileContent()
{
    return ZmTest::readFile(logFilePath());
}

// Runs body(i) on count threads that are all alive at once (a thread that ended early could hand its id
// to a later one).
void runThreads(int count, const std::function<void(int)>& body)
{
    QSemaphore started;
    QSemaphore finished;
    QList<QThread*> threads;
    for (int i = 0; i < count; ++i) {
        threads << QThread::create([&, i] {
            started.release();
            started.acquire(count);
            started.release(count);
            body(i);
            finished.release();
            finished.acquire(count);
            finished.release(count);
        });
    }
    for (QThread* thread : threads)
        thread->start();
    for (QThread* thread : threads) {
        thread->wait();
        delete thread;
    }
}

} // namespace

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Before installation nothing creates the configuration manager: lines stay in memory.
        logMessageHandler(QtDebugMsg, QMessageLogContext(), "before installation");
        QCOMPARE(ConfigManager::existingInstance(), nullptr);
        QVERIFY(lastCollectedLine().contains("Debug: before installation"));

        installLogHandler();
        QVERIFY(ConfigManager::existingInstance());
        qInfo("installed");
        QVERIFY(lastCollectedLine().contains("Info: installed"));
        QVERIFY(logFilePath().startsWith(ConfigManager::instance()->getLogDir() + '/'));
    }

    void cleanupTestCase() { qInstallMessageHandler(nullptr); }

    void lineFormat_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("word");
        QTest::newRow("debug") << int(QtDebugMsg) << "Debug";
        QTest::newRow("warning") << int(QtWarningMsg) << "Warning";
        QTest::newRow("critical") << int(QtCriticalMsg) << "Critical";
        QTest::newRow("fatal") << int(QtFatalMsg) << "Fatal";
        QTest::newRow("info") << int(QtInfoMsg) << "Info";
        QTest::newRow("other") << 7 << "Unknow";
    }

    void lineFormat()
    {
        QFETCH(int, type);
        QFETCH(QString, word);
        // Place markers in the text stay as they are.
        const QString text = "message " + QString(QTest::currentDataTag()) + " with %1, %2 and ü";
        logMessageHandler(QtMsgType(type), QMessageLogContext(), text);

        const QString line = lastCollectedLine();
        const QRegularExpressionMatch match = kLinePattern.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        QCOMPARE(match.captured(1), currentThreadIdText());
        QVERIFY(QTime::fromString(match.captured(2), "hh:mm:ss.zzz").isValid());
        QCOMPARE(match.captured(3), word);
        QCOMPARE(match.captured(4), text);
        // In the file: the line, its "\r\n" and one more line feed.
        QVERIFY(logFileContent().endsWith(line.toUtf8() + '\n'));
    }

    void propertyWarningsAreDropped_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("kept");
        QTest::newRow("property warning") << int(QtWarningMsg) << "Property 'x' has no notify signal" << false;
        QTest::newRow("same text as debug") << int(QtDebugMsg) << "Property 'x' has no notify signal" << true;
        QTest::newRow("marker inside a debug text") << int(QtDebugMsg) << "seen Warning: Property 'y' here" << false;
        QTest::newRow("marker inside an info text") << int(QtInfoMsg) << "Warning: Property 'z'" << false;
        QTest::newRow("other case") << int(QtWarningMsg) << "property 'x' has no notify signal" << true;
    }

    void propertyWarningsAreDropped()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(bool, kept);
        const int before = collectedLineCount();
        const int fileBefore = logFileContent().size();
        logMessageHandler(QtMsgType(type), QMessageLogContext(), text);
        QCOMPARE(collectedLineCount(), before + (kept ? 1 : 0));
        QCOMPARE(logFileContent().size() > fileBefore, kept);
    }

    void traces()
    {
        logEmitSignal("sigLessonEnded");
        QVERIFY(lastCollectedLine().endsWith("Debug: Emit: sigLessonEnded\r\n"));
        logEmitFormat("sig%s%d", "Step", 3);
        QVERIFY(lastCollectedLine().endsWith("Debug: Emit: sigStep3\r\n"));
        ThreadLog(QString("job started"));
        QVERIFY(lastCollectedLine().endsWith("Debug: ThreadLog: \"job started\"\r\n"));
        ThreadLog("raw text");
        QVERIFY(lastCollectedLine().endsWith("Debug: ThreadLog: raw text\r\n"));
        ThreadLogF("%d items in %s", 5, "queue");
        QVERIFY(lastCollectedLine().endsWith("Debug: ThreadLog: 5 items in queue\r\n"));

        // A formatted text beyond the buffer is cut to 1023 bytes.
        const QByteArray longText(3000, 'x');
        ThreadLogF("%s", longText.constData());
        QVERIFY(lastCollectedLine().endsWith("ThreadLog: " + QString(1023, 'x') + "\r\n"));
    }

    void concurrentThreadsWriteWholeLines()
    {
        constexpr int kThreads = 8;
        constexpr int kLines = 2000;
        const int fileBefore = logFileContent().size();
        const int before = collectedLineCount();

        runThreads(kThreads, [](int worker) {
            for (int i = 0; i < kLines; ++i)
                qDebug("worker %d line %d", worker, i);
        });

        QCOMPARE(collectedLineCount(), before + kThreads * kLines);
        const QString written = QString::fromUtf8(logFileContent().mid(fileBefore));
        QVERIFY(written.endsWith("\r\n\n"));
        const QStringList records = written.left(written.size() - 3).split("\r\n\n");
        QCOMPARE(records.size(), kThreads * kLines);

        const QRegularExpression workerText(R"(^worker (\d) line (\d+)$)");
        QMap<int, int> nextLine;
        QMap<int, QString> threadOf;
        for (const QString& record : records) {
            const QRegularExpressionMatch line = kLinePattern.match(record + "\r\n");
            QVERIFY2(line.hasMatch(), qPrintable(record));
            const QRegularExpressionMatch text = workerText.match(line.captured(4));
            QVERIFY2(text.hasMatch(), qPrintable(record));
            const int worker = text.captured(1).toInt();
            QCOMPARE(text.captured(2).toInt(), nextLine.value(worker, 0));
            nextLine[worker] = text.captured(2).toInt() + 1;
            if (!threadOf.contains(worker))
                threadOf[worker] = line.captured(1);
            QCOMPARE(line.captured(1), threadOf.value(worker));
        }
        QCOMPARE(nextLine.size(), kThreads);
        for (int count : nextLine)
            QCOMPARE(count, kLines);
        QCOMPARE(QSet<QString>(threadOf.begin(), threadOf.end()).size(), kThreads);
    }

    void collectedLinesAreReleasedWithoutLosingAny()
    {
        constexpr int kThreads = 4;
        constexpr int kLines = 3000;
        {
            LogLock lock;
            LogInfo::release();
        }
        QAtomicInt running = kThreads;
        int collected = 0;
        QThread* releaser = QThread::create([&] {
            while (running.loadAcquire() > 0) {
                LogLock lock;
                collected += LogInfo::instance()->lineCount();
                LogInfo::release();
            }
        });
        releaser->start();
        runThreads(kThreads, [&](int worker) {
            for (int i = 0; i < kLines; ++i)
                qDebug("released worker %d line %d", worker, i);
            running.deref();
        });
        releaser->wait();
        delete releaser;
        QCOMPARE(collected + collectedLineCount(), kThreads * kLines);
    }

    void messagesUnderTheLogLockGoToStandardErrorOnly()
    {
        const int before = collectedLineCount();
        {
            LogLock lock;
            qWarning("logged while the lock is held");
            LogLock again;
            qDebug("and while it is taken twice");
        }
        QCOMPARE(collectedLineCount(), before);
        QVERIFY(!logFileContent().contains("while the lock is held"));
    }

    void missingLogFolderKeepsLinesInMemoryAndRetries()
    {
        ConfigManager* config = ConfigManager::instance();
        config->closeDailyLogFile();
        const QString logDir = config->getLogDir();
        const QString aside = logDir + " aside";
        QVERIFY(QDir().rename(logDir, aside));

        qDebug("while the folder is missing");
        QVERIFY(lastCollectedLine().contains("while the folder is missing"));
        qDebug("still missing");
        QVERIFY(lastCollectedLine().contains("still missing"));
        QVERIFY(!QFile::exists(logFilePath()));

        QVERIFY(QDir().rename(aside, logDir));
        qDebug("folder is back");
        const QByteArray content = logFileContent();
        QVERIFY(content.contains("folder is back"));
        QVERIFY(!content.contains("while the folder is missing"));
    }
};

ZM_TEST_MAIN_CORE(TestLogging)
#include "tst_logging.moc"
