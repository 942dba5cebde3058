#include "RawHttp.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>

using ZmTest::RawHeaderList;
using ZmTest::RawHttpResult;
using ZmTest::Simulator;
using Pairs = QList<QPair<QString, QString>>;

Q_DECLARE_METATYPE(Pairs)

namespace {

constexpr char kEntrance[] = "/quillo/entrance";
constexpr char kReportPath[] = "/classroom/monitor/period/device/report/callback";

// {"k":"v",...} in the given order; the test values need no escaping.
QByteArray jsonObjectText(const Pairs& pairs)
{
    QStringList items;
    for (const auto& pair : pairs)
        items << QStringLiteral("\"%1\":\"%2\"").arg(pair.first, pair.second);
    return "{" + items.join(',').toUtf8() + "}";
}

QByteArray entranceTarget(const Pairs& pairs)
{
    return QByteArray(kEntrance) + "?parameter=" + QUrl::toPercentEncoding(QString::fromUtf8(jsonObjectText(pairs)));
}

// One request sent without waiting for its reply, read while the test goes on.
class HeldRequest
{
public:
    HeldRequest(Simulator& sim, const QByteArray& target)
    {
        m_socket.connectToHost("127.0.0.1", sim.port());
        m_socket.write(ZmTest::buildHttpRequest("GET", target, "127.0.0.1:" + QByteArray::number(sim.port())));
    }

    QByteArray received()
    {
        m_received += m_socket.readAll();
        return m_received;
    }

    // True once the simulator has closed the connection (every request asks it to).
    bool waitForEnd()
    {
        return ZmTest::waitUntil([this] {
            received();
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        });
    }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

public:
    TestSimulator()
        : m_sim(QStringList{QStringLiteral("--files"), m_filesDir.path()})
    {
    }

private:
    RawHttpResult send(const QByteArray& method, const QByteArray& target, const RawHeaderList& headers = {},
                       const QByteArray& body = {}, int timeoutMs = ZmTest::kWaitMs)
    {
        const QByteArray host = "127.0.0.1:" + QByteArray::number(m_sim.port());
        return ZmTest::rawHttpExchange(QStringLiteral("127.0.0.1"), m_sim.port(),
                                       ZmTest::buildHttpRequest(method, target, host, headers, body), timeoutMs);
    }

    QJsonObject lastRequest(const QString& prefix)
    {
        const QJsonArray found = m_sim.waitForRequests(1, prefix);
        return found.isEmpty() ? QJsonObject() : found.last().toObject();
    }

    QTemporaryDir m_filesDir;
    Simulator m_sim;

private slots:
    void initTestCase()
    {
        QVERIFY(m_filesDir.isValid());
        QVERIFY(QDir(m_filesDir.path()).mkpath("lesson"));
        QFile file(m_filesDir.path() + "/lesson/package.zip");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("PK\x03\x04 package bytes");
        file.close();
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
    }

    void init() { QVERIFY(m_sim.reset()); }

    void printsItsLoopbackAddressFirst()
    {
        QVERIFY(QRegularExpression("^http://127\\.0\\.0\\.1:[1-9][0-9]*$").match(m_sim.baseUrl()).hasMatch());
        QCOMPARE(m_sim.baseUrl(), QStringLiteral("http://127.0.0.1:%1").arg(m_sim.port()));
        const QJsonObject info = m_sim.control("GET", "/_control/info").object();
        QCOMPARE(info.value("base").toString(), m_sim.baseUrl());
        QCOMPARE(info.value("roles").toObject().value("numbered").toString(), QString(kEntrance));
    }

