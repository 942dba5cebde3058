#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "app/RunLog.h"
#include "app/UrlConfig.h"
#include "net/logs/LogArchiveUpload.h"
#include "net/logs/ResumeLogInfo.h"
#include "net/logs/ResumeLogThread.h"
#include "net/logs/ResumeLogUpload.h"
#include "net/zip/ZipUtil.h"

#include "Simulator.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using ZmTest::readFile;
using ZmTest::Simulator;
using ZmTest::writeFile;

namespace {

constexpr char kEntrance[] = "/quillo/entrance";
constexpr char kBucket[] = "zm-class-logs";
constexpr char kSavePath[] = "logs/sim/upload.zip";
constexpr char kToken[] = "tok-secret-4711";
const char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss:zzz";

QJsonObject entryOf(const QString& periodId, const QString& lessonId, const QDateTime& time, const QString& log)
{
    return QJsonObject{
        {periodId,
         QJsonObject{{"LessonID", lessonId}, {"DateTime", time.toString(kTimeFormat)}, {"AllLogFilePath", log}}}};
}

// The archive's entries, unpacked into folder.
QStringList unzip(const QByteArray& archive, const QString& folder)
{
    const QString path = folder + "/archive.zip";
    if (!writeFile(path, archive))
        return {};
    QStringList names = ZipUtil::getFileList(path);
    ZipUtil::extractDir(path, folder + "/content", nullptr);
    names.sort();
    return names;
}

QJsonObject readDocument(const QString& path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

} // namespace

class TestLogUpload : public QObject
{
    Q_OBJECT

    Simulator m_sim;
    QTemporaryDir m_work;

    QString appData() const { return ConfigManager::instance()->getAppDataDir(); }

    QJsonArray puts()
    {
        QJsonArray found;
        for (const QJsonValue& value : m_sim.requests()) {
            if (value.toObject().value("role").toString() == "oss")
                found.append(value);
        }
        return found;
    }

    int refuseNumbered(const QString& funcTag, const QMap<QString, QString>& params = {})
    {
        QJsonObject paramObject{{"FuncTag", funcTag}};
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            paramObject.insert(it.key(), it.value());
        return m_sim.program(
            QJsonObject{{"path", kEntrance}, {"params", paramObject}, {"json", QJsonObject{{"TagCode", "1001"}}}});
    }

    QString storedAddress() const { return m_sim.baseUrl() + "/" + kBucket + "/" + kSavePath; }

    // A run log of an earlier start with its engine log, as the owed entries point at them.
    QString earlierRunLog(const QString& folderName, const QByteArray& text)
    {
        const QString folder = appData() + "/logs/" + folderName;
        const QString log = folder + "/2024_05_01_all.log";
        writeFile(log, text);
        writeFile(folder + "/agorasdk.log", "engine log of " + folderName.toUtf8());
        return log;
    }

    int collectedLines()
    {
        LogLock lock;
        return LogInfo::instance()->lineCount();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.userId = "100234";
        data->launch.token = kToken;
        data->launch.accountType = 1;
        data->launch.uiType = 1;
        data->lesson.lessonId = "L-CUR";
        data->lesson.periodId = "P-CUR";
        data->teacher.userId = "900";
        data->teacher.enNickName = "Ms Smith";
        installLogHandler();
        QVERIFY(!appData().isEmpty());
    }

    void init() { QVERIFY(m_sim.reset()); }

