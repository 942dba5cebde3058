#include "net/logs/LogFolders.h"
#include "net/logs/ResumeLogInfo.h"

#include "LogCapture.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

using ZmTest::readFile;
using ZmTest::writeFile;

namespace {

QStringList periodIds(const QJsonArray& list)
{
    QStringList ids;
    for (const QJsonValue& value : list)
        ids << ResumeLogInfo::periodIdOf(value.toObject());
    return ids;
}

const QDateTime kTime(QDate(2024, 5, 1), QTime(18, 30, 0, 123));

} // namespace

class TestResumeLogInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("resumeLogInfo.json"));
        QFile::remove(m_path);
        QFile::remove(m_path + ".bad");
    }

    // The fields older copies read keep their names and forms; the user of the log comes in two fields of its own.
    void entryFormat_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("nobody signed in")
            << QString()
            << QByteArray("[{\"P1\":{\"AllLogFilePath\":\"/logs/run/2024_05_01_all.log\","
                          "\"DateTime\":\"2024-05-01 18:30:00:123\",\"LessonID\":\"L1\"}}]");
        QTest::newRow("signed in") << "100234"
                                   << QByteArray("[{\"P1\":{\"AllLogFilePath\":\"/logs/run/2024_05_01_all.log\","
                                                 "\"DateTime\":\"2024-05-01 18:30:00:123\",\"LessonID\":\"L1\","
                                                 "\"Token\":\"tok-1\",\"UserID\":\"100234\"}}]");
    }

    void entryFormat()
    {
        QFETCH(QString, userId);
        QFETCH(QByteArray, text);
        ResumeLogInfo list(m_path);
        list.appendResumeLogInfo("P1", "L1", kTime, "/logs/run/2024_05_01_all.log", userId, "tok-1");
        QCOMPARE(readFile(m_path), text);
        // Tokens in it: readable by its owner only.
        QCOMPARE(QFile::permissions(m_path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // A write the disk cannot take keeps the list file as it was, and leaves nothing beside it; the next write
    // that fits brings the file up to date.
    void failedWriteKeepsThePreviousFile()
    {
        ResumeLogInfo list(m_path);
        list.appendResumeLogInfo("P1", "L1", kTime, "/logs/run/2024_05_01_all.log");
        const QByteArray before = readFile(m_path);
        QVERIFY(before.contains("P1"));
        {
            ZmTest::LogCapture log;
            ZmTest::FileSizeLimit full(rlim_t(before.size()));
            QVERIFY(full.isSet());
            list.appendResumeLogInfo("P2", "L2", kTime, "/logs/run/2024_05_01_all.log");
            QCOMPARE(log.linesContaining("ResumeLogInfo::saveJsonFile_ResumeLogInfo cannot write " + m_path).size(), 1);
        }
        QCOMPARE(readFile(m_path), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"resumeLogInfo.json"});

        list.saveJsonFile_ResumeLogInfo();
        QCOMPARE(periodIds(ResumeLogInfo(m_path).entries()), (QStringList{"P1", "P2"}));
    }

    // Five after appends; the next start keeps the newest four and saves them.
    void prunedByCount()
    {
        {
            ResumeLogInfo list(m_path);
            for (int i = 1; i <= 6; ++i)
                list.appendResumeLogInfo(QStringLiteral("P%1").arg(i), "L", kTime, "/x.log");
            QCOMPARE(periodIds(list.entries()), QStringList({"P2", "P3", "P4", "P5", "P6"}));
        }
        QCOMPARE(QJsonDocument::fromJson(readFile(m_path)).array().size(), 5);
        ResumeLogInfo nextStart(m_path);
        QCOMPARE(nextStart.loadJsonFile_ResumeLogInfo(), 4);
        QCOMPARE(periodIds(nextStart.entries()), QStringList({"P3", "P4", "P5", "P6"}));
        QCOMPARE(QJsonDocument::fromJson(readFile(m_path)).array().size(), 4);
    }

    // A list file that can't be used is set aside whole; the program goes on with an empty list.
    void unusableFileSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("[{\"P1\":{\"LessonID\":");
        QTest::newRow("an object") << QByteArray("{\"P1\":{\"LessonID\":\"L1\"}}");
        QTest::newRow("over 10240 bytes")
            << QByteArray("[{\"P1\":{\"LessonID\":\"L1\",\"AllLogFilePath\":\"" + QByteArray(10300, 'a') + "\"}}]");
    }

    void unusableFileSetAside()
    {
        QFETCH(QByteArray, content);
        QVERIFY(writeFile(m_path, content));
        ResumeLogInfo list(m_path);
        QCOMPARE(list.loadJsonFile_ResumeLogInfo(), 0);
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(readFile(m_path + ".bad"), content);
        list.appendResumeLogInfo("P2", "L2", kTime, "/y.log");
        QCOMPARE(periodIds(ResumeLogInfo(m_path).entries()), QStringList({"P2"}));
    }

    // Entries of the wrong shape go (logged without the token they hold); the others stay.
    void badEntriesDroppedOneByOne()
    {
        QVERIFY(writeFile(m_path,
                          "[{\"P1\":{\"LessonID\":\"L1\"}}, \"text\", {\"a\":{\"Token\":\"tok-4711\"}, \"b\":{}},"
                          " {\"P2\":\"no object\"}, 7, {\"P3\":{\"LessonID\":\"L3\"}}]"));
        ResumeLogInfo list(m_path);
        ZmTest::LogCapture log;
        QCOMPARE(list.loadJsonFile_ResumeLogInfo(), 2);
        QCOMPARE(log.linesContaining("drops an entry of the wrong shape").size(), 4);
        QVERIFY(!log.text().contains("tok-4711"));
        QCOMPARE(periodIds(list.entries()), QStringList({"P1", "P3"}));
        QCOMPARE(periodIds(QJsonDocument::fromJson(readFile(m_path)).array()), QStringList({"P1", "P3"}));
        QVERIFY(!QFile::exists(m_path + ".bad"));
    }

    // Entries too big for the file limit push out the oldest instead of spoiling the whole file.
    void sizeLimitKeepsTheNewest()
    {
        ResumeLogInfo list(m_path);
        const QString longPath = "/" + QString(3000, 'p');
        for (int i = 1; i <= 5; ++i)
            list.appendResumeLogInfo(QStringLiteral("P%1").arg(i), "L", kTime, longPath);
        QVERIFY(readFile(m_path).size() <= ResumeLogInfo::kMaxFileBytes);
        ResumeLogInfo nextStart(m_path);
        QCOMPARE(periodIds(nextStart.entries()), QStringList({"P3", "P4", "P5"}));
    }

    void removals()
    {
        ResumeLogInfo list(m_path);
        for (const char* id : {"P1", "P2", "P1", "p1"})
            list.appendResumeLogInfo(id, "L", kTime, "/x.log");
        list.removeOwedEntriesOfPeriod(QString());
        QCOMPARE(list.entries().size(), 4);
        list.removeOwedEntriesOfPeriod("P1");
        QCOMPARE(periodIds(list.entries()), QStringList({"P2", "p1"}));
        list.removeOwedEntry(5);
        list.removeOwedEntry(-1);
        QCOMPARE(list.entries().size(), 2);
        list.removeOwedEntry(0);
        QCOMPARE(periodIds(ResumeLogInfo(m_path).entries()), QStringList({"p1"}));
        list.removeOwedEntry(0);
        QVERIFY(!QFile::exists(m_path)); // an empty list has no file
    }

    // An upload of one run's log settles only the entries that record that log for that class and user: the same
    // period owed by another run, by another user, or another period of the run stay.
    void removalsOfARun()
    {
        ResumeLogInfo list(m_path);
        list.appendResumeLogInfo("P1", "L", kTime, "/run-a.log", "100234", "t");  // settled
        list.appendResumeLogInfo("P1", "L", kTime, "/run-b.log", "100234", "t");  // another run's log
        list.appendResumeLogInfo("P1", "L", kTime, "/run-a.log", "900017", "t2"); // another user
        list.appendResumeLogInfo("P2", "L", kTime, "/run-a.log", "100234", "t");  // another period
        list.appendResumeLogInfo("P1", "L", kTime, "/run-a.log");                 // recorded without a user: settled
        list.removeOwedEntriesOfRun("P1", "100234", QString());
        list.removeOwedEntriesOfRun(QString(), "100234", "/run-a.log");
        QCOMPARE(list.entries().size(), 5);

        list.removeOwedEntriesOfRun("P1", "100234", "/run-a.log");
        QStringList left;
        for (const QJsonValue& entry : ResumeLogInfo(m_path).entries()) {
            const QJsonObject value = ResumeLogInfo::valueOf(entry.toObject());
            left << ResumeLogInfo::periodIdOf(entry.toObject()) + " " + value.value("AllLogFilePath").toString() + " " +
                        value.value("UserID").toString();
        }
        QCOMPARE(left, QStringList({"P1 /run-b.log 100234", "P1 /run-a.log 900017", "P2 /run-a.log 100234"}));
    }

    // Newest first; done (0) and hopeless (below 52) entries go, the others stay for the next class entry.
    void resumeWalk()
    {
        ResumeLogInfo list(m_path);
        const QMap<QString, int> codes{{"P1", 0}, {"P2", 50}, {"P3", 52}, {"P4", 80}, {"P5", 10}};
        for (auto it = codes.cbegin(); it != codes.cend(); ++it)
            list.appendResumeLogInfo(it.key(), "L", kTime, "/x.log");
        QStringList tried;
        list.resumeUploadLogFile([&](const QJsonObject& entry) {
            const QString id = ResumeLogInfo::periodIdOf(entry);
            tried << id;
            if (id == "P5") // the GUI records an entry while an upload runs: it is kept, not tried
                list.appendResumeLogInfo("P6", "L", kTime, "/new.log");
            return codes.value(id);
        });
        QCOMPARE(tried, QStringList({"P5", "P4", "P3", "P2", "P1"}));
        QCOMPARE(periodIds(list.entries()), QStringList({"P3", "P4", "P6"}));
        QCOMPARE(periodIds(ResumeLogInfo(m_path).entries()), QStringList({"P3", "P4", "P6"}));
    }

    // The thread and the GUI change the list at once: nothing is lost or torn.
    void concurrentUsers()
    {
        ResumeLogInfo list(m_path);
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([&list, t] {
                for (int i = 0; i < 50; ++i) {
                    const QString id = QStringLiteral("T%1-%2").arg(t).arg(i);
                    list.appendResumeLogInfo(id, "L", kTime, "/x.log");
                    if (i % 2)
                        list.removeOwedEntriesOfPeriod(id);
                }
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(ZmTest::kWaitMs));
            delete thread;
        }
        const QJsonArray onDisk = QJsonDocument::fromJson(readFile(m_path)).array();
        QCOMPARE(onDisk, list.entries());
        QVERIFY(onDisk.size() >= 1 && onDisk.size() <= ResumeLogInfo::kMaxEntries);
    }

    // Only dated folders older than the limit go; this start's folder, other names and files stay.
    void expiredLogFolders()
    {
        const QString logs = m_dir.filePath("logs");
        const QDateTime now(QDate(2024, 5, 20), QTime(12, 0));
        const QStringList names{"2024-05-01 10-00-00", "2024-05-09 11-59-00", "2024-05-10 12-00-01", "notes",
                                "2099-01-01 00-00-00", "2024-05-02 08-00-00"};
        for (const QString& name : names) {
            QVERIFY(QDir().mkpath(logs + "/" + name + "/sub"));
            QVERIFY(writeFile(logs + "/" + name + "/sub/a.log", "x"));
        }
        QVERIFY(writeFile(logs + "/2024-05-03 08-00-00", "a file with a folder's name"));
        const QString outside = m_dir.filePath("outside");
        QVERIFY(QDir().mkpath(outside));
        QVERIFY(writeFile(outside + "/keep.txt", "keep"));
        QVERIFY(QFile::link(outside, logs + "/2024-05-04 08-00-00"));

        const int removed = removeExpiredLogFolders(logs, 10, now, logs + "/2024-05-02 08-00-00");
        QCOMPARE(removed, 3);
        QStringList left = QDir(logs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        left.sort();
        QCOMPARE(left, QStringList({"2024-05-02 08-00-00", "2024-05-03 08-00-00", "2024-05-10 12-00-01",
                                    "2099-01-01 00-00-00", "notes"}));
        QCOMPARE(readFile(outside + "/keep.txt"), QByteArray("keep")); // a link is removed, not followed
    }
};

ZM_TEST_MAIN_CORE(TestResumeLogInfo)
#include "tst_resumeloginfo.moc"