    void recordsRequestsAsReceived()
    {
        const QByteArray body("\x00\x01\xff\r\n{", 6);
        const QByteArray request = "POST /echo/x%20y?b=2&a=%41 HTTP/1.1\r\n"
                                   "Host: sim\r\n"
                                   "Z-Last: 1\r\n"
                                   "A-First: two  words\r\n"
                                   "x-lower:v\r\n"
                                   "X-Dup: 1\r\n"
                                   "X-Dup: 2\r\n"
                                   "Content-Length: 6\r\n"
                                   "Connection: close\r\n\r\n" +
                                   body;
        const RawHttpResult reply = ZmTest::rawHttpExchange("127.0.0.1", m_sim.port(), request, ZmTest::kWaitMs);
        QCOMPARE(reply.status, 404); // recorded even though nothing serves it

        const QJsonObject entry = lastRequest("/echo/");
        QCOMPARE(entry.value("method").toString(), QStringLiteral("POST"));
        QCOMPARE(entry.value("raw_path").toString(), QStringLiteral("/echo/x%20y?b=2&a=%41"));
        QCOMPARE(entry.value("path").toString(), QStringLiteral("/echo/x%20y"));
        QCOMPARE(entry.value("query").toString(), QStringLiteral("b=2&a=%41"));
        const Pairs expected{{"Host", "sim"}, {"Z-Last", "1"}, {"A-First", "two  words"}, {"x-lower", "v"},
                             {"X-Dup", "1"},  {"X-Dup", "2"},  {"Content-Length", "6"},   {"Connection", "close"}};
        QCOMPARE(Simulator::pairsOf(entry.value("headers")), expected);
        QCOMPARE(Simulator::bodyOf(entry), body);
        QCOMPARE(entry.value("body_size").toInt(), 6);
        QVERIFY(!entry.contains("body_text")); // not UTF-8
    }

    void filtersAndClearsTheLog()
    {
        for (const QByteArray target : {"/a/1", "/b/1", "/a/2"})
            QCOMPARE(send("GET", target).status, 404);
        const QJsonArray underA = m_sim.waitForRequests(2, "/a/");
        QCOMPARE(underA.size(), 2);
        QCOMPARE(underA.at(0).toObject().value("path").toString(), QStringLiteral("/a/1"));
        QCOMPARE(underA.at(1).toObject().value("path").toString(), QStringLiteral("/a/2"));
        const int lastSeq = underA.at(1).toObject().value("seq").toInt();
        QCOMPARE(m_sim.requests().size(), 3);

        QVERIFY(m_sim.clearRequests());
        QVERIFY(m_sim.requests().isEmpty());
        send("GET", "/a/3");
        const QJsonArray after = m_sim.waitForRequests(1);
        QCOMPARE(after.size(), 1);
        QVERIFY(after.at(0).toObject().value("seq").toInt() > lastSeq); // numbers are never reused
        // Control requests are not logged.
        QCOMPARE(m_sim.requests().size(), 1);
    }

    void programmedReplies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<Pairs>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QByteArray>("expectedBody");
        QTest::addColumn<QByteArray>("headerName");
        QTest::addColumn<QByteArray>("headerValue");

        QTest::newRow("server error") << 500 << Pairs{} << QByteArray("oops") << 1 << QByteArray("oops")
                                      << QByteArray("Content-Type") << QByteArray("application/json");
        QTest::newRow("own header and type")
            << 201 << Pairs{{"X-Sim", "yes"}, {"Content-Type", "text/plain"}} << QByteArray("made") << 1
            << QByteArray("made") << QByteArray("Content-Type") << QByteArray("text/plain");
        QTest::newRow("no content drops the body")
            << 204 << Pairs{} << QByteArray("ignored") << 1 << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("redirect") << 302 << Pairs{{"Location", "/elsewhere"}} << QByteArray() << 1 << QByteArray()
                                  << QByteArray("Location") << QByteArray("/elsewhere");
        QTest::newRow("repeated body") << 200 << Pairs{} << QByteArray("ab") << 3 << QByteArray("ababab")
                                       << QByteArray("Content-Length") << QByteArray("6");
    }

