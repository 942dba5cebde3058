#include "app/ConfigManager.h"
#include "app/DirUtil.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "app/LogQueue.h"
#include "app/LogWriter.h"
#include "app/RunLog.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMap>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <unistd.h>

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
    return LogInfo::instance()->lastLine();
}

QStringList collectedLines()
{
    LogLock lock;
    QStringList lines;
    for (const QJsonValue& line : LogInfo::instance()->lines())
        lines << line.toString();
    return lines;
}

QString logFilePath()
{
    return ConfigManager::instance()->getDailyLogFile();
}

QByteArray logFileContent()
{
    RunLog::flush();
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

// What the process writes to standard error while it lives.
class StandardErrorCapture
{
public:
    explicit StandardErrorCapture(const QString& path)
        : m_path(path)
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        QFile::remove(path);
        m_file.setFileName(path);
        if (m_file.open(QIODevice::WriteOnly))
            ::dup2(m_file.handle(), STDERR_FILENO);
    }

    ~StandardErrorCapture() { restore(); }

    QByteArray restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
            m_file.close();
        }
        return ZmTest::readFile(m_path);
    }

private:
    QString m_path;
    QFile m_file;
    int m_saved = -1;
};

// Checks records of "<tag> <worker> line <n>" lines: whole, each worker's numbered from 0 without a gap, each
// worker on a thread of its own. The count of lines per worker.
QMap<int, int> checkWorkerLines(const QStringList& lines, const QString& tag)
{
    const QRegularExpression workerText("^" + tag + R"( (\d+) line (\d+)$)");
    QMap<int, int> nextLine;
    QMap<int, QString> threadOf;
    for (const QString& line : lines) {
        const QRegularExpressionMatch parts = kLinePattern.match(line);
        if (!parts.hasMatch()) {
            qWarning() << "not a whole line:" << line;
            return {};
        }
        const QRegularExpressionMatch text = workerText.match(parts.captured(4));
        if (!text.hasMatch())
            continue;
        const int worker = text.captured(1).toInt();
        if (text.captured(2).toInt() != nextLine.value(worker, 0)) {
            qWarning() << "out of order or lost:" << line;
            return {};
        }
        nextLine[worker] = text.captured(2).toInt() + 1;
        if (threadOf.contains(worker) && threadOf.value(worker) != parts.captured(1)) {
            qWarning() << "a worker's lines from two threads:" << line;
            return {};
        }
        threadOf[worker] = parts.captured(1);
    }
    if (QSet<QString>(threadOf.begin(), threadOf.end()).size() != threadOf.size())
        return {};
    return nextLine;
}

} // namespace