    // The first use of the owed list in this process reads what earlier starts recorded: the thread uploads
    // those it can, drops the hopeless ones, keeps refused ones, removes old log folders and records this run.
    void owedUploadsResumedOnTheNextStart()
    {
        const QDateTime then(QDate(2024, 5, 1), QTime(9, 15, 30, 250));
        // Folders of starts a few days ago (older ones would be removed before their upload).
        const QString goodFolder = QDateTime::currentDateTime().addDays(-2).toString("yyyy-MM-dd HH-mm-ss");
        const QString refusedFolder = QDateTime::currentDateTime().addDays(-1).toString("yyyy-MM-dd HH-mm-ss");
        const QString goodLog = earlierRunLog(goodFolder, "(ThreadID:0x1)09:15:00.000 Debug: earlier run\r\n\n");
        const QString refusedLog = earlierRunLog(refusedFolder, "line\r\n\n");
        const QString expired =
            appData() + "/logs/" + QDateTime::currentDateTime().addDays(-11).toString("yyyy-MM-dd HH-mm-ss");
        QVERIFY(QDir().mkpath(expired));
        const QJsonArray earlier{entryOf("P-GONE", "L-1", then, appData() + "/logs/missing/x_all.log"),
                                 entryOf("P-OK", "L-OK", then, goodLog),
                                 entryOf("P-REFUSED", "L-REFUSED", then, refusedLog)};
        QVERIFY(writeFile(appData() + "/resumeLogInfo.json", QJsonDocument(earlier).toJson(QJsonDocument::Compact)));
        QVERIFY(refuseNumbered("30110102", {{"lessonId", "L-REFUSED"}}) > 0);

        ResumeLogThread thread;
        thread.start();
        QVERIFY(thread.wait(120000));

        // P-OK: credentials asked with the archive beside the run log, put, confirmed with its ids.
        const QString folder = QFileInfo(goodLog).absolutePath();
        const QString archive = folder + "/100234_P-OK_2024_05_01_09_15.zip";
        const QJsonArray asked = m_sim.numberedRequests("30110102");
        QCOMPARE(asked.size(), 2);
        QCOMPARE(Simulator::paramOf(asked.at(0).toObject(), "fileName"),
                 refusedLog.section('/', 0, -2) + "/100234_P-REFUSED_2024_05_01_09_15.zip");
        QCOMPARE(Simulator::paramOf(asked.at(1).toObject(), "fileName"), archive);
        QCOMPARE(Simulator::paramOf(asked.at(1).toObject(), "lessonId"), QStringLiteral("L-OK"));
        QCOMPARE(puts().size(), 1);
        const QJsonArray confirmed = m_sim.numberedRequests("30110101");
        QCOMPARE(confirmed.size(), 1);
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "fileName"), storedAddress());
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "periodId"), QStringLiteral("P-OK"));

        const QStringList names = unzip(m_sim.ossObject(kBucket, kSavePath), m_work.filePath("resumed"));
        QCOMPARE(names, QStringList({"100234_P-OK_2024_05_01_09_15.resume.json", "agorasdk.log"}));
        const QJsonObject document =
            readDocument(m_work.filePath("resumed/content/100234_P-OK_2024_05_01_09_15.resume.json"));
        QCOMPARE(document.value("logs").toArray(), QJsonArray({"(ThreadID:0x1)09:15:00.000 Debug: earlier run"}));
        QVERIFY(!document.contains("contextInfo"));
        QCOMPARE(readFile(m_work.filePath("resumed/content/agorasdk.log")), "engine log of " + goodFolder.toUtf8());
        QVERIFY(QFile::exists(archive)); // left with the folder

        // Left: the refused entry and this run's new one; the expired folder is gone, the others stay.
        const QJsonArray owed = ResumeLogInfo::instance().entries();
        QCOMPARE(owed.size(), 2);
        QCOMPARE(ResumeLogInfo::periodIdOf(owed.at(0).toObject()), QStringLiteral("P-REFUSED"));
        QCOMPARE(ResumeLogInfo::periodIdOf(owed.at(1).toObject()), QStringLiteral("P-CUR"));
        const QJsonObject current = ResumeLogInfo::valueOf(owed.at(1).toObject());
        QCOMPARE(current.value("LessonID").toString(), QStringLiteral("L-CUR"));
        QCOMPARE(current.value("AllLogFilePath").toString(), ConfigManager::instance()->getDailyLogFile());
        QCOMPARE(current.value("UserID").toString(), QStringLiteral("100234"));
        QCOMPARE(current.value("Token").toString(), QString(kToken));
        QVERIFY(!QFile::exists(expired));
        QVERIFY(QFile::exists(folder));
        ResumeLogInfo::instance().removeOwedEntriesOfPeriod("P-REFUSED");
        ResumeLogInfo::instance().removeOwedEntriesOfPeriod("P-CUR");
    }

    void owedUploadStepCodes_data()
    {
        QTest::addColumn<QString>("periodId");
        QTest::addColumn<QString>("lessonId");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("logExists");
        QTest::addColumn<QString>("service"); // what the simulator does
        QTest::addColumn<int>("code");

        const QString time = "2024-05-03 10:00:00:000";
        QTest::newRow("no period id") << ""
                                      << "L" << time << true << "" << 10;
        QTest::newRow("no lesson id") << "P"
                                      << "" << time << true << "" << 20;
        QTest::newRow("time that doesn't parse") << "P"
                                                 << "L"
                                                 << "2024-05-03 10:00" << true << "" << 40;
        QTest::newRow("log file gone") << "P"
                                       << "L" << time << false << "" << 50;
        QTest::newRow("credentials refused") << "P"
                                             << "L" << time << true << "refuse credentials" << 60;
        QTest::newRow("credentials without endpoint") << "P"
                                                      << "L" << time << true << "no endpoint" << 70;
        QTest::newRow("storage refuses") << "P"
                                         << "L" << time << true << "storage 403" << 71;
        QTest::newRow("confirmation refused") << "P"
                                              << "L" << time << true << "refuse confirmation" << 80;
        QTest::newRow("done") << "P"
                              << "L" << time << true << "" << 0;
    }

    void owedUploadStepCodes()
    {
        QFETCH(QString, periodId);
        QFETCH(QString, lessonId);
        QFETCH(QString, time);
        QFETCH(bool, logExists);
        QFETCH(QString, service);
        QFETCH(int, code);
        const QString log = earlierRunLog("2024-05-03 10-00-00", "a line\r\n\n");
        if (!logExists)
            QVERIFY(QFile::remove(log));
        if (service == "refuse credentials")
            QVERIFY(refuseNumbered("30110102") > 0);
        else if (service == "refuse confirmation")
            QVERIFY(refuseNumbered("30110101") > 0);
        else if (service == "storage 403")
            QVERIFY(m_sim.queueOssError(403, "AccessDenied", "no", 1));
        else if (service == "no endpoint")
            QVERIFY(m_sim.program(QJsonObject{{"path", kEntrance},
                                              {"params", QJsonObject{{"FuncTag", "30110102"}}},
                                              {"json", QJsonObject{{"TagCode", "0"},
                                                                   {"bucketName", kBucket},
                                                                   {"accessKeyId", "a"},
                                                                   {"accessKeySecret", "b"},
                                                                   {"securityToken", "c"},
                                                                   {"savePath", "k"}}}}) > 0);

        QJsonObject entry{{periodId, QJsonObject{{"LessonID", lessonId}, {"DateTime", time}, {"AllLogFilePath", log}}}};
        QCOMPARE(resumeUploadLogFileWithJson(entry), code);
        QCOMPARE(puts().size(), code >= 71 || code == 0 ? 1 : 0); // never a put after a failed init
        QCOMPARE(m_sim.ossObjects().size(), code == 80 || code == 0 ? 1 : 0);
        QCOMPARE(m_sim.numberedRequests("30110101").size(), code >= 80 || code == 0 ? 1 : 0);
    }

    // Owed logs of two users and two periods each go up named after, and sent for, the user whose log it is; a
    // user's entry takes the token signed in now when that user is signed in; an entry recorded without a user goes
    // up as the signed-in user's. Every entry is uploaded and none is dropped unsent.
    void owedLogsGoUpUnderTheirOwnUsers()
    {
        const QDateTime then(QDate(2024, 5, 1), QTime(9, 15, 30, 250));
        ResumeLogInfo list(m_work.filePath("two-users.json"));
        struct Owed
        {
            const char* periodId;
            const char* userId; // empty: recorded without a user
            const char* storedToken;
            const char* sentUser;
            const char* sentToken;
        };
        const Owed owed[] = {
            {"P-LEO-1", "100234", "tok-leo-old", "100234", kToken},
            {"P-SAM-1", "900017", "tok-sam", "900017", "tok-sam"},
            {"P-LEO-2", "100234", "tok-leo-old", "100234", kToken},
            {"P-SAM-2", "900017", "tok-sam", "900017", "tok-sam"},
            {"P-OLD", "", "", "100234", kToken},
        };
        QMap<QString, QString> folders;
        for (const Owed& entry : owed) {
            const QString log = earlierRunLog(QStringLiteral("owed-") + entry.periodId, "a line of the run\r\n");
            folders.insert(entry.periodId, QFileInfo(log).absolutePath());
            list.appendResumeLogInfo(entry.periodId, "L-1", then, log, entry.userId, entry.storedToken);
        }
        const QJsonObject stored = ResumeLogInfo::valueOf(list.entries().at(1).toObject());
        QCOMPARE(stored.value("UserID").toString(), QStringLiteral("900017"));

        list.resumeUploadLogFile();

        const QJsonArray asked = m_sim.numberedRequests("30110102");
        const QJsonArray confirmed = m_sim.numberedRequests("30110101");
        QCOMPARE(asked.size(), 5);
        QCOMPARE(confirmed.size(), 5);
        for (int i = 0; i < 5; ++i) {
            const Owed& entry = owed[4 - i]; // newest first
            const QString name = QStringLiteral("%1_%2_2024_05_01_09_15").arg(entry.sentUser, entry.periodId);
            const QJsonObject request = asked.at(i).toObject();
            QCOMPARE(Simulator::paramOf(request, "fileName"), folders.value(entry.periodId) + "/" + name + ".zip");
            QCOMPARE(Simulator::paramOf(request, "periodId"), QString(entry.periodId));
            QCOMPARE(Simulator::paramOf(request, "userId"), QString(entry.sentUser));
            QCOMPARE(Simulator::paramOf(request, "token"), QString(entry.sentToken));
            QCOMPARE(Simulator::paramOf(confirmed.at(i).toObject(), "userId"), QString(entry.sentUser));
            QCOMPARE(Simulator::paramOf(confirmed.at(i).toObject(), "token"), QString(entry.sentToken));
            QCOMPARE(ZipUtil::getFileList(folders.value(entry.periodId) + "/" + name + ".zip"),
                     QStringList({name + ".resume.json", "agorasdk.log"}));
        }
        QCOMPARE(puts().size(), 5);
        QVERIFY(list.entries().isEmpty());
    }

    // A service that stalls the put: the put gives up and the entry stays owed.
    void stalledStorageKeepsTheEntry()
    {
        QVERIFY(m_sim.program(QJsonObject{{"method", "PUT"},
                                          {"path", QStringLiteral("/%1/").arg(kBucket)},
                                          {"match", "prefix"},
                                          {"action", "stall"}}) > 0);
        const QString log = earlierRunLog("2024-05-04 10-00-00", "a line\r\n\n");
        ResumeLogInfo list(m_work.filePath("stalled.json"));
        list.appendResumeLogInfo("P-STALL", "L-STALL", QDateTime::currentDateTime(), log);
        list.resumeUploadLogFile();
        QCOMPARE(puts().size(), 1);
        QCOMPARE(m_sim.numberedRequests("30110101").size(), 0);
        QCOMPARE(list.entries().size(), 1);
        QCOMPARE(ResumeLogInfo::periodIdOf(list.entries().at(0).toObject()), QStringLiteral("P-STALL"));
    }

    // The archive after a class: the run's document and the engine log, stored, confirmed, deleted; the owed entry
    // of this run's class is settled, others stay (the same period owed by a run that never sent its log too).
    void logArchiveUpload()
    {
        ResumeLogInfo& owed = ResumeLogInfo::instance();
        const QString runLog = ConfigManager::instance()->getDailyLogFile();
        owed.appendResumeLogInfo("P-CUR", "L-CUR", QDateTime::currentDateTime(), "/earlier/run_all.log", "100234",
                                 kToken);
        owed.appendResumeLogInfo("P-CUR", "L-CUR", QDateTime::currentDateTime(), runLog, "100234", kToken);
        owed.appendResumeLogInfo("P-OTHER", "L-OTHER", QDateTime::currentDateTime(), "/y.log");
        const QString engineLog = ConfigManager::instance()->getAgoraLogPath();
        QVERIFY(writeFile(engineLog, "engine says hello"));
        qInfo() << "TestLogUpload marker before the archive upload";

        uploadLogArchive();

        const QJsonArray asked = m_sim.numberedRequests("30110102");
        QCOMPARE(asked.size(), 1);
        const QString archive = Simulator::paramOf(asked.at(0).toObject(), "fileName");
        QVERIFY2(archive.startsWith(appData() + "/ZmQuillo_Logfile_") && archive.endsWith(".zip"), qPrintable(archive));
        QCOMPARE(Simulator::paramOf(asked.at(0).toObject(), "periodId"), QStringLiteral("P-CUR"));
        QVERIFY(!QFile::exists(archive));
        const QJsonArray stored = puts();
        QCOMPARE(stored.size(), 1);
        QVERIFY(stored.at(0).toObject().value("oss_sign_ok").toBool());
        QCOMPARE(Simulator::headerOf(stored.at(0).toObject(), "Content-Type"), QStringLiteral("application/zip"));
        const QJsonArray confirmed = m_sim.numberedRequests("30110101");
        QCOMPARE(confirmed.size(), 1);
        QCOMPARE(Simulator::paramOf(confirmed.at(0).toObject(), "fileName"), storedAddress());

        const QStringList names = unzip(m_sim.ossObject(kBucket, kSavePath), m_work.filePath("archive"));
        QCOMPARE(names.size(), 2);
        QVERIFY(names.contains("agorasdk.log"));
        const QString documentName = names.at(0) == "agorasdk.log" ? names.at(1) : names.at(0);
        QVERIFY2(documentName.startsWith("100234_P-CUR_") && documentName.endsWith(".txt"), qPrintable(documentName));
        QVERIFY(QFile::exists(ConfigManager::instance()->getLogDir() + "/" + documentName)); // left in the log folder
        const QJsonObject document = readDocument(m_work.filePath("archive/content/" + documentName));
        QCOMPARE(document.value("contextInfo").toObject().value("teacher").toString(), QStringLiteral("900/Ms Smith"));
        bool markerFound = false;
        for (const QJsonValue& line : document.value("logs").toArray())
            markerFound = markerFound || line.toString().contains("TestLogUpload marker before the archive upload");
        QVERIFY(markerFound);
        QCOMPARE(readFile(m_work.filePath("archive/content/agorasdk.log")), QByteArray("engine says hello"));

        const QJsonArray left = owed.entries();
        QCOMPARE(left.size(), 2);
        QCOMPARE(ResumeLogInfo::periodIdOf(left.at(0).toObject()), QStringLiteral("P-CUR"));
        QCOMPARE(ResumeLogInfo::valueOf(left.at(0).toObject()).value("AllLogFilePath").toString(),
                 QStringLiteral("/earlier/run_all.log"));
        QCOMPARE(ResumeLogInfo::periodIdOf(left.at(1).toObject()), QStringLiteral("P-OTHER"));
        owed.removeOwedEntriesOfPeriod("P-CUR");
        owed.removeOwedEntriesOfPeriod("P-OTHER");
        QVERIFY(QFile::remove(engineLog));
    }

    // Without the engine's log the document goes alone.
    void logArchiveWithoutEngineLog()
    {
        uploadLogArchive();
        QCOMPARE(puts().size(), 1);
        const QStringList names = unzip(m_sim.ossObject(kBucket, kSavePath), m_work.filePath("alone"));
        QCOMPARE(names.size(), 1);
        QVERIFY(names.at(0).endsWith(".txt"));
    }

    // Refused credentials: nothing written, zipped or put; the collected lines stay.
    void logArchiveCredentialsRefused()
    {
        QVERIFY(refuseNumbered("30110102") > 0);
        ResumeLogInfo::instance().appendResumeLogInfo("P-CUR", "L-CUR", QDateTime::currentDateTime(),
                                                      ConfigManager::instance()->getDailyLogFile(), "100234", kToken);
        const QStringList before = QDir(ConfigManager::instance()->getLogDir()).entryList({"*.txt"});
        qInfo() << "TestLogUpload marker of refused credentials";
        const int lines = collectedLines();

        uploadLogArchive();

        QCOMPARE(QDir(ConfigManager::instance()->getLogDir()).entryList({"*.txt"}), before);
        QVERIFY(collectedLines() > lines);
        QCOMPARE(puts().size(), 0);
        QVERIFY(QDir(appData()).entryList({"ZmQuillo_Logfile_*"}).isEmpty());
        QCOMPARE(ResumeLogInfo::instance().entries().size(), 1);
        ResumeLogInfo::instance().removeOwedEntriesOfPeriod("P-CUR");
    }

    // Storage answers 403 with its XML error: logged, no confirmation, archive deleted, owed entry kept.
    void logArchiveStorageRefuses()
    {
        QVERIFY(m_sim.queueOssError(403, "AccessDenied", "You are not allowed to write here.", 1));
        ResumeLogInfo::instance().appendResumeLogInfo("P-CUR", "L-CUR", QDateTime::currentDateTime(),
                                                      ConfigManager::instance()->getDailyLogFile(), "100234", kToken);

        uploadLogArchive();

        QCOMPARE(puts().size(), 1);
        QCOMPARE(puts().at(0).toObject().value("oss_refusal").toString(), QStringLiteral("AccessDenied"));
        QCOMPARE(m_sim.numberedRequests("30110101").size(), 0);
        QVERIFY(m_sim.ossObjects().isEmpty());
        QVERIFY(QDir(appData()).entryList({"ZmQuillo_Logfile_*"}).isEmpty());
        QCOMPARE(ResumeLogInfo::instance().entries().size(), 1);
        QVERIFY(RunLog::flush());
        const QByteArray log = readFile(ConfigManager::instance()->getDailyLogFile());
        QVERIFY(log.contains("AccessDenied"));
        QVERIFY(log.contains("You are not allowed to write here."));
        QVERIFY(!log.contains(Simulator::ossAccessKeySecret().toUtf8()));
        QVERIFY(!log.contains(Simulator::ossSecurityToken().toUtf8()));
        QVERIFY(!log.contains(kToken));
        ResumeLogInfo::instance().removeOwedEntriesOfPeriod("P-CUR");
    }

    void cleanupTestCase() { QVERIFY(m_sim.stop()); }
};

ZM_TEST_MAIN_CORE(TestLogUpload)
#include "tst_logupload.moc"
