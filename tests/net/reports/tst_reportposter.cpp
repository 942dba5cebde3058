#include "app/ProgramFiles.h"
#include "app/UrlConfig.h"
#include "net/http/CZmPost.h"
#include "net/reports/ReportMSG.h"
#include "net/reports/ReportUtil.h"

#include "Simulator.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using ZmTest::readFile;
using ZmTest::writeFile;

class TestReportPoster : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
    }

    void init() { QVERIFY(m_sim.clearRequests()); }

    void record()
    {
        ReportMSG* report = ReportMSG::create();
        const QJsonObject record = report->record();
        QStringList keys = record.keys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"appName", "appVersion", "deviceId", "engineVersion", "model", "sdkVersion", "seq",
                                    "systemName", "systemVersion"}));
        QCOMPARE(record["sdkVersion"].toString(), QStringLiteral("1"));
        QVERIFY(record["seq"].isString() && record["seq"].toString().isEmpty());
        QCOMPARE(record["appName"].toString(), QStringLiteral("ZmQuillo"));
        QCOMPARE(record["appVersion"].toString(), getExeFileVersion(4));
        QCOMPARE(record["appVersion"].toString().split('.').size(), 4);
        QCOMPARE(record["systemName"].toString(), QStringLiteral("Linux"));
        QVERIFY(record["systemVersion"].toString().endsWith(QLatin1String(" 64bit")));
        QVERIFY(record["model"].toString().startsWith(QLatin1String("CPU Name: ")));
        QVERIFY(record["model"].toString().contains(QLatin1String(",Logical Cores: ")));
        delete report;
    }

    void roomEntriesAndEvent()
    {
        ReportMSG report;
        QVERIFY(!report.addEvent("enter", "-1")); // no record
        report.createRecord();
        QVERIFY(!report.addEvent("enter", "-1")); // no room entry
        QVERIFY(!report.record().contains("array"));

        report.addRoomEntry(1001, "small", 42, "student");
        report.addRoomEntry(1002, "normal", 43, "teacher");
        QVERIFY(report.addEvent("InitTask_API_EnterClass", "-3", 10000300, -2));
        QJsonArray entries = report.record()["array"].toArray();
        QCOMPARE(entries.size(), 2);
        const QJsonObject first = entries[0].toObject();
        QCOMPARE(first["roomId"].toInt(), 1001);
        QCOMPARE(first["roomType"].toString(), QStringLiteral("small"));
        QCOMPARE(first["userId"].toInt(), 42);
        QCOMPARE(first["userRole"].toString(), QStringLiteral("student"));
        QVERIFY(!first.contains("eventType"));
        QVERIFY(first["time"].isString());
        QVERIFY(qAbs(first["time"].toString().toLongLong() - QDateTime::currentMSecsSinceEpoch()) < 60000);
        const QJsonObject last = entries[1].toObject();
        QCOMPARE(last["eventType"].toString(), QStringLiteral("eduEnterRoom"));
        QCOMPARE(last["step"].toString(), QStringLiteral("InitTask_API_EnterClass"));
        QCOMPARE(last["errCode"].toString(), QStringLiteral("-3"));
        QCOMPARE(last["data"].toObject(), (QJsonObject{{"errApiFuncTag", 10000300}, {"errApiRetTag", -2}}));

        QVERIFY(report.addEvent("again", "0", std::nullopt, 5));
        entries = report.record()["array"].toArray();
        QCOMPARE(entries[1].toObject()["data"].toObject(), (QJsonObject{{"errApiRetTag", 5}}));
        QVERIFY(report.addEvent("none", "0"));
        QCOMPARE(report.record()["array"].toArray()[1].toObject()["data"].toObject(), QJsonObject());
        QCOMPARE(ReportMSG::eventTypeName(2), QStringLiteral("eduInRoom"));
    }

    // The report reaches the report address as compact JSON; report and poster release themselves.
    void send()
    {
        QPointer<ReportMSG> report = ReportMSG::create();
        report->addRoomEntry(7, "small", 9, "student");
        QVERIFY(report->addEvent("join", "-1", 1, 2));
        const QJsonObject record = report->record();
        const QPointer<CZmPost> poster = report->poster();
        QVERIFY(poster);
        QTest::ignoreMessage(QtDebugMsg, "CZmPost::deleteLater()");
        QTest::ignoreMessage(QtDebugMsg, "CZmPost::~CZmPost()");
        QCOMPARE(report->send(), 0);
        QVERIFY(!report->poster());
        const QJsonArray requests = m_sim.waitForRequests(1, "/apm-store-web/messagePosted");
        QCOMPARE(requests.size(), 1);
        const QJsonObject entry = requests[0].toObject();
        QCOMPARE(entry["method"].toString(), QStringLiteral("POST"));
        QCOMPARE(ZmTest::Simulator::headerOf(entry, "Content-Type"),
                 QStringLiteral("application/x-www-form-urlencoded;charset=UTF-8"));
        const QByteArray body = ZmTest::Simulator::bodyOf(entry);
        QCOMPARE(body, QJsonDocument(record).toJson(QJsonDocument::Compact));
        QCOMPARE(entry["report_json"].toObject(), record);
        QTRY_VERIFY(report.isNull());
        QTRY_VERIFY(poster.isNull()); // released once its thread ended
    }

    void sendWithoutRecord()
    {
        QPointer<ReportMSG> report = new ReportMSG;
        const QPointer<CZmPost> poster = report->poster();
        QTest::ignoreMessage(QtDebugMsg, "CZmPost::~CZmPost()");
        QCOMPARE(report->send(), 0);
        QTRY_VERIFY(report.isNull());
        // The poster went with the report without ever starting: nothing can be posted any more.
        QVERIFY(poster.isNull());
        QCOMPARE(m_sim.requests("/apm-store-web/messagePosted").size(), 0);
    }

    void posterFailsQuietly()
    {
        QPointer<CZmPost> poster = new CZmPost;
        int result = -1;
        connect(
            poster.data(), &QThread::finished, poster.data(), [&result, poster] { result = poster->result(); },
            Qt::DirectConnection);
        QVERIFY(poster->post("http://127.0.0.1:1/nothing", "{}"));
        QVERIFY(!poster->post("http://127.0.0.1:1/again", "{}"));
        QTRY_VERIFY(poster.isNull());
        QVERIFY(result != 0 && result != -1);
    }

    void guidText()
    {
        const QRegularExpression pattern("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
        const QString first = ReportUtil::guidText();
        QVERIFY2(pattern.match(first).hasMatch(), qPrintable(first));
        QVERIFY(first != ReportUtil::guidText());
    }

    void publicAddress_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("address");
        QTest::newRow("between marks") << "<html>Your IP<br/> 203.0.113.7 <br/>thanks</html>"
                                       << "203.0.113.7";
        QTest::newRow("one mark") << "<br/>203.0.113.7"
                                  << "0.0.0.0";
        QTest::newRow("no address") << "<br/>unknown<br/>"
                                    << "0.0.0.0";
        QTest::newRow("empty") << ""
                               << "0.0.0.0";
    }

    void publicAddress()
    {
        QFETCH(QString, page);
        QFETCH(QString, address);
        QCOMPARE(ReportUtil::publicAddressFromPage(page), address);
        QCOMPARE(ReportUtil::publicAddress(), QString());
    }

    void machineFacts()
    {
        QVERIFY(QRegularExpression("^\\d{14}$").match(ReportUtil::timeStamp()).hasMatch());
        QVERIFY(ReportUtil::localAddresses().contains("127.0.0.1"));
        const int load = ReportUtil::systemCpuLoad();
        QVERIFY2(load >= 0 && load <= 100, qPrintable(QString::number(load)));
        QCOMPARE(ReportUtil::formatProcessorDescription("Test CPU", 2400, 4, 8, {"i915 (8086:3E92)", "nouveau"}),
                 QStringLiteral("CPU Name: Test CPU, CPU Speed: 2400MHz, Physical Cores: 4,Logical Cores: 8,Video "
                                "Adapters: Adapter0: i915 (8086:3E92), Adapter1: nouveau"));
        const QString folder = ReportUtil::dataFolder();
        QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Zmorbit");
        QVERIFY(QDir(folder).exists());
    }

    void gzipRoundTrip()
    {
        QTemporaryDir dir;
        QByteArray data;
        for (int i = 0; i < 70000; ++i)
            data.append(char((i * 7919) >> 3));
        QVERIFY(writeFile(dir.filePath("plain.bin"), data));
        QCOMPARE(ReportUtil::gzipFile(dir.filePath("plain.bin"), dir.filePath("plain.bin.gz")), 1);
        QVERIFY(readFile(dir.filePath("plain.bin.gz")).startsWith("\x1f\x8b"));
        QCOMPARE(ReportUtil::gunzipFile(dir.filePath("plain.bin.gz"), dir.filePath("back.bin")), 1);
        QCOMPARE(readFile(dir.filePath("back.bin")), data);
    }

    void gzipFailures()
    {
        QTemporaryDir dir;
        QCOMPARE(ReportUtil::gzipFile(dir.filePath("missing"), dir.filePath("out.gz")), -1);
        QVERIFY(!QFile::exists(dir.filePath("out.gz")));
        QVERIFY(writeFile(dir.filePath("plain.txt"), "not compressed at all"));
        QCOMPARE(ReportUtil::gunzipFile(dir.filePath("plain.txt"), dir.filePath("out.txt")), -1);
        QVERIFY(!QFile::exists(dir.filePath("out.txt")));
        QCOMPARE(ReportUtil::gzipFile(dir.filePath("plain.txt"), dir.filePath("plain.gz")), 1);
        const QByteArray whole = readFile(dir.filePath("plain.gz"));
        QVERIFY(writeFile(dir.filePath("cut.gz"), whole.left(whole.size() - 6)));
        QCOMPARE(ReportUtil::gunzipFile(dir.filePath("cut.gz"), dir.filePath("cut.txt")), -1);
        QVERIFY(!QFile::exists(dir.filePath("cut.txt")));
        QCOMPARE(ReportUtil::gunzipFile(dir.filePath("plain.gz"), dir.filePath("no/such/folder/out")), -1);
    }
};

ZM_TEST_MAIN_CORE(TestReportPoster)
#include "tst_reportposter.moc"
