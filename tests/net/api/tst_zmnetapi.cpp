#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/RunLog.h"
#include "app/StringUtil.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "app/tasks/TaskFramework.h"
#include "net/api/DeviceUid.h"
#include "net/api/RequestSign.h"

#include "ClosedPort.h"
#include "LogCapture.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <functional>
#include <limits>

using ZmTest::Simulator;
using Call = std::function<int()>;
using Pairs = QList<QPair<QString, QString>>;

Q_DECLARE_METATYPE(ApiParamList)
Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(QVector<NetworkInterfaceFacts>)

using ZmTest::LogCapture;

namespace {

constexpr char kEntrance[] = "/quillo/entrance";
constexpr char kReportPath[] = "/classroom/monitor/period/device/report/callback";
constexpr char kWebVersion[] = "2.3.4";
constexpr char kToken[] = "tok-secret-XYZ";

// The API's time limit while a test waits it out; restored when the returned guard goes.
constexpr int kShortLimitSeconds = 2;
auto shortApiLimit()
{
    ZmNetAPI::setTimeoutSecondsForTesting(kShortLimitSeconds);
    return qScopeGuard([] { ZmNetAPI::setTimeoutSecondsForTesting(0); });
}

ApiParamList sortedByKey(ApiParamList list)
{
    std::stable_sort(list.begin(), list.end(), StringUtil::keyLessNoCase);
    return list;
}

ApiParamList pairsOfEntry(const QJsonObject& entry)
{
    ApiParamList list;
    for (const auto& pair : Simulator::pairsOf(entry.value("params")))
        list.append(pair);
    return list;
}

ApiParamList withoutSign(ApiParamList list)
{
    list.erase(std::remove_if(list.begin(), list.end(), [](const KeyValuePair& pair) { return pair.first == "s"; }),
               list.end());
    return list;
}

QString version()
{
    return ZmNetAPI::instance()->version();
}

ApiParamList tailA()
{
    return {{"v", version()}, {"p", "6"}, {"systemVersion", getOsName()}, {"c", "1"}};
}

ApiParamList tailB()
{
    return {{"p", "6"}, {"systemVersion", getOsName()}, {"v", version()}, {"c", "1"}};
}

ApiParamList enterPairs()
{
    return {{"sinceVersion", "since_1_4_1"},
            {"webLocalVersion", kWebVersion},
            {"FuncTag", "50000101"},
            {"token", kToken},
            {"userId", "100234"},
            {"roleType", "1"},
            {"enterType", "1"},
            {"periodId", "7788"},
            {"deviceUid", getDeviceUid()}};
}

} // namespace

