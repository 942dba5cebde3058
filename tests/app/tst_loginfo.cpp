#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLineStore.h"
#include "app/LogLock.h"
#include "app/LogText.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

using ZmTest::writeFile;

namespace {

QJsonObject readDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void setLesson()
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.userId = "1234";
    data->launch.accountType = 1;
    data->launch.uiType = 2;
    data->lesson.lessonId = "L-77";
    data->lesson.periodId = "P-88";
    data->teacher.userId = "900";
    data->teacher.cnNickName = "cn";
    data->teacher.enNickName = "Ms Smith";
}

} // namespace

class TestLogInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setLesson();
    }

    void document_data()
    {
        QTest::addColumn<bool>("withContext");
        QTest::newRow("with context") << true;
        QTest::newRow("without context") << false;
    }

    void document()
    {
        QFETCH(bool, withContext);
        LogInfo info;
        info.appendLine("first");
        info.appendLine("second");
        const QString path = m_dir.filePath("doc.json");
        QVERIFY(info.writeLogInfoJson(path, withContext));

        const QJsonObject document = readDocument(path);
        QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3}$)")
                    .match(document.value("timeStamp").toString())
                    .hasMatch());
        QCOMPARE(document.value("logs").toArray(), QJsonArray({"first", "second"}));
        const QJsonObject system = document.value("systemInfo").toObject();
        QCOMPARE(system.value("device").toString(), QStringLiteral("PC"));
        QCOMPARE(system.value("appName").toString(), QStringLiteral("ZmQuillo"));
        QCOMPARE(system.value("appVersion").toString().count('.'), 3);
        for (const char* key : {"systemVersion", "CPU", "physicalMemory"})
            QVERIFY2(system.contains(key), key);
        QCOMPARE(document.contains("contextInfo"), withContext);
        if (withContext) {
            const QJsonObject context = document.value("contextInfo").toObject();
            QCOMPARE(context, QJsonObject({{"lessonId", "L-77"},
                                           {"teacher", "900/Ms Smith"},
                                           {"periodId", "P-88"},
                                           {"lessonUiType", "2"},
                                           {"myAccountType", "Student"},
                                           {"myUserID", "1234"}}));
        }
        // Written indented.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\n    \"logs\": [\n"));
        QVERIFY(!info.writeLogInfoJson(m_dir.filePath("missing/doc.json"), withContext));
    }

    // A document the disk cannot take whole is not left behind cut short, and an earlier one stays as it was.
    void documentOnAFullDisk()
    {
        LogInfo info;
        info.appendLine("first");
        const QString path = m_dir.filePath("full.json");
        QVERIFY(info.writeLogInfoJson(path, true));
        const QByteArray before = ZmTest::readFile(path);
        info.appendLine(QString(4096, 'x'));
        {
            ZmTest::FileSizeLimit full(rlim_t(before.size()));
            QVERIFY(full.isSet());
            QVERIFY(!info.writeLogInfoJson(path, true));
            QVERIFY(!info.writeLogInfoJson(m_dir.filePath("new.json"), true));
        }
        QCOMPARE(ZmTest::readFile(path), before);
        QVERIFY(!QFile::exists(m_dir.filePath("new.json")));
        QCOMPARE(QDir(m_dir.path()).entryList({"full.json*", "new.json*"}, QDir::Files | QDir::Hidden),
                 QStringList{"full.json"});
    }

    // Every UTF-16 code unit alone and between others, pairs and lone surrogates: the kept form turns back into
    // the same text, goes to files as QString::toUtf8() writes it, and into JSON as QJsonDocument writes it.
    void keptTextAndItsJson()
    {
        QStringList texts;
        for (int unit = 0; unit <= 0xFFFF; ++unit)
            texts << QString(QChar(unit)) << "a" + QString(QChar(unit)) + "\"z";
        texts << QString::fromUtf8("\xf0\x9f\x98\x80 pair") << QString(QChar(0xDBFF)) + QChar(0xDFFF)
              << QString(QChar(0xDC00)) + QChar(0xD800) << QString(QChar(0xD800)) + "\r\n"
              << QString();
        for (const QString& text : texts) {
            const QByteArray kept = toLogText(text);
            QCOMPARE(logTextToString(kept.constData(), std::size_t(kept.size())), text);
            QByteArray file = kept;
            file.truncate(int(replaceLoneSurrogates(file.data(), std::size_t(file.size()))));
            QCOMPARE(file, text.toUtf8());
            QByteArray json;
            appendJsonString(json, kept.constData(), std::size_t(kept.size()));
            const QByteArray expected = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
            QCOMPARE(json, expected.mid(1, expected.size() - 2));
        }
    }

    // The document is byte for byte what QJsonDocument writes for the same values, also for lines that look
    // like its own structure.
    void documentIsWhatQtWrites_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no lines") << QStringList();
        QTest::newRow("one line") << QStringList{"(ThreadID:0x1F44)09:05:01.250 Debug: ready\r\n"};
        QTest::newRow("escapes") << QStringList{"quote \" backslash \\ tab \t", QString(QChar(0x1F)) + "\b\f",
                                                QString::fromUtf8("\xc3\xbc \xe2\x80\xa8 \xf0\x9f\x98\x80"),
                                                QString("lone ") + QChar(0xDFFF)};
        QTest::newRow("structure in a line")
            << QStringList{"zm-log-lines", "\n    \"logs\": [\n        \"x\"\n", "    ]", "}"};
        QStringList many;
        for (int i = 0; i < 5000; ++i)
            many << QStringLiteral("line %1 ").arg(i) + QString(i % 97, QChar('a' + i % 26));
        QTest::newRow("many") << many;
    }

    void documentIsWhatQtWrites()
    {
        QFETCH(QStringList, lines);
        LogInfo info;
        info.document().insert("zzz", "kept key");
        for (const QString& line : lines)
            info.appendLine(line);
        const QString path = m_dir.filePath("exact.json");
        QVERIFY(info.writeLogInfoJson(path, true));
        const QByteArray written = ZmTest::readFile(path);
        const QJsonObject document = QJsonDocument::fromJson(written).object();
        QCOMPARE(document.value("logs").toArray(), QJsonArray::fromStringList(lines));
        QCOMPARE(document.value("zzz").toString(), QStringLiteral("kept key"));
        QCOMPARE(written, QJsonDocument(document).toJson(QJsonDocument::Indented));
    }

    // A copy keeps the lines it has while the original goes on; lines longer than a block are kept whole.
    void copiesKeepTheirLines()
    {
        LogLineStore store;
        const QByteArray big(int(LogLineStore::kBlockSize) + 100, 'b');
        store.append("first", 5);
        store.append(big.constData(), std::size_t(big.size()));
        store.append("after big", 9);
        const LogLineStore copy = store;
        store.append("only in the original", 20);
        LogLineStore other = copy;
        other.append("only in the second copy", 23);

        auto linesOf = [](const LogLineStore& lines) {
            QList<QByteArray> all;
            lines.forEach([&all](const char* data, std::size_t size) { all << QByteArray(data, int(size)); });
            return all;
        };
        QCOMPARE(linesOf(copy), (QList<QByteArray>{"first", big, "after big"}));
        QCOMPARE(linesOf(store), (QList<QByteArray>{"first", big, "after big", "only in the original"}));
        QCOMPARE(linesOf(other), (QList<QByteArray>{"first", big, "after big", "only in the second copy"}));
        QCOMPARE(copy.count(), std::size_t(3));
        QCOMPARE(store.last(), QByteArray("only in the original"));
        QCOMPARE(other.last(), QByteArray("only in the second copy"));
    }

    void accountTypeWords()
    {
        QCOMPARE(accountTypeWord(1), QStringLiteral("Student"));
        QCOMPARE(accountTypeWord(2), QStringLiteral("Teacher"));
        QCOMPARE(accountTypeWord(3), QStringLiteral("Auditor"));
        QCOMPARE(accountTypeWord(0), QStringLiteral("Unknow"));
        QCOMPARE(accountTypeWord(4), QStringLiteral("Unknow"));
    }

    void fileNames()
    {
        const QDateTime time(QDate(2024, 5, 1), QTime(18, 30, 59));
        QCOMPARE(createLogFileName("/tmp/x", "12", "P9", time), QStringLiteral("/tmp/x/12_P9_2024_05_01_18_30.txt"));
        QCOMPARE(createLogPathWithExtension("resume.json", "/tmp/x/", "12", "P9", time),
                 QStringLiteral("/tmp/x/12_P9_2024_05_01_18_30.resume.json"));
        QCOMPARE(createLogPathWithExtension("zip", "/tmp/x/../y", "a", "b", time),
                 QStringLiteral("/tmp/y/a_b_2024_05_01_18_30.zip"));
    }

    // The run's document goes to the log folder under the default name, with the lines collected so far.
    void runDocument()
    {
        installLogHandler();
        {
            LogLock lock;
            LogInfo::release();
        }
        qDebug() << "TestLogInfo::runDocument marker line";
        const QDateTime before = QDateTime::currentDateTime();
        const QString path = writeLogInfoFile(QString());
        QVERIFY(!path.isEmpty());
        const QString folder = ConfigManager::instance()->getLogDir();
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder).absoluteFilePath());
        const QString name = QFileInfo(path).fileName();
        QVERIFY2(name == createLogFileName(folder, "1234", "P-88", before).section('/', -1) ||
                     name == createLogFileName(folder, "1234", "P-88", QDateTime::currentDateTime()).section('/', -1),
                 qPrintable(name));

        const QJsonObject document = readDocument(path);
        QVERIFY(document.contains("contextInfo"));
        const QJsonArray logs = document.value("logs").toArray();
        QCOMPARE(logs.size(), 1);
        QVERIFY(logs.at(0).toString().contains("Debug: TestLogInfo::runDocument marker line"));

        QCOMPARE(writeLogInfoFile(m_dir.filePath("no/such/folder/doc.txt")), QString());
        const QString explicitPath = m_dir.filePath("explicit.txt");
        QCOMPARE(writeLogInfoFile(explicitPath), explicitPath);
    }

    // Only the last 300 KiB of a big log come in, trimmed, without empty lines.
    void linesFromTheTailOfABigFile()
    {
        QByteArray data;
        int count = 0;
        while (data.size() < 1024 * 1024)
            data += "  line " + QByteArray::number(count++) + " \r\n\n";
        const QString path = m_dir.filePath("big.log");
        QVERIFY(writeFile(path, data));

        LogInfo info;
        QVERIFY(info.loadLinesFromFile(path));
        const QJsonArray lines = info.lines();
        QVERIFY(!lines.isEmpty());
        QCOMPARE(lines.last().toString(), QStringLiteral("line %1").arg(count - 1));
        int bytes = 0;
        for (const QJsonValue& line : lines) {
            QVERIFY(!line.toString().isEmpty());
            QCOMPARE(line.toString(), line.toString().trimmed());
            bytes += line.toString().size();
        }
        QVERIFY(bytes < 300 * 1024);
        // Every line of the last 300 KiB is there (the first may be cut).
        const int firstWhole = lines.at(1).toString().mid(5).toInt();
        QCOMPARE(lines.size() - 1, count - firstWhole);
        QVERIFY(lines.size() > 15000);

        QVERIFY(!info.loadLinesFromFile(m_dir.filePath("missing.log")));
    }

    void documentFromText()
    {
        const QString log = m_dir.filePath("run.log");
        QVERIFY(
            writeFile(log, "(ThreadID:0x1)10:00:00.000 Debug: a\r\n\n\r\n(ThreadID:0x1)10:00:00.001 Info: b\r\n\n"));
        const QString json = m_dir.filePath("run.resume.json");
        QVERIFY(writeLogInfoJsonFromText(log, json));
        const QJsonObject document = readDocument(json);
        QVERIFY(!document.contains("contextInfo"));
        QCOMPARE(document.value("logs").toArray(),
                 QJsonArray({"(ThreadID:0x1)10:00:00.000 Debug: a", "(ThreadID:0x1)10:00:00.001 Info: b"}));
        QVERIFY(!writeLogInfoJsonFromText(m_dir.filePath("gone.log"), m_dir.filePath("gone.json")));
        QVERIFY(!QFile::exists(m_dir.filePath("gone.json")));
    }

    // Writing out and releasing the collection while other threads log: every document is whole.
    void writingWhileOthersLog()
    {
        installLogHandler();
        std::atomic<bool> stop{false};
        QList<QThread*> threads;
        for (int i = 0; i < 4; ++i) {
            threads << QThread::create([&stop, i] {
                for (int n = 0; !stop; ++n)
                    qDebug() << "TestLogInfo worker" << i << n;
            });
            threads.last()->start();
        }
        for (int round = 0; round < 20; ++round) {
            const QString path = writeLogInfoFile(m_dir.filePath(QStringLiteral("busy%1.txt").arg(round)));
            QVERIFY(!path.isEmpty());
            QVERIFY(readDocument(path).value("logs").isArray());
            LogLock lock;
            LogInfo::release();
        }
        stop = true;
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
    }
};

ZM_TEST_MAIN_CORE(TestLogInfo)
#include "tst_loginfo.moc"