class TestLogging : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

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

    // Text that is not valid UTF-16 is kept as it came in the collection, and written as QString::toUtf8() writes
    // it to the file.
    void loneSurrogates()
    {
        const QString text = QString("half ") + QChar(0xD83D) + " pair " + QChar(0xDE00) + QChar(0xD83D) +
                             QChar(0xDE00) + " end" + QChar(0xD800);
        qWarning().noquote() << text;
        const QString line = lastCollectedLine();
        QVERIFY(line.endsWith(text + "\r\n"));
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
        QTest::newRow("marker at the end") << int(QtCriticalMsg) << "ends with Warning: Property '" << false;
        QTest::newRow("marker cut short") << int(QtDebugMsg) << "ends with Warning: Property " << true;
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
        logEmitSignal("sigNamed\xc3\xbc");
        QVERIFY(lastCollectedLine().endsWith(QString::fromUtf8("Debug: Emit: sigNamed\xc3\xbc\r\n")));
        logEmitSignal(nullptr);
        QVERIFY(lastCollectedLine().endsWith("Debug: Emit: \r\n"));
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

    // Traces follow the debug category's filter, as qDebug() does.
    void tracesFollowTheDebugFilter()
    {
        const int before = collectedLineCount();
        QLoggingCategory::setFilterRules("default.debug=false");
        logEmitSignal("sigFiltered");
        ThreadLog("filtered");
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(collectedLineCount(), before);
        logEmitSignal("sigAfterFilter");
        QCOMPARE(collectedLineCount(), before + 1);
    }

    // A line reaches the file without anyone asking: the background thread writes it.
    void linesReachTheFileUnasked()
    {
        qDebug("written by the background thread");
        QTRY_VERIFY(ZmTest::readFile(logFilePath()).contains("written by the background thread"));
    }

    // Many threads log, and one appends multi-line trace records the way the HTTP trace does: every line and
    // every record arrives whole, each thread's in order, in the file and in the collection.
    void concurrentThreadsWriteWholeLines()
    {
        constexpr int kThreads = 8;
        constexpr int kLines = 4000;
        constexpr int kTraces = 500;
        RunLog::flush();
        const int fileBefore = ZmTest::readFile(logFilePath()).size();
        const int before = collectedLineCount();

        runThreads(kThreads + 1, [](int worker) {
            if (worker == kThreads) {
                for (int i = 0; i < kTraces; ++i) {
                    const QByteArray record = "HttpCurl == Info:\ntrace " + QByteArray::number(i) + " first\n" +
                                              "trace " + QByteArray::number(i) + " second\n";
                    LogLock lock;
                    RunLog::appendRecord(record.constData(), std::size_t(record.size()));
                }
                return;
            }
            for (int i = 0; i < kLines; ++i)
                qDebug("worker %d line %d", worker, i);
        });

        QCOMPARE(collectedLineCount(), before + kThreads * kLines);
        const QStringList collected = collectedLines().mid(before);
        const QMap<int, int> collectedPerWorker = checkWorkerLines(collected, "worker");
        QCOMPARE(collectedPerWorker.size(), kThreads);
        for (int count : collectedPerWorker)
            QCOMPARE(count, kLines);

        // The file: records of lines ("\r\n\n") and whole trace records between them.
        QString written = QString::fromUtf8(logFileContent().mid(fileBefore));
        const QRegularExpression traceRecord(R"(HttpCurl == Info:\ntrace (\d+) first\ntrace \1 second\n)");
        int traces = 0;
        int nextTrace = 0;
        for (QRegularExpressionMatchIterator it = traceRecord.globalMatch(written); it.hasNext(); ++traces) {
            const QRegularExpressionMatch match = it.next();
            QCOMPARE(match.captured(1).toInt(), nextTrace++);
        }
        QCOMPARE(traces, kTraces);
        written.remove(traceRecord);
        QVERIFY(written.endsWith("\r\n\n"));
        QStringList records = written.left(written.size() - 3).split("\r\n\n");
        for (QString& record : records)
            record += "\r\n";
        QCOMPARE(records.size(), kThreads * kLines);
        const QMap<int, int> writtenPerWorker = checkWorkerLines(records, "worker");
        QCOMPARE(writtenPerWorker, collectedPerWorker);
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
        StandardErrorCapture capture(m_dir.filePath("lock.err"));
        {
            LogLock lock;
            qWarning("logged while the lock is held");
            LogLock again;
            qDebug("and while it is taken twice");
        }
        const QByteArray standardError = capture.restore();
        QCOMPARE(collectedLineCount(), before);
        QVERIFY(!logFileContent().contains("while the lock is held"));
        QVERIFY(standardError.contains("Warning: logged while the lock is held\n"));
        QVERIFY(standardError.contains("Debug: and while it is taken twice\n"));
    }

    // A log folder that goes away: lines are still collected and reach standard error; the file is tried again
    // with every batch and gets the lines again once it can be written.
    void unwritableLogFolderSendsLinesToStandardError()
    {
        ConfigManager* config = ConfigManager::instance();
        QVERIFY(RunLog::close());
        const QString logDir = config->getLogDir();
        const QString aside = logDir + " aside";
        QVERIFY(QDir().rename(logDir, aside));

        StandardErrorCapture capture(m_dir.filePath("unwritable.err"));
        qDebug("while the folder is missing");
        QVERIFY(lastCollectedLine().contains("while the folder is missing"));
        RunLog::flush();
        qDebug("still missing");
        RunLog::flush();
        const QByteArray standardError = capture.restore();
        QVERIFY(!QFile::exists(logFilePath()));
        QVERIFY2(standardError.contains("Debug: while the folder is missing\r\n"), standardError.constData());
        QVERIFY(standardError.contains("Debug: still missing\r\n"));
        QCOMPARE(standardError.count("cannot be written"), 1);

        QVERIFY(QDir().rename(aside, logDir));
        qDebug("folder is back");
        QVERIFY(RunLog::flush());
        const QByteArray content = ZmTest::readFile(logFilePath());
        QVERIFY(content.contains("folder is back"));
        QVERIFY(!content.contains("while the folder is missing"));
    }

    // The writer's ring: records of every size come out whole and in order, around the ring's end and past
    // its size; the exit write adds what is pending and more.
    void writerKeepsRecordsWhole_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("small") << QList<int>{1, 5, 9};
        QTest::newRow("around the end") << QList<int>{20, 20, 20, 20, 20, 20, 20};
        QTest::newRow("filling the ring") << QList<int>{32, 32, 32, 32, 31, 33};
        QTest::newRow("bigger than half") << QList<int>{10, 40, 10, 200, 3};
    }

    void writerKeepsRecordsWhole()
    {
        QFETCH(QList<int>, sizes);
        const QString path = m_dir.filePath(QStringLiteral("writer-%1.log").arg(QTest::currentDataTag()));
        QByteArray expected;
        {
            LogWriter writer(64);
            writer.setPath(path);
            char next = 'a';
            for (int size : sizes) {
                const QByteArray record(size, next);
                next = next == 'z' ? 'a' : char(next + 1);
                writer.append(record.constData(), std::size_t(record.size()));
                expected += record;
            }
            QVERIFY(writer.beginExitWrite(RunLog::kExitWaitMs));
            writer.exitWrite("exit", 4);
            writer.endExitWrite();
            expected += "exit";
            QCOMPARE(ZmTest::readFile(path), expected);
            writer.append("last", 4);
            expected += "last";
        }
        QCOMPARE(ZmTest::readFile(path), expected);
    }

    // The writer opens the file again after a failure; what the file refused went to standard error.
    void writerOpensTheFileAgain()
    {
        const QString folder = m_dir.filePath("again");
        const QString path = folder + "/run.log";
        LogWriter writer;
        writer.setPath(path);
        StandardErrorCapture capture(m_dir.filePath("again.err"));
        writer.append("lost\n", 5);
        QVERIFY(!writer.flush());
        QVERIFY(QDir().mkpath(folder));
        writer.append("one\n", 4);
        QVERIFY(writer.flush());
        QVERIFY(writer.close());
        QVERIFY(removeDirRecursively(folder));
        writer.append("refused\n", 8);
        QVERIFY(!writer.flush());
        QVERIFY(QDir().mkpath(folder));
        writer.append("two\n", 4);
        QVERIFY(writer.flush());
        const QByteArray standardError = capture.restore();
        QCOMPARE(ZmTest::readFile(path), QByteArray("two\n"));
        QVERIFY(standardError.contains("lost\n"));
        QVERIFY(standardError.contains("refused\n"));
        QVERIFY(standardError.contains("cannot be written"));
    }

    // Threads queue lines into a small queue while a consumer takes them out: nothing lost or torn, each
    // thread's in order; a line with a record of its own keeps it.
    void queueKeepsEachThreadsOrder()
    {
        constexpr int kThreads = 6;
        constexpr int kLines = 5000;
        LogQueue queue(2048, 3);
        QMap<int, int> next;
        QStringList problems;
        std::atomic<bool> producing{true};
        auto take = [](void* context, const LogQueue::Line& line) {
            auto* state = static_cast<std::pair<QMap<int, int>*, QStringList*>*>(context);
            const QByteArray text(line.line, int(line.lineSize));
            const QByteArray record(line.record, int(line.recordSize));
            const QList<QByteArray> parts = text.split(' ');
            const int worker = parts.value(1).toInt();
            const int number = parts.value(2).toInt();
            const QByteArray expectedRecord = number % 7 == 0 ? "own " + text + '\n' : text + '\n';
            if (parts.value(0) != "queued" || record != expectedRecord || number != state->first->value(worker, 0))
                state->second->append(QString::fromLatin1(text + " / " + record));
            (*state->first)[worker] = number + 1;
        };
        std::pair<QMap<int, int>*, QStringList*> state{&next, &problems};
        // Bounded, so that a queue that loses track of its entries fails instead of hanging.
        QDeadlineTimer bound(60000);
        QThread* consumer = QThread::create([&] {
            while ((producing || !queue.isEmpty()) && !bound.hasExpired())
                queue.takeAll(take, &state);
        });
        consumer->start();
        runThreads(kThreads, [&queue, &bound](int worker) {
            for (int i = 0; i < kLines; ++i) {
                QByteArray line = "queued " + QByteArray::number(worker) + ' ' + QByteArray::number(i) + " text";
                line += '\n';
                const int lineSize = line.size() - 1;
                const QByteArray own = "own " + line;
                const bool hasOwn = i % 7 == 0;
                while (!queue.push(i, line.constData(), std::size_t(lineSize),
                                   hasOwn ? own.constData() : line.constData(),
                                   std::size_t(hasOwn ? own.size() : line.size())) &&
                       !bound.hasExpired())
                    QThread::yieldCurrentThread();
            }
        });
        producing = false;
        consumer->wait();
        delete consumer;
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 5).join('\n')));
        QCOMPARE(next.size(), kThreads);
        for (int count : next)
            QCOMPARE(count, kLines);
    }

    // Lines of threads that use different rings come out by their time; the exit path writes the records.
    void queueTakesLinesByTime()
    {
        LogQueue queue(4096, 2);
        std::atomic<int> pushed{0};
        auto pushAll = [&queue, &pushed](const QList<int>& times) {
            for (int time : times) {
                const QByteArray line = QByteArray::number(time) + '\n';
                if (queue.push(time, line.constData(), std::size_t(line.size() - 1), line.constData(),
                               std::size_t(line.size())))
                    ++pushed;
            }
        };
        for (const QList<int>& times : {QList<int>{1, 4, 5, 9}, QList<int>{2, 3, 6, 7, 8}}) {
            QThread* thread = QThread::create([&pushAll, times] { pushAll(times); });
            thread->start();
            thread->wait();
            delete thread;
        }
        QCOMPARE(pushed.load(), 9);

        QByteArray records;
        QVERIFY(queue.beginExit(RunLog::kExitWaitMs));
        queue.writeRecordsForExit([](void* context, const char* data,
                                     std::size_t size) { static_cast<QByteArray*>(context)->append(data, int(size)); },
                                  &records);
        queue.endExit();
        QCOMPARE(records, QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n"));
        QVERIFY(queue.isEmpty());
    }
};

ZM_TEST_MAIN_CORE(TestLogging)
#include "tst_logging.moc"