class TestZmNetAPI : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;

    void setUpLesson()
    {
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.userId = "100234";
        data->launch.token = kToken;
        data->launch.accountType = 1;
        data->launch.language = "en";
        data->lesson.periodId = "7788";
        data->lesson.lessonId = "5566";
        data->teacher.userId = "900";
        data->clearUsers();
        data->enteredClass = false;
        m_sim.pointUrlConfig();
    }

    int programReply(const QString& funcTag, const QJsonObject& extra)
    {
        QJsonObject route{{"path", kEntrance}, {"params", QJsonObject{{"FuncTag", funcTag}}}};
        for (auto it = extra.begin(); it != extra.end(); ++it)
            route[it.key()] = it.value();
        return m_sim.program(route);
    }

    QJsonArray reports() { return m_sim.requests(kReportPath); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        initTaskFramework();
        const QString resources = ConfigManager::instance()->getOfflineResourceDir();
        QVERIFY(QDir().mkpath(resources));
        QFile manifest(resources + "/manifest.json");
        QVERIFY(manifest.open(QIODevice::WriteOnly | QIODevice::Truncate));
        manifest.write(QByteArray("{\"version\":\"") + kWebVersion + "\"}");
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        setUpLesson();
    }

    void parameterTextIsSortedEscapedJson_data()
    {
        QTest::addColumn<ApiParamList>("list");
        QTest::addColumn<QString>("text");

        QTest::newRow("sorted without case") << ApiParamList{{"b", "2"}, {"A", "x"}} << "\"A\":\"x\",\"b\":\"2\"";
        QTest::newRow("same text whatever the order")
            << ApiParamList{{"A", "x"}, {"b", "2"}} << "\"A\":\"x\",\"b\":\"2\"";
        QTest::newRow("quote and backslash")
            << ApiParamList{{"k", "say \"hi\" \\o/"}} << "\"k\":\"say \\\"hi\\\" \\\\o/\"";
        QTest::newRow("control characters")
            << ApiParamList{{"k", QString("a\nb\tc") + QChar(1)}} << "\"k\":\"a\\nb\\tc\\u0001\"";
        QTest::newRow("escaped key") << ApiParamList{{"k\"ey", "v"}} << "\"k\\\"ey\":\"v\"";
        QTest::newRow("non-ASCII kept") << ApiParamList{{"k", QString::fromUtf8("\u4e2d")}}
                                        << QString::fromUtf8("\"k\":\"\u4e2d\"");
        QTest::newRow("empty") << ApiParamList{} << "";
    }
    void parameterTextIsSortedEscapedJson()
    {
        QFETCH(ApiParamList, list);
        QFETCH(QString, text);
        QCOMPARE(paramsToJsonText(list), text);
        const QJsonDocument document = QJsonDocument::fromJson(("{" + text + "}").toUtf8());
        QVERIFY(document.isObject());
        for (const KeyValuePair& pair : list)
            QCOMPARE(document.object().value(pair.first).toString(), pair.second);
    }

    void getUrlPercentEncodesTheParameter()
    {
        const ApiParamList list{{"b", "2"}, {"A", "x y"}};
        QCOMPARE(ZmNetAPI::GetUrl("http://h:1", list),
                 QString("http://h:1/quillo/entrance?parameter=%7B%22A%22%3A%22x%20y%22%2C%22b%22%3A%222%22%7D"));
        UrlConfig::instance()->api = "http://api.example:8080";
        QCOMPARE(
            ZmNetAPI::makeApiUrl(list).toString(QUrl::FullyEncoded),
            QString(
                "http://api.example:8080/quillo/entrance?parameter=%7B%22A%22%3A%22x%20y%22%2C%22b%22%3A%222%22%7D"));
    }

    void callsSendTheirPairs_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<ApiParamList>("expected"); // before "s"

        QTest::newRow("AddUserDevcieInfo")
            << Call([] { return ZmNetAPI::instance()->AddUserDevcieInfo(2, 1, "no sound"); })
            << ApiParamList{{"FuncTag", "10000204"}, {"periodId", "7788"},  {"userId", "100234"},
                            {"deviceType", "2"},     {"deviceStatus", "1"}, {"abnormalMessage", "no sound"}} +
                   tailA();
        const QString awkward = QString::fromUtf8("a&b=c+d %25 #x? \u4e2d\u6587 \"q\" \\ /\n\tend");
        QTest::newRow("AddUserDevcieInfo, awkward message")
            << Call([awkward] { return ZmNetAPI::instance()->AddUserDevcieInfo(1, 0, awkward); })
            << ApiParamList{{"FuncTag", "10000204"}, {"periodId", "7788"},  {"userId", "100234"},
                            {"deviceType", "1"},     {"deviceStatus", "0"}, {"abnormalMessage", awkward}} +
                   tailA();
        QTest::newRow("FeedbackErrorOfCheckUserDevcies") << Call([] {
            return ZmNetAPI::instance()->FeedbackErrorOfCheckUserDevcies(-5, {"Camera = OK", "Micphone = Failed"});
        })
                                                         << ApiParamList{{"FuncTag", "10000204"},
                                                                         {"userId", "-5"},
                                                                         {"deviceType", "6"},
                                                                         {"deviceStatus", "1"},
                                                                         {"abnormalMessage",
                                                                          "Camera = OK;Micphone = Failed;"}} +
                                                                tailA();
        QTest::newRow("FeedbackErrorOfCheckUserDevcies without lines")
            << Call([] { return ZmNetAPI::instance()->FeedbackErrorOfCheckUserDevcies(7, {}); })
            << ApiParamList{{"FuncTag", "10000204"},
                            {"userId", "7"},
                            {"deviceType", "6"},
                            {"deviceStatus", "1"},
                            {"abnormalMessage", ""}} +
                   tailA();
        const ApiParamList exitPairs{
            {"FuncTag", "50000102"}, {"token", kToken},    {"userId", "100234"},         {"roleType", "1"},
            {"exitType", "1"},       {"periodId", "7788"}, {"deviceUid", getDeviceUid()}};
        QTest::newRow("ExitClassRoom with a leave state")
            << Call([] { return ZmNetAPI::instance()->ExitClassRoom("2"); })
            << ApiParamList{{"sinceVersion", "since_1_4_1"},
                            {"webLocalVersion", kWebVersion},
                            {"teacherLeaveState", "2"}} +
                   exitPairs + tailA();
        QTest::newRow("ExitClassRoom without a leave state")
            << Call([] { return ZmNetAPI::instance()->ExitClassRoom(""); })
            << ApiParamList{{"sinceVersion", "since_1_4_1"}, {"webLocalVersion", kWebVersion}} + exitPairs + tailA();
        QTest::newRow("EnterClassRoom") << Call([] { return ZmNetAPI::instance()->EnterClassRoom(); })
                                        << enterPairs() + tailA();
        QTest::newRow("GetAliyunOSSUploadInfo, lesson record's ids")
            << Call([] {
                   QMap<QString, QString> out;
                   return ZmNetAPI::instance()->GetAliyunOSSUploadInfo("log.zip", out, "", "");
               })
            << ApiParamList{{"FuncTag", "30110102"}, {"token", kToken},    {"userId", "100234"}, {"fileType", "3"},
                            {"fileName", "log.zip"}, {"lessonId", "5566"}, {"periodId", "7788"}} +
                   tailB();
        QTest::newRow("uploadCallback, given ids")
            << Call([] { return ZmNetAPI::instance()->uploadCallback("http://b/x.zip", "11", "22"); })
            << ApiParamList{{"FuncTag", "30110101"},        {"token", kToken},  {"userId", "100234"}, {"fileType", "3"},
                            {"fileName", "http://b/x.zip"}, {"lessonId", "11"}, {"periodId", "22"}} +
                   tailB();
        QTest::newRow("getClassStudentsPoint") << Call([] {
            return ZmNetAPI::instance()->getClassStudentsPoint();
        }) << ApiParamList{{"FuncTag", "80000006"}, {"token", kToken}, {"type", "102"}, {"periodId", "7788"}} + tailB();
        QTest::newRow("submitClassStudentPoint")
            << Call([] { return ZmNetAPI::instance()->submitClassStudentPoint(31, 4); })
            << ApiParamList{{"FuncTag", "80000005"}, {"token", kToken},    {"periodId", "7788"}, {"userId", "900"},
                            {"studentId", "31"},     {"lessonId", "5566"}, {"type", "102"},      {"point", "4"}} +
                   tailB();
        QTest::newRow("getFeedbackConfig") << Call([] {
            QStringList out;
            return ZmNetAPI::instance()->getFeedbackConfig(out);
        }) << ApiParamList{{"FuncTag", "10000300"}, {"role", "s"}};
        QTest::newRow("submitFeedback") << Call([] {
            return ZmNetAPI::instance()->submitFeedback("The video is stuck;", "a \"quoted\" note");
        })
                                        << ApiParamList{{"FuncTag", "10000301"},
                                                        {"periodId", "7788"},
                                                        {"version", version()},
                                                        {"p", "6"},
                                                        {"systemVersion", getOsName()},
                                                        {"os", getPlatformDescription()},
                                                        {"userId", "100234"},
                                                        {"token", kToken},
                                                        {"common", "The video is stuck;"},
                                                        {"other", "a \"quoted\" note"}};
    }
    void callsSendTheirPairs()
    {
        QFETCH(Call, call);
        QFETCH(ApiParamList, expected);

        QCOMPARE(call(), 0);
        const QJsonArray entries = m_sim.requests(kEntrance);
        QCOMPARE(entries.size(), 1);
        const QJsonObject entry = entries.first().toObject();
        QCOMPARE(entry.value("method").toString(), QString("GET"));
        QVERIFY2(!entry.contains("param_error"), qPrintable(entry.value("param_error").toString()));
        const ApiParamList sent = pairsOfEntry(entry);
        QCOMPARE(sent, sortedByKey(sent));
        QCOMPARE(withoutSign(sent), sortedByKey(expected));
        QCOMPARE(sent.size(), expected.size() + 1);
        QVERIFY2(entry.value("sign_ok").toBool(), qPrintable(entry.value("sign_expected").toString()));
        QCOMPARE(entry.value("sign_sent").toString(), makeRequestSign(expected, requestSignAlphabet()));
        QCOMPARE(reports().size(), 0);
    }

    void feedbackConfigSignsNineBytes()
    {
        QStringList out;
        QCOMPARE(ZmNetAPI::instance()->getFeedbackConfig(out), 0);
        const QJsonObject entry = m_sim.requests(kEntrance).first().toObject();
        QCOMPARE(entry.value("sign_sent").toString().left(16), QString(16, QChar('q')));
    }

    void tagCode_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("lenient"); // ExitClassRoom: any scalar
        QTest::addColumn<int>("strict");  // getFeedbackConfig: strings only

        QTest::newRow("text 0") << QByteArray("{\"TagCode\":\"0\"}") << 0 << 0;
        QTest::newRow("empty object") << QByteArray("{}") << 0 << 0;
        QTest::newRow("not a number") << QByteArray("{\"TagCode\":\"abc\"}") << 0 << 0;
        QTest::newRow("text 1001") << QByteArray("{\"TagCode\":\"1001\"}") << 1001 << 1001;
        QTest::newRow("negative text") << QByteArray("{\"TagCode\":\"-3\"}") << -3 << -3;
        QTest::newRow("fraction text") << QByteArray("{\"TagCode\":\"12.5\"}") << 0 << 0;
        QTest::newRow("number 1001") << QByteArray("{\"TagCode\":1001}") << 1001 << 0;
        QTest::newRow("number of seven digits") << QByteArray("{\"TagCode\":1000000}") << 1000000 << 0;
        QTest::newRow("number 0") << QByteArray("{\"TagCode\":0}") << 0 << 0;
        QTest::newRow("number beyond int") << QByteArray("{\"TagCode\":1e12}") << std::numeric_limits<int>::max() << 0;
        QTest::newRow("text beyond int") << QByteArray("{\"TagCode\":\"99999999999\"}")
                                         << std::numeric_limits<int>::max() << std::numeric_limits<int>::max();
        QTest::newRow("fraction number") << QByteArray("{\"TagCode\":2.5}") << 0 << 0;
        QTest::newRow("true") << QByteArray("{\"TagCode\":true}") << 1 << 0;
        QTest::newRow("null") << QByteArray("{\"TagCode\":null}") << 0 << 0;
        QTest::newRow("object") << QByteArray("{\"TagCode\":{\"a\":1}}") << 0 << 0;
        QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << 0 << 0;
        QTest::newRow("empty body") << QByteArray() << 0 << 0;
        QTest::newRow("truncated JSON") << QByteArray("{\"TagCode\":\"1001") << 0 << 0;
        QTest::newRow("top-level array") << QByteArray("[{\"TagCode\":\"1001\"}]") << 0 << 0;
    }
    void tagCode()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, lenient);
        QFETCH(int, strict);

        const QString base64 = QString::fromLatin1(body.toBase64());
        QVERIFY(programReply("50000102", {{"body_base64", base64}}) > 0);
        QVERIFY(programReply("10000300", {{"body_base64", base64}}) > 0);

        QCOMPARE(ZmNetAPI::instance()->ExitClassRoom(""), lenient);
        QStringList items{"kept"};
        QCOMPARE(ZmNetAPI::instance()->getFeedbackConfig(items), strict);
        if (strict != 0)
            QCOMPARE(items, QStringList{"kept"});

        // One problem report per refusal, tied to the call's tag.
        QJsonArray filed = reports();
        QCOMPARE(filed.size(), (lenient != 0 ? 1 : 0) + (strict != 0 ? 1 : 0));
        QStringList remarks;
        for (const QJsonValue& entry : filed) {
            const Pairs form = Simulator::pairsOf(entry.toObject().value("form"));
            QCOMPARE(form.value(4), qMakePair(QString("problemType"), QString("1")));
            QCOMPARE(form.value(7), qMakePair(QString("errorDescription"), QString("Call HttpApi Error!")));
            remarks << form.value(6).second;
            const QString code = form.value(5).second;
            QVERIFY(code == QString::number(lenient) || code == QString::number(strict));
        }
        QStringList expectedRemarks;
        if (lenient != 0)
            expectedRemarks << "FuncTag=50000102";
        if (strict != 0)
            expectedRemarks << "FuncTag=10000300";
        QCOMPARE(remarks, expectedRemarks);
    }

    void transportFailuresReturnMinusOne_data()
    {
        QTest::addColumn<QJsonObject>("route"); // empty: nothing listens at the API address

        const QByteArray truncated = "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n{\"TagCode\":\"0\"";
        QTest::newRow("204") << QJsonObject{{"status", 204}};
        QTest::newRow("302 then 404") << QJsonObject{{"status", 302},
                                                     {"headers", QJsonObject{{"Location", "/nowhere"}}}};
        QTest::newRow("404") << QJsonObject{{"status", 404}, {"body", "{\"TagCode\":\"0\"}"}};
        QTest::newRow("500") << QJsonObject{{"status", 500}, {"body", "{\"TagCode\":\"1001\"}"}};
        QTest::newRow("closes without a reply") << QJsonObject{{"action", "close"}};
        QTest::newRow("truncated reply") << QJsonObject{{"action", "raw"},
                                                        {"raw_base64", QString::fromLatin1(truncated.toBase64())}};
        QTest::newRow("refused connection") << QJsonObject{};
    }
    void transportFailuresReturnMinusOne()
    {
        QFETCH(QJsonObject, route);
        if (route.isEmpty()) {
            const quint16 port = ZmTest::closedPort();
            QVERIFY(port != 0);
            UrlConfig::instance()->api = QString("http://127.0.0.1:%1").arg(port);
        } else {
            QVERIFY(programReply("30110102", route) > 0);
        }
        QMap<QString, QString> out{{"bucketName", "earlier"}};
        QCOMPARE(ZmNetAPI::instance()->GetAliyunOSSUploadInfo("f.zip", out, "", ""), -1);
        QCOMPARE(out, (QMap<QString, QString>{{"bucketName", "earlier"}}));
        QCOMPARE(reports().size(), 0);
    }

    void stalledServiceReturnsWithinTheLimit()
    {
        QCOMPARE(ZmNetAPI::timeoutSeconds(), 10);
        const auto restore = shortApiLimit();
        QVERIFY(programReply("50000102", {{"action", "stall"}}) > 0);
        // The reply never comes: the call returns only because the limit ends it.
        QCOMPARE(ZmNetAPI::instance()->ExitClassRoom(""), -1);
        QCOMPARE(reports().size(), 0);
    }

    void hugeReplyIsReadWithoutHarm()
    {
        QVERIFY(programReply("80000005", {{"body", QString(1 << 20, 'x')}, {"repeat", 16}}) > 0);
        QVERIFY(programReply("50000101", {{"json", QJsonObject{{"TagCode", "7"}, {"pad", QString(4 << 20, 'y')}}}}) >
                0);
        LogCapture capture;
        QCOMPARE(ZmNetAPI::instance()->submitClassStudentPoint(1, 1), -2);
        QCOMPARE(ZmNetAPI::instance()->EnterClassRoom(), 7);
        QVERIFY2(capture.text().size() < (2 << 20), "log lines of huge replies are cut");
    }

    void ossUploadInfoFillsOutAndKeepsSecretsOutOfTheLog()
    {
        QVERIFY(RunLog::flush());
        QFile log(ConfigManager::instance()->getDailyLogFile());
        const qint64 start = log.exists() ? log.size() : 0;
        QMap<QString, QString> out{{"other", "stays"}};
        LogCapture capture;
        QCOMPARE(ZmNetAPI::instance()->GetAliyunOSSUploadInfo("log.zip", out, "", ""), 0);
        QCOMPARE(out.value("bucketName"), QString("zm-class-logs"));
        QCOMPARE(out.value("endpoint"), m_sim.baseUrl());
        QCOMPARE(out.value("accessKeyId"), QString("SIM-ACCESS-KEY-ID"));
        QCOMPARE(out.value("accessKeySecret"), QString("sim-access-key-secret"));
        QCOMPARE(out.value("securityToken"), QString("sim-security-token"));
        QCOMPARE(out.value("savePath"), QString("logs/sim/upload.zip"));
        QCOMPARE(out.value("other"), QString("stays"));

        const QString messages = capture.text();
        QVERIFY(messages.contains(QString("http://zm-class-logs.127.0.0.1:%1/logs/sim/upload.zip").arg(m_sim.port())));
        QVERIFY(messages.contains("SIM-ACCESS-KEY-ID"));
        QVERIFY2(!messages.contains("sim-access-key-secret"), qPrintable(messages));
        QVERIFY2(!messages.contains("sim-security-token"), qPrintable(messages));
        QVERIFY2(!messages.contains(kToken), qPrintable(messages));

        // The transfer trace in the day's log carries the request with the token masked.
        QVERIFY(RunLog::flush());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.seek(start));
        const QByteArray trace = log.readAll();
        QVERIFY(trace.contains("HttpCurl => Send header:"));
        QVERIFY(trace.contains("%22token%22%3A%22***%22"));
        QVERIFY(!trace.contains(kToken));
        QVERIFY(!trace.contains("sim-access-key-secret"));
    }

    void ossUploadInfoWithMissingKeysGivesEmptyTexts()
    {
        QVERIFY(programReply("30110102", {{"json", QJsonObject{{"TagCode", "0"}, {"bucketName", 5}}}}) > 0);
        QMap<QString, QString> out;
        QCOMPARE(ZmNetAPI::instance()->GetAliyunOSSUploadInfo("log.zip", out, "", ""), 0);
        QCOMPARE(out.size(), 6);
        for (const QString& value : out)
            QVERIFY(value.isEmpty());
    }

    void studentPointsUpdateKnownMembers()
    {
        AppGlobalData* data = AppGlobalData::instance();
        UserInfo first;
        first.userId = "1";
        data->addUser(first);
        UserInfo second;
        second.userId = "2";
        second.classPoint = 9;
        second.starPoint = 9;
        data->addUser(second);
        const QJsonArray list{QJsonObject{{"userId", 1}, {"point", 3}}, QJsonObject{{"userId", 99}, {"point", 5}},
                              QJsonValue("junk"), QJsonObject{{"point", 4}}};
        QVERIFY(programReply("80000006", {{"json", QJsonObject{{"TagCode", "0"}, {"pointInfoList", list}}}}) > 0);

        QCOMPARE(ZmNetAPI::instance()->getClassStudentsPoint(), 0);
        UserInfo found;
        QVERIFY(data->findUser(1, found));
        QCOMPARE(found.classPoint, 3);
        QCOMPARE(found.starPoint, 3);
        QVERIFY(data->findUser(2, found));
        QCOMPARE(found.starPoint, 9);
        QVERIFY(!data->findUser(99, found));
        QCOMPARE(data->memberMap()->size(), 2);
    }

    void submitPointResult_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("result");

        QTest::newRow("isSuccess 1") << QByteArray("{\"TagCode\":\"0\",\"isSuccess\":1}") << 0;
        QTest::newRow("isSuccess text 1") << QByteArray("{\"TagCode\":\"0\",\"isSuccess\":\"1\"}") << 0;
        QTest::newRow("isSuccess true") << QByteArray("{\"TagCode\":\"0\",\"isSuccess\":true}") << 0;
        QTest::newRow("isSuccess 0") << QByteArray("{\"TagCode\":\"0\",\"isSuccess\":0}") << -2;
        QTest::newRow("isSuccess missing") << QByteArray("{\"TagCode\":\"0\"}") << -2;
        QTest::newRow("not JSON") << QByteArray("oops") << -2;
        QTest::newRow("refused") << QByteArray("{\"TagCode\":\"5005\",\"isSuccess\":1}") << 5005;
    }
    void submitPointResult()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, result);
        QVERIFY(programReply("80000005", {{"body_base64", QString::fromLatin1(body.toBase64())}}) > 0);
        QCOMPARE(ZmNetAPI::instance()->submitClassStudentPoint(3, 1), result);
    }

    void feedbackConfig_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QJsonObject>("reply");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QStringList>("items");

        const QJsonObject reply{{"TagCode", "0"}, {"en", "a;;b"}, {"cn", QString::fromUtf8("\u4e2d;\u6587")}};
        QTest::newRow("pupil, English") << 1 << "en" << reply << "s" << QStringList{"a", "", "b"};
        QTest::newRow("teacher, Chinese")
            << 2 << "cn" << reply << "t" << QStringList{QString::fromUtf8("\u4e2d"), QString::fromUtf8("\u6587")};
        QTest::newRow("auditor, other language reads English")
            << 3 << "CN" << reply << "t" << QStringList{"a", "", "b"};
        QTest::newRow("no texts") << 1 << "en" << QJsonObject{{"TagCode", "0"}} << "s" << QStringList{};
    }
    void feedbackConfig()
    {
        QFETCH(int, accountType);
        QFETCH(QString, language);
        QFETCH(QJsonObject, reply);
        QFETCH(QString, role);
        QFETCH(QStringList, items);

        AppGlobalData::instance()->launch.accountType = accountType;
        AppGlobalData::instance()->launch.language = language;
        QVERIFY(programReply("10000300", {{"json", reply}}) > 0);
        QStringList out{"earlier"};
        QCOMPARE(ZmNetAPI::instance()->getFeedbackConfig(out), 0);
        QCOMPARE(out, items);
        const ApiParamList sent = pairsOfEntry(m_sim.requests(kEntrance).first().toObject());
        QVERIFY(sent.contains({"role", role}));
    }

    void feedbackCallsTakeTheMessageServerAddress_data()
    {
        QTest::addColumn<QJsonValue>("wsUrl");
        QTest::addColumn<QString>("refusal"); // TagCode
        QTest::addColumn<bool>("replaced");

        QTest::newRow("accepted") << QJsonValue("ws://10.0.0.1:9000/ws") << "0" << true;
        QTest::newRow("also when refused") << QJsonValue("ws://10.0.0.1:9000/ws") << "17" << true;
        QTest::newRow("empty text") << QJsonValue("") << "0" << false;
        QTest::newRow("not a text") << QJsonValue(5) << "0" << false;
    }
    void feedbackCallsTakeTheMessageServerAddress()
    {
        QFETCH(QJsonValue, wsUrl);
        QFETCH(QString, refusal);
        QFETCH(bool, replaced);

        const QString before = UrlConfig::instance()->webSocket;
        const QJsonObject reply{{"TagCode", refusal}, {"wsUrl", wsUrl}, {"en", "x"}};
        QVERIFY(programReply("10000300", {{"json", reply}}) > 0);
        QVERIFY(programReply("10000301", {{"json", reply}}) > 0);
        QVERIFY(programReply("50000102", {{"json", reply}}) > 0);

        QCOMPARE(ZmNetAPI::instance()->ExitClassRoom(""), refusal.toInt());
        QCOMPARE(UrlConfig::instance()->webSocket, before);
        QStringList out;
        QCOMPARE(ZmNetAPI::instance()->getFeedbackConfig(out), refusal.toInt());
        QCOMPARE(UrlConfig::instance()->webSocket, replaced ? wsUrl.toString() : before);
        UrlConfig::instance()->webSocket = before;
        QCOMPARE(ZmNetAPI::instance()->submitFeedback("c", "o"), refusal.toInt());
        QCOMPARE(UrlConfig::instance()->webSocket, replaced ? wsUrl.toString() : before);
    }

    void enterClassTaskRequest_data()
    {
        QTest::addColumn<QJsonObject>("reply"); // empty: transport failure (HTTP 500)
        QTest::addColumn<int>("result");

        QTest::newRow("accepted") << QJsonObject{{"TagCode", "0"}} << 0;
        QTest::newRow("accepted, numeric tag") << QJsonObject{{"TagCode", 0}} << 0;
        QTest::newRow("refused") << QJsonObject{{"TagCode", "3003"}} << 3003;
        QTest::newRow("refused, numeric tag of seven digits") << QJsonObject{{"TagCode", 2000001}} << 2000001;
        QTest::newRow("request failed") << QJsonObject{} << -1;
    }
    void enterClassTaskRequest()
    {
        QFETCH(QJsonObject, reply);
        QFETCH(int, result);

        const QString path = "/backup/quillo/entrance";
        QJsonObject route{{"path", path}};
        if (reply.isEmpty())
            route["status"] = 500;
        else
            route["json"] = reply;
        QVERIFY(m_sim.program(route) > 0);

        const QString base = m_sim.url("/backup");
        QCOMPARE(ZmNetAPI::instance()->enterClassRoomAt(base, "0123456789abcdef0123456789abcdef", "1700000000"),
                 result);
        QCOMPARE(AppGlobalData::instance()->enteredClass.load(), result == 0);
        QCOMPARE(reports().size(), 0);

        const QJsonArray entries = m_sim.requests(path);
        QCOMPARE(entries.size(), 1);
        const QJsonObject entry = entries.first().toObject();
        ApiParamList expected = enterPairs();
        expected += ApiParamList{{"v", version()},
                                 {"p", "6"},
                                 {"systemVersion", getOsName()},
                                 {"client-request-hex", "0123456789abcdef0123456789abcdef"},
                                 {"client-time-stamp", "1700000000"},
                                 {"c", "1"}};
        const QString sign = makeRequestSign(expected, requestSignAlphabet());
        QVERIFY(entry.value("sign_ok").toBool());
        QCOMPARE(entry.value("sign_sent").toString(), sign);

        // The same pairs as header lines, in the list's order, after the content type.
        expected.append({"s", sign});
        const Pairs headers = Simulator::pairsOf(entry.value("headers"));
        int at = -1;
        for (int i = 0; i < headers.size(); ++i) {
            if (headers.at(i).first == "Content-Type")
                at = i;
        }
        QVERIFY(at >= 0);
        QCOMPARE(headers.at(at).second, QString("application/json"));
        ApiParamList sentHeaders;
        for (int i = at + 1; i < headers.size(); ++i)
            sentHeaders.append(headers.at(i));
        QCOMPARE(sentHeaders, expected);
    }

    void enterClassTaskEndsItsTask_data()
    {
        QTest::addColumn<QJsonObject>("route");
        QTest::addColumn<int>("state");

        QTest::newRow("accepted") << QJsonObject{{"json", QJsonObject{{"TagCode", "0"}}}} << int(TaskState_Succeeded);
        QTest::newRow("refused") << QJsonObject{{"json", QJsonObject{{"TagCode", "3003"}}}} << int(TaskState_Failed);
        QTest::newRow("not JSON passes") << QJsonObject{{"body", "busy"}} << int(TaskState_Succeeded);
        QTest::newRow("request failed") << QJsonObject{{"status", 502}} << int(TaskState_Failed);
        QTest::newRow("server never answers") << QJsonObject{{"action", "stall"}} << int(TaskState_Failed);
    }
    void enterClassTaskEndsItsTask()
    {
        QFETCH(QJsonObject, route);
        QFETCH(int, state);

        const auto restore = shortApiLimit();
        route["path"] = "/alt/quillo/entrance";
        QVERIFY(m_sim.program(route) > 0);
        const QString base = m_sim.url("/alt");
        QTaskItem* task = createAsyncTask([base](QTaskItem* self) {
            ZmNetAPI::instance()->EnterClassRoom(self, base, "00112233445566778899aabbccddeeff", "1700000001");
        });
        QCOMPARE(task->launch(), 0);
        QTRY_VERIFY(task->state() & 0xFF0);
        QCOMPARE(int(task->state()), state);
        QCOMPARE(AppGlobalData::instance()->enteredClass.load(), state == TaskState_Succeeded);
        QCOMPARE(m_sim.requests("/alt/").size(), 1);
        QCOMPARE(reports().size(), 0);
        releaseTask(task);
    }

    void deviceUidFromInterfaces_data()
    {
        QTest::addColumn<QVector<NetworkInterfaceFacts>>("interfaces");
        QTest::addColumn<QString>("uid");

        const NetworkInterfaceFacts loopBack{true, true, true, "00:00:00:00:00:00"};
        const NetworkInterfaceFacts down{false, false, false, "AA:AA:AA:AA:AA:AA"};
        const NetworkInterfaceFacts upNotRunning{true, false, false, "BB:BB:BB:BB:BB:BB"};
        const NetworkInterfaceFacts noAddress{true, true, false, ""};
        const NetworkInterfaceFacts ethernet{true, true, false, "00:1A:2B:3C:4D:5E"};
        const NetworkInterfaceFacts wireless{true, true, false, "F0:F1:F2:F3:F4:F5"};

        QTest::newRow("first qualifying")
            << QVector<NetworkInterfaceFacts>{loopBack, down, upNotRunning, noAddress, ethernet, wireless}
            << "00-1A-2B-3C-4D-5E";
        QTest::newRow("list order wins") << QVector<NetworkInterfaceFacts>{wireless, ethernet} << "F0-F1-F2-F3-F4-F5";
        QTest::newRow("only loop-back") << QVector<NetworkInterfaceFacts>{loopBack} << "";
        QTest::newRow("none") << QVector<NetworkInterfaceFacts>{} << "";
    }
    void deviceUidFromInterfaces()
    {
        QFETCH(QVector<NetworkInterfaceFacts>, interfaces);
        QFETCH(QString, uid);
        QCOMPARE(deviceUidFrom(interfaces), uid);
    }

    void deviceUidIsTheSameOnEveryThread()
    {
        const QString expected = deviceUidFrom(systemNetworkInterfaces());
        QStringList seen;
        QMutex mutex;
        QList<QThread*> threads;
        for (int i = 0; i < 8; ++i) {
            threads << QThread::create([&] {
                const QString uid = getDeviceUid();
                QMutexLocker locker(&mutex);
                seen << uid;
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(ZmTest::kWaitMs));
            delete thread;
        }
        QCOMPARE(seen.size(), 8);
        for (const QString& uid : seen)
            QCOMPARE(uid, expected);
        QCOMPARE(getDeviceUid(), expected);
    }
};

ZM_TEST_MAIN_CORE(TestZmNetAPI)
#include "tst_zmnetapi.moc"
