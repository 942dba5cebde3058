#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "net/api/ApiCommonParams.h"
#include "net/api/RequestSign.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QScopeGuard>

using ZmTest::Simulator;
using Pairs = QList<QPair<QString, QString>>;

Q_DECLARE_METATYPE(Pairs)

namespace {

constexpr char kReportPath[] = "/classroom/monitor/period/device/report/callback";

Pairs formOf(const QJsonObject& entry)
{
    return Simulator::pairsOf(entry.value("form"));
}

} // namespace

class TestProblemReport : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;

    QJsonArray reports() { return m_sim.requests(kReportPath); }

    int programReply(const QJsonObject& route)
    {
        QJsonObject full = route;
        full["path"] = kReportPath;
        return m_sim.program(full);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        ConfigManager::instance();
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.userId = "100234";
        data->launch.token = "report-token";
        data->launch.accountType = 1;
        data->launch.paramA = 0;
        data->lesson.periodId = "7788";
        m_sim.pointUrlConfig();
    }

    void gating_data()
    {
        QTest::addColumn<QString>("periodId");
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("problemType");
        QTest::addColumn<bool>("sent");

        for (int type : {1, 2, 3, 5, 6, 7, 8}) {
            QTest::addRow("no lesson, type %d", type) << "" << 1 << type << false;
            QTest::addRow("pupil, type %d", type) << "7788" << 1 << type << true;
            QTest::addRow("auditor, type %d", type) << "7788" << 3 << type << (type == 5);
        }
        QTest::newRow("teacher, type 2") << "7788" << 2 << 2 << true;
    }
    void gating()
    {
        QFETCH(QString, periodId);
        QFETCH(int, accountType);
        QFETCH(int, problemType);
        QFETCH(bool, sent);

        AppGlobalData::instance()->lesson.periodId = periodId;
        AppGlobalData::instance()->launch.accountType = accountType;
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(problemType, -1, "r", "d"), 0);
        QCOMPARE(reports().size(), sent ? 1 : 0);
        QCOMPARE(m_sim.requests().size(), sent ? 1 : 0);
    }

    void formFields_data()
    {
        QTest::addColumn<int>("problemType");
        QTest::addColumn<int>("errorCode");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("description");
        QTest::addColumn<Pairs>("tail"); // the last four fields

        QTest::newRow("processor") << 8 << -9007 << "CPU>90%"
                                   << "Cpu Error"
                                   << Pairs{{"problemType", "8"},
                                            {"errorCode", "-9007"},
                                            {"remark", "CPU>90%"},
                                            {"errorDescription", "Cpu Error"}};
        QTest::newRow("refused numbered call") << 1 << 10000 << "FuncTag=10000300"
                                               << "Call HttpApi Error!"
                                               << Pairs{{"problemType", "1"},
                                                        {"errorCode", "10000"},
                                                        {"remark", "FuncTag=10000300"},
                                                        {"errorDescription", "Call HttpApi Error!"}};
        QTest::newRow("empty texts are sent as -1")
            << 2 << -1 << ""
            << "" << Pairs{{"problemType", "2"}, {"errorCode", "-1"}, {"remark", "-1"}, {"errorDescription", "-1"}};
        QTest::newRow("separators in texts") << 3 << -1 << "a&b=c" << QString::fromUtf8("\u767d\u677f %")
                                             << Pairs{{"problemType", "3"},
                                                      {"errorCode", "-1"},
                                                      {"remark", "a&b=c"},
                                                      {"errorDescription", QString::fromUtf8("\u767d\u677f %")}};
    }
    void formFields()
    {
        QFETCH(int, problemType);
        QFETCH(int, errorCode);
        QFETCH(QString, remark);
        QFETCH(QString, description);
        QFETCH(Pairs, tail);

        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(problemType, errorCode, remark, description), 0);
        const QJsonArray filed = reports();
        QCOMPARE(filed.size(), 1);
        const QJsonObject entry = filed.first().toObject();
        QCOMPARE(entry.value("method").toString(), QString("POST"));
        QCOMPARE(Simulator::headerOf(entry, "Content-Type"), QString("application/x-www-form-urlencoded"));
        const Pairs expected =
            Pairs{{"accountType", "1"},
                  {"periodId", "7788"},
                  {"systemVersion", getOsName()},
                  {"webLocalVersion",
                   ConfigManager::getOfflineResVersion(ConfigManager::instance()->getOfflineResourceDir())}} +
            tail;
        QCOMPARE(formOf(entry), expected);
    }

    void headerLinesAreTheSignedCommonPairs()
    {
        AppGlobalData::instance()->launch.paramA = 0;
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(5, -1, "JOINCHANNEL Failed", "Agora Error"), 0);
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        const QJsonObject entry = reports().first().toObject();
        const Pairs params = Simulator::pairsOf(entry.value("params"));
        QStringList keys;
        for (const auto& pair : params)
            keys << pair.first;
        QCOMPARE(keys, (QStringList{"c", "v", "p", "a", "t", "userId", "token", "s"}));
        QCOMPARE(params.at(0).second, QString("1"));
        QCOMPARE(params.at(1).second, ZmNetAPI::instance()->version());
        QCOMPARE(params.at(2).second, QString("6"));
        QCOMPARE(params.at(3).second, QString("0"));
        const qint64 t = params.at(4).second.toLongLong();
        QVERIFY(t >= before && t <= after);
        QCOMPARE(params.at(5).second, QString("100234"));
        QCOMPARE(params.at(6).second, QString("report-token"));
        QVERIFY2(entry.value("sign_ok").toBool(), qPrintable(entry.value("sign_expected").toString()));
        QVERIFY(entry.value("sign_missing").toArray().isEmpty());

        // On the wire: our content type, then exactly these pairs (libcurl adds its own Content-Length).
        const Pairs headers = Simulator::pairsOf(entry.value("headers"));
        Pairs ours;
        bool afterContentType = false;
        for (const auto& header : headers) {
            if (header.first == "Content-Type")
                afterContentType = true;
            else if (afterContentType && header.first != "Content-Length")
                ours << header;
        }
        QCOMPARE(ours, params);
    }

    void addressKeepsSchemeHostAndPortOnly_data()
    {
        QTest::addColumn<QString>("restfulTail"); // appended to the simulator's base

        QTest::newRow("bare") << "";
        QTest::newRow("with a path") << "/api/v2/";
        QTest::newRow("with a query and fragment") << "/x?y=1#z";
    }
    void addressKeepsSchemeHostAndPortOnly()
    {
        QFETCH(QString, restfulTail);
        UrlConfig::instance()->restful = m_sim.baseUrl() + restfulTail;
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(6, -9004, "rxAudioKBitRate == 0", "Audio Error"), 0);
        const QJsonArray all = m_sim.requests();
        QCOMPARE(all.size(), 1);
        QCOMPARE(all.first().toObject().value("raw_path").toString(), QString(kReportPath));
    }

    void restfulBase_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("base");

        QTest::newRow("port kept") << "http://api.example:8080/a/b?c=d"
                                   << "http://api.example:8080";
        QTest::newRow("no port") << "https://api.example/x"
                                 << "https://api.example";
        QTest::newRow("user information dropped") << "http://u:p@api.example:81"
                                                  << "http://api.example:81";
        QTest::newRow("IPv6 host") << "http://[::1]:9000/x"
                                   << "http://[::1]:9000";
        QTest::newRow("no scheme or host") << ""
                                           << "://";
    }
    void restfulBase()
    {
        QFETCH(QString, configured);
        QFETCH(QString, base);
        QCOMPARE(ApiCommonParams::restfulBase(configured), base);
    }

    void refusalsAndFailures_data()
    {
        QTest::addColumn<QJsonObject>("route");

        QTest::newRow("success false") << QJsonObject{{"json", QJsonObject{{"success", false}, {"code", "9"}}}};
        QTest::newRow("success as text") << QJsonObject{{"json", QJsonObject{{"success", "true"}}}};
        QTest::newRow("success missing") << QJsonObject{{"json", QJsonObject{{"code", "0"}}}};
        QTest::newRow("not JSON") << QJsonObject{{"body", "<html>"}};
        QTest::newRow("empty body") << QJsonObject{{"body", ""}};
        QTest::newRow("204") << QJsonObject{{"status", 204}};
        QTest::newRow("302 then 404") << QJsonObject{{"status", 302},
                                                     {"headers", QJsonObject{{"Location", "/elsewhere"}}}};
        QTest::newRow("500 with success true")
            << QJsonObject{{"status", 500}, {"json", QJsonObject{{"success", true}}}};
        QTest::newRow("closes without a reply") << QJsonObject{{"action", "close"}};
    }
    void refusalsAndFailures()
    {
        QFETCH(QJsonObject, route);
        QVERIFY(programReply(route) > 0);
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(7, -9006, "rxVideoKBitRate == 0", "Video Error"), -1);
        // A failed report is filed once: never retried, never reported again.
        QCOMPARE(reports().size(), 1);
        QCOMPARE(m_sim.requests().size() - m_sim.requests("/elsewhere").size(), 1);
    }

    void stalledServerReturnsWithinTheLimit()
    {
        // The limit is waited out at a short value.
        constexpr int kLimitSeconds = 2;
        ZmNetAPI::setTimeoutSecondsForTesting(kLimitSeconds);
        const auto restore = qScopeGuard([] { ZmNetAPI::setTimeoutSecondsForTesting(0); });
        QVERIFY(programReply({{"action", "stall"}}) > 0);
        // The reply never comes: the call returns only because the limit ends it.
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(2, -1, "WebSocket_heartbeat_Timeout", "Websocket Error"),
                 -1);
    }

    void unreachableServerReturnsMinusOne()
    {
        UrlConfig::instance()->restful = "http://127.0.0.1:1";
        QCOMPARE(ZmNetAPI::instance()->reportDeviceProblem(2, -1, "websocket_aboutToClose", "Websocket Error"), -1);
        QCOMPARE(m_sim.requests().size(), 0);
    }
};

ZM_TEST_MAIN_CORE(TestProblemReport)
#include "tst_problemreport.moc"