    void programmedReplies()
    {
        QFETCH(int, status);
        QFETCH(Pairs, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, repeat);
        QFETCH(QByteArray, expectedBody);
        QFETCH(QByteArray, headerName);
        QFETCH(QByteArray, headerValue);

        Simulator::Route route;
        route.path = "/programmed";
        route.status = status;
        route.headers = headers;
        route.body = body;
        route.repeat = repeat;
        const int id = m_sim.program(route);
        QVERIFY(id > 0);

        const RawHttpResult reply = send("GET", "/programmed");
        QVERIFY(reply.complete);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.body, expectedBody);
        if (!headerName.isEmpty())
            QCOMPARE(reply.header(headerName), headerValue);
        QCOMPARE(lastRequest("/programmed").value("programmed").toInt(), id);
    }

    void programmedRoutesMatchInOrderAndRunOut()
    {
        Simulator::Route first;
        first.path = "/seq";
        first.status = 503;
        first.times = 1;
        Simulator::Route second = first;
        second.status = 200;
        second.body = "second";
        second.times = 2;
        QVERIFY(m_sim.program(first) > 0);
        QVERIFY(m_sim.program(second) > 0);
        QCOMPARE(m_sim.control("GET", "/_control/routes").object().value("routes").toArray().size(), 2);

        QCOMPARE(send("GET", "/seq").status, 503);
        QCOMPARE(send("GET", "/seq").body, QByteArray("second"));
        QCOMPARE(send("GET", "/seq").status, 200);
        QCOMPARE(send("GET", "/seq").status, 404); // both spent: built-in behaviour again
        QVERIFY(m_sim.control("GET", "/_control/routes").object().value("routes").toArray().isEmpty());

        // Method and prefix matching.
        Simulator::Route upload;
        upload.method = "POST";
        upload.path = "/up/";
        upload.prefix = true;
        upload.status = 202;
        QVERIFY(m_sim.program(upload) > 0);
        QCOMPARE(send("GET", "/up/x").status, 404);
        QCOMPARE(send("POST", "/up/x/y", {}, "data").status, 202);
        QCOMPARE(send("POST", "/upx").status, 404);
    }

    void programmedDelay()
    {
        Simulator::Route route;
        route.path = "/slow";
        route.body = "late";
        route.delayMs = 300;
        QVERIFY(m_sim.program(route) > 0);
        QElapsedTimer timer;
        timer.start();
        const RawHttpResult reply = send("GET", "/slow");
        QVERIFY(timer.elapsed() >= 300);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body, QByteArray("late"));
    }

    void programmedCloseAndRawReplies()
    {
        Simulator::Route close;
        close.path = "/close";
        close.action = Simulator::Route::Action::Close;
        QVERIFY(m_sim.program(close) > 0);
        const RawHttpResult closed = send("GET", "/close");
        QVERIFY(closed.connected);
        QVERIFY(closed.closedByPeer);
        QVERIFY(closed.received.isEmpty());
        QVERIFY(!closed.complete);

        const QByteArray truncated("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"TagCode\":");
        Simulator::Route raw;
        raw.path = "/raw";
        raw.action = Simulator::Route::Action::Raw;
        raw.raw = truncated;
        QVERIFY(m_sim.program(raw) > 0);
        const RawHttpResult cut = send("GET", "/raw");
        QVERIFY(cut.closedByPeer);
        QCOMPARE(cut.received, truncated);
        QVERIFY(!cut.complete);

        QCOMPARE(m_sim.waitForRequests(2).size(), 2); // both requests are logged
    }

    void programmedStallNeverAnswers()
    {
        Simulator::Route stall;
        stall.path = "/stall";
        stall.action = Simulator::Route::Action::Stall;
        QVERIFY(m_sim.program(stall) > 0);
        const RawHttpResult reply = send("GET", "/stall", {}, {}, 700);
        QVERIFY(reply.connected);
        QVERIFY(reply.timedOut);
        QVERIFY(!reply.closedByPeer);
        QVERIFY(reply.received.isEmpty());
        QCOMPARE(lastRequest("/stall").value("path").toString(), QStringLiteral("/stall"));
        // The simulator keeps serving others meanwhile.
        QCOMPARE(send("GET", "/other").status, 404);
    }

    // A held reply waits until its hold is released; a released hold lets later replies through at once, and
    // clearing the holds lets go of one that waits and makes the name hold again.
    void heldRepliesWaitForTheirRelease()
    {
        Simulator::Route route;
        route.path = "/held";
        route.body = "let go";
        route.hold = "gate";
        QVERIFY(m_sim.program(route) > 0);
        QCOMPARE(m_sim.heldBy("gate"), 0);

        HeldRequest first(m_sim, "/held");
        QVERIFY(m_sim.waitForHeld("gate"));
        QVERIFY(first.received().isEmpty());
        QVERIFY(m_sim.releaseHold("gate"));
        QVERIFY(first.waitForEnd());
        QVERIFY(first.received().endsWith("let go"));
        QCOMPARE(send("GET", "/held").body, QByteArray("let go"));
        QCOMPARE(m_sim.heldBy("gate"), 0);

        QVERIFY(m_sim.clearHolds());
        HeldRequest second(m_sim, "/held");
        QVERIFY(m_sim.waitForHeld("gate"));
        QVERIFY(m_sim.clearHolds());
        QVERIFY(second.waitForEnd());
        QVERIFY(second.received().endsWith("let go"));
    }

    // A held download sends its first bytes and the rest only once the hold is released.
    void heldDownloadStopsPartWay()
    {
        HeldRequest download(m_sim, "/updates/get/lesson/package.zip?hold=body&hold_at=4");
        QVERIFY(m_sim.waitForHeld("body"));
        QVERIFY(ZmTest::waitUntil([&download] { return download.received().endsWith("\r\n\r\nPK\x03\x04"); }));
        QVERIFY(download.received().contains("Content-Length: 18"));
        QVERIFY(m_sim.releaseHold("body"));
        QVERIFY(download.waitForEnd());
        QVERIFY(download.received().endsWith("\r\n\r\nPK\x03\x04 package bytes"));
    }

    void rejectsBadRoutes_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("not JSON") << QByteArray("{path:");
        QTest::newRow("path without slash") << QByteArray(R"({"path":"x"})");
        QTest::newRow("unknown action") << QByteArray(R"({"path":"/x","action":"explode"})");
        QTest::newRow("zero times") << QByteArray(R"({"path":"/x","times":0})");
        QTest::newRow("bad base64") << QByteArray(R"({"path":"/x","body_base64":"**"})");
        QTest::newRow("hold with a slash") << QByteArray(R"({"path":"/x","hold":"a/b"})");
        QTest::newRow("one bad in a list") << QByteArray(R"([{"path":"/x"},{"path":"y"}])");
    }

    void rejectsBadRoutes()
    {
        QFETCH(QByteArray, body);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("answered 400"));
        int status = 0;
        const QJsonDocument reply = m_sim.control("POST", "/_control/routes", body, &status);
        QCOMPARE(status, 400);
        QVERIFY(!reply.object().value("error").toString().isEmpty());
        QVERIFY(m_sim.control("GET", "/_control/routes").object().value("routes").toArray().isEmpty());
    }

    void numberedCallSignature_data()
    {
        QTest::addColumn<Pairs>("params");
        QTest::addColumn<bool>("signOk");
        QTest::addColumn<QString>("expectedSign");

        // Values shorter than 16 bytes leave the accumulator zero: 16 x "q", then S = 8 * 'q' = 904:
        // 904 % 16 = 8 -> "k", 904 % 13 = 7 -> "#".
        const QString shortSign = QStringLiteral("qqqqqqqqqqqqqqqqk#");
        QTest::newRow("short values") << Pairs{{"FuncTag", "10000300"}, {"role", "s"}, {"s", shortSign}} << true
                                      << shortSign;
        QTest::newRow("short values, tampered check symbol")
            << Pairs{{"FuncTag", "10000300"}, {"role", "s"}, {"s", "qqqqqqqqqqqqqqqqk%"}} << false << shortSign;
        // "10000300" ^ "abcdefgh" = 50 52 53 54 55 55 57 58 -> vq vw v! vm v2 v2 v# $k; S = 7 * 118 + 36 = 862:
        // 862 % 16 = 14 -> "z", 862 % 13 = 4 -> "m".
        const QString twoBlocks = QStringLiteral("vqvwv!vmv2v2v#$kzm");
        QTest::newRow("two blocks") << Pairs{{"s", twoBlocks}, {"role", "abcdefgh"}, {"FuncTag", "10000300"}} << true
                                    << twoBlocks;
        QTest::newRow("two blocks, value changed after signing")
            << Pairs{{"FuncTag", "10000300"}, {"role", "abcdefgi"}, {"s", twoBlocks}} << false
            << QStringLiteral("vqvwv!vmv2v2v#$9zm"); // 0x30 ^ 0x69 = 0x59 -> "$9"; S unchanged
        // "_a" sorts before "Zb" (lower-cased): "01234567" ^ "89ABCDEF" = 08 08 73 71 77 71 73 71;
        // S = 2 * '7' + 6 * 'z' = 842 -> "v", "v".
        const QString sorted = QStringLiteral("7k7kz!z7z#z7z!z7vv");
        QTest::newRow("keys sort without case")
            << Pairs{{"Zb", "ABCDEF"}, {"_a", "0123456789"}, {"s", sorted}} << true << sorted;
        QTest::newRow("no signature") << Pairs{{"FuncTag", "10000300"}, {"role", "s"}} << false << shortSign;
    }

    void numberedCallSignature()
    {
        QFETCH(Pairs, params);
        QFETCH(bool, signOk);
        QFETCH(QString, expectedSign);

        const RawHttpResult reply = send("GET", entranceTarget(params));
        QCOMPARE(reply.status, 200);
        const QJsonObject entry = lastRequest(kEntrance);
        QCOMPARE(entry.value("role").toString(), QStringLiteral("numbered"));
        QCOMPARE(Simulator::pairsOf(entry.value("params")), params);
        QCOMPARE(entry.value("param_text").toString(), QString::fromUtf8(jsonObjectText(params)));
        QCOMPARE(entry.value("sign_ok").toBool(), signOk);
        QVERIFY(entry.value("sign_ok").isBool());
        QCOMPARE(entry.value("sign_expected").toString(), expectedSign);
    }

    void numberedCallDefaultReplies_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expectedJson"); // the field's value as JSON text; <base> is the address

        QTest::newRow("device information") << "10000204"
                                            << "TagCode"
                                            << R"("0")";
        QTest::newRow("feedback issues") << "10000300"
                                         << "TagCode"
                                         << R"("0")";
        QTest::newRow("feedback submitted") << "10000301"
                                            << "TagCode"
                                            << R"("0")";
        QTest::newRow("upload confirmed") << "30110101"
                                          << "TagCode"
                                          << R"("0")";
        QTest::newRow("upload credentials") << "30110102"
                                            << "endpoint"
                                            << R"("<base>")";
        QTest::newRow("enter class") << "50000101"
                                     << "TagCode"
                                     << R"("0")";
        QTest::newRow("exit class") << "50000102"
                                    << "TagCode"
                                    << R"("0")";
        QTest::newRow("award stars") << "80000005"
                                     << "isSuccess"
                                     << "1";
        QTest::newRow("star points") << "80000006"
                                     << "pointInfoList"
                                     << "[]";
        QTest::newRow("unknown tag") << "12345678"
                                     << "TagCode"
                                     << R"("4040")";
    }

    void numberedCallDefaultReplies()
    {
        QFETCH(QString, tag);
        QFETCH(QString, field);
        QFETCH(QString, expectedJson);

        const RawHttpResult reply = send("GET", entranceTarget({{"FuncTag", tag}, {"role", "s"}}));
        QCOMPARE(reply.status, 200);
        QVERIFY(reply.header("Content-Type").startsWith("application/json"));
        const QJsonObject object = QJsonDocument::fromJson(reply.body).object();
        QVERIFY2(object.contains("TagCode"), reply.body.constData());
        const QString wrapped = "[" + QString(expectedJson).replace("<base>", m_sim.baseUrl()) + "]";
        QCOMPARE(object.value(field), QJsonDocument::fromJson(wrapped.toUtf8()).array().at(0));
        QCOMPARE(lastRequest(kEntrance).value("func_tag").toString(), tag);
    }

    void numberedCallRepliesProgrammedPerTag()
    {
        Simulator::Route refusal;
        refusal.path = kEntrance;
        refusal.params = {{"FuncTag", "10000300"}};
        refusal.body = R"({"TagCode":"1001"})";
        QVERIFY(m_sim.program(refusal) > 0);

        const RawHttpResult refused = send("GET", entranceTarget({{"FuncTag", "10000300"}, {"role", "t"}}));
        QCOMPARE(QJsonDocument::fromJson(refused.body).object().value("TagCode").toString(), QStringLiteral("1001"));
        const RawHttpResult other = send("GET", entranceTarget({{"FuncTag", "10000301"}}));
        QCOMPARE(QJsonDocument::fromJson(other.body).object().value("TagCode").toString(), QStringLiteral("0"));

        // A programmed reply still gets the decoded parameters and signature check in the log.
        const QJsonObject entry = m_sim.waitForRequests(2, kEntrance).at(0).toObject();
        QVERIFY(entry.value("programmed").toInt() > 0);
        QCOMPARE(entry.value("func_tag").toString(), QStringLiteral("10000300"));
        QVERIFY(entry.contains("sign_ok"));
    }

    void numberedCallMalformedParameter_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("no parameter") << QByteArray(kEntrance);
        QTest::newRow("not JSON") << QByteArray(kEntrance) + "?parameter=%7B%22FuncTag%22";
        QTest::newRow("not an object") << QByteArray(kEntrance) + "?parameter=%5B1%5D";
        QTest::newRow("not UTF-8") << QByteArray(kEntrance) + "?parameter=%FF";
    }

    void numberedCallMalformedParameter()
    {
        QFETCH(QByteArray, target);
        QCOMPARE(send("GET", target).status, 400);
        const QJsonObject entry = lastRequest(kEntrance);
        QVERIFY(!entry.value("param_error").toString().isEmpty());
        QCOMPARE(entry.value("sign_ok"), QJsonValue(false));
    }

    void problemReportRecordsFormAndSignature()
    {
        // Sorted keys a c p t token userId v give "0161700000000tk421.5.7": "01617000" ^ "00000tk4"
        // = 00 01 06 01 07 44 5b 04 -> qq q7 qx q7 q# km $$ qm; S = 6 * 'q' + 'k' + '$' = 821 -> "2" (5), "w" (2).
        const RawHeaderList headers{{"Content-Type", "application/x-www-form-urlencoded"},
                                    {"c", "1"},
                                    {"v", "1.5.7"},
                                    {"p", "6"},
                                    {"a", "0"},
                                    {"t", "1700000000"},
                                    {"userId", "42"},
                                    {"token", "tk"},
                                    {"s", "qqq7qxq7q#km$$qm2w"}};
        const QByteArray form = "accountType=1&periodId=7&systemVersion=Debian_12&webLocalVersion=&problemType=8"
                                "&errorCode=-9007&remark=CPU%3E90%25&errorDescription=Cpu+Error";
        const RawHttpResult reply = send("POST", kReportPath, headers, form);
        QCOMPARE(reply.status, 200);
        QCOMPARE(QJsonDocument::fromJson(reply.body).object().value("success"), QJsonValue(true));

        const QJsonObject entry = lastRequest(kReportPath);
        QCOMPARE(entry.value("role").toString(), QStringLiteral("report"));
        QCOMPARE(entry.value("sign_ok"), QJsonValue(true));
        QVERIFY(entry.value("sign_missing").toArray().isEmpty());
        const Pairs expectedForm{{"accountType", "1"},           {"periodId", "7"},
                                 {"systemVersion", "Debian_12"}, {"webLocalVersion", ""},
                                 {"problemType", "8"},           {"errorCode", "-9007"},
                                 {"remark", "CPU>90%"},          {"errorDescription", "Cpu Error"}};
        QCOMPARE(Simulator::pairsOf(entry.value("form")), expectedForm);

        // The same report with a changed token no longer matches its signature.
        RawHeaderList tampered = headers;
        tampered[7].second = "tl";
        QCOMPARE(send("POST", kReportPath, tampered, form).status, 200);
        QCOMPARE(m_sim.waitForRequests(2, kReportPath).at(1).toObject().value("sign_ok"), QJsonValue(false));
    }

    void fileHost()
    {
        const RawHttpResult fromFolder = send("GET", "/files/lesson/package.zip");
        QCOMPARE(fromFolder.status, 200);
        QCOMPARE(fromFolder.body, QByteArray("PK\x03\x04 package bytes"));

        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            bytes.append(char(i));
        const QString url = m_sim.putFile("updates/setup v2.bin", bytes);
        QCOMPARE(url, m_sim.baseUrl() + "/files/updates/setup v2.bin");
        const RawHttpResult uploaded = send("GET", "/files/updates/setup%20v2.bin");
        QCOMPARE(uploaded.status, 200);
        QCOMPARE(uploaded.body, bytes);

        const RawHttpResult part = send("GET", "/files/updates/setup%20v2.bin", {{"Range", "bytes=2-5"}});
        QCOMPARE(part.status, 206);
        QCOMPARE(part.body, bytes.mid(2, 4));

        // An upload of the same name wins over the folder's file.
        QVERIFY(!m_sim.putFile("lesson/package.zip", "newer").isEmpty());
        QCOMPARE(send("GET", "/files/lesson/package.zip").body, QByteArray("newer"));
        QVERIFY(m_sim.reset());
        QCOMPARE(send("GET", "/files/lesson/package.zip").body, QByteArray("PK\x03\x04 package bytes"));

        QCOMPARE(send("GET", "/files/lesson/missing.zip").status, 404);
        QCOMPARE(
            send("GET", "/files/%2e%2e/" + QFileInfo(m_filesDir.path()).fileName().toUtf8() + "/lesson/package.zip")
                .status,
            404);
        QCOMPARE(send("GET", "/files/lesson/../lesson/package.zip").status, 404);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("answered 400"));
        QVERIFY(m_sim.putFile("../escape.bin", "x").isEmpty());
        QCOMPARE(lastRequest("/files/").value("role").toString(), QStringLiteral("files"));
    }

    void helperReportsWhyItCouldNotStart()
    {
        Simulator busy(QStringList{QStringLiteral("--port"), QString::number(m_sim.port())});
        QVERIFY(!busy.start());
        QVERIFY2(busy.errorString().contains("ended"), qPrintable(busy.errorString()));
        QVERIFY2(busy.errorString().contains("cannot listen on"), qPrintable(busy.errorString())); // its own words
        QVERIFY(!busy.isRunning());
    }

    void endsCleanlyWhenToldTo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("input closes") << "input";
        QTest::newRow("terminate") << "term";
        QTest::newRow("interrupt") << "int";
        QTest::newRow("control request") << "control";
    }

    void endsCleanlyWhenToldTo()
    {
        QFETCH(QString, how);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(Simulator::programPath(), {Simulator::scriptPath()});
        QVERIFY2(process.waitForStarted(ZmTest::kStartWaitMs), qPrintable(process.errorString()));
        QTRY_VERIFY(process.canReadLine());
        const QUrl base(QString::fromUtf8(process.readLine()).trimmed());
        QVERIFY(base.port() > 0);

        // A stalled request is in flight while the simulator is told to end.
        const QByteArray host = "127.0.0.1:" + QByteArray::number(base.port());
        ZmTest::rawHttpExchange(
            "127.0.0.1", quint16(base.port()),
            ZmTest::buildHttpRequest("POST", "/_control/routes", host, {}, R"({"path":"/stall","action":"stall"})"),
            ZmTest::kWaitMs);
        QTcpSocket stalled;
        stalled.connectToHost("127.0.0.1", quint16(base.port()));
        QVERIFY(stalled.waitForConnected(ZmTest::kWaitMs));
        stalled.write(ZmTest::buildHttpRequest("GET", "/stall", host));
        QVERIFY(stalled.waitForBytesWritten(ZmTest::kWaitMs));

        if (how == "input")
            process.closeWriteChannel();
        else if (how == "term")
            process.terminate();
        else if (how == "int")
            ::kill(pid_t(process.processId()), SIGINT);
        else
            ZmTest::rawHttpExchange("127.0.0.1", quint16(base.port()),
                                    ZmTest::buildHttpRequest("POST", "/_control/shutdown", host), ZmTest::kWaitMs);
        QVERIFY(process.waitForFinished(ZmTest::kWaitMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
};

ZM_TEST_MAIN_CORE(TestSimulator)
#include "tst_simulator.moc"
