#include "net/http/HttpCurl.h"

#include "app/ConfigManager.h"
#include "app/RunLog.h"

#include "ClosedPort.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <atomic>
#include <vector>

using ZmTest::Simulator;
using Route = ZmTest::Simulator::Route;

using Pairs = QList<QPair<QString, QString>>;

Q_DECLARE_METATYPE(ApiParamList)
Q_DECLARE_METATYPE(Pairs)

namespace {

// The limit of a transfer that is meant to succeed: it only bounds the wait.
constexpr int kTransferSeconds = ZmTest::kWaitMs / 1000;

QByteArray headerValueOf(const QJsonObject& entry, const QString& name, bool* found = nullptr)
{
    const auto headers = Simulator::pairsOf(entry.value("headers"));
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0) {
            if (found)
                *found = true;
            return pair.second.toLatin1();
        }
    }
    if (found)
        *found = false;
    return {};
}

QStringList headerNames(const QJsonObject& entry)
{
    QStringList names;
    for (const auto& pair : Simulator::pairsOf(entry.value("headers")))
        names << pair.first;
    return names;
}

} // namespace

class TestHttpCurl : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    Simulator m_otherPort; // another origin: the same host on another port

    QJsonObject lastRequest(const QString& path)
    {
        const QJsonArray found = m_sim.waitForRequests(1, path);
        return found.isEmpty() ? QJsonObject() : found.last().toObject();
    }

    int getInto(const QString& path, QByteArray& body, const ApiParamList* headers = nullptr,
                int seconds = kTransferSeconds)
    {
        return HttpCurl::get(m_sim.url(path).toUtf8(), headers, &HttpCurl::writeToByteArray, &body, seconds);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        QVERIFY2(m_otherPort.start(), qPrintable(m_otherPort.errorString()));
        QVERIFY(!ConfigManager::instance()->getDailyLogFile().isEmpty());
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        QVERIFY(m_otherPort.reset());
    }

    void resultFollowsStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("redirectedStatus"); // 0: no redirect
        QTest::addColumn<int>("expected");

        QTest::newRow("200") << 200 << 0 << 0;
        QTest::newRow("201") << 201 << 0 << 0;
        QTest::newRow("204") << 204 << 0 << 1;
        QTest::newRow("404") << 404 << 0 << 1;
        QTest::newRow("500") << 500 << 0 << 1;
        QTest::newRow("302 then 404") << 302 << 404 << 1;
        QTest::newRow("302 then 200") << 302 << 200 << 0;
    }
    void resultFollowsStatus()
    {
        QFETCH(int, status);
        QFETCH(int, redirectedStatus);
        QFETCH(int, expected);

        Route first;
        first.path = "/t/status";
        first.status = status;
        first.body = "first";
        if (redirectedStatus) {
            first.headers = {{"Location", m_sim.url("/t/target")}};
            Route target;
            target.path = "/t/target";
            target.status = redirectedStatus;
            target.body = "target";
            QVERIFY(m_sim.program(target) > 0);
        }
        QVERIFY(m_sim.program(first) > 0);

        QByteArray body;
        QCOMPARE(getInto("/t/status", body), expected);
        if (expected == 0)
            QCOMPARE(body, QByteArray(redirectedStatus ? "target" : "first"));
        if (redirectedStatus)
            QCOMPARE(m_sim.requests("/t/").size(), 2);
    }

    void sameOrigin_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("same");

        QTest::newRow("same host and port") << "http://a.example:8080/x?q=1"
                                            << "http://a.example:8080/y" << true;
        QTest::newRow("default port written out") << "https://a.example/x"
                                                  << "https://a.example:443/y" << true;
        QTest::newRow("host in capitals") << "http://A.Example/x"
                                          << "http://a.example/y" << true;
        QTest::newRow("other host") << "http://a.example/x"
                                    << "http://b.example/x" << false;
        QTest::newRow("sub-domain") << "http://a.example/x"
                                    << "http://evil.a.example/x" << false;
        QTest::newRow("address and name of one machine") << "http://127.0.0.1:81/"
                                                         << "http://localhost:81/" << false;
        QTest::newRow("other port") << "http://a.example:8080/"
                                    << "http://a.example:8081/" << false;
        QTest::newRow("https to http") << "https://a.example/x"
                                       << "http://a.example/x" << false;
        QTest::newRow("http to https") << "http://a.example/x"
                                       << "https://a.example/x" << false;
        QTest::newRow("other scheme") << "http://a.example/x"
                                      << "ftp://a.example/x" << false;
        QTest::newRow("user information") << "http://a.example/x"
                                          << "http://user@b.example/x" << false;
        QTest::newRow("no host") << "http://a.example/x"
                                 << "/relative" << false;
    }
    void sameOrigin()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, same);
        QCOMPARE(HttpCurl::isSameOrigin(QUrl(from), QUrl(to)), same);
    }

    // Redirects are followed by the program itself: within the origin with the header lines, never beyond it.
    void redirects_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("location"); // {same} {other-host} {other-port}: bases; else as given
        QTest::addColumn<bool>("followed");
        QTest::addColumn<QString>("methodThere");

        QTest::newRow("same origin") << "GET" << 302 << "{same}/t/target" << true << "GET";
        QTest::newRow("same origin, relative") << "GET" << 301 << "target" << true << "GET";
        QTest::newRow("same origin, 308") << "GET" << 308 << "/t/target" << true << "GET";
        QTest::newRow("other host") << "GET" << 302 << "{other-host}/t/target" << false << "";
        QTest::newRow("other port") << "GET" << 302 << "{other-port}/t/target" << false << "";
        QTest::newRow("other scheme") << "GET" << 302 << "{same-https}/t/target" << false << "";
        QTest::newRow("POST, 303 asks for a GET") << "POST" << 303 << "/t/target" << true << "GET";
        QTest::newRow("POST, 302 asks for a GET") << "POST" << 302 << "/t/target" << true << "GET";
        QTest::newRow("POST, 307 posts again") << "POST" << 307 << "/t/target" << true << "POST";
        QTest::newRow("POST to another host") << "POST" << 307 << "{other-host}/t/target" << false << "";
    }
    void redirects()
    {
        QFETCH(QString, method);
        QFETCH(int, status);
        QFETCH(QString, location);
        QFETCH(bool, followed);
        QFETCH(QString, methodThere);

        const QString otherHost = m_sim.baseUrl().replace("127.0.0.1", "localhost");
        QString https = m_sim.baseUrl();
        https.replace("http:", "https:");
        location.replace("{same-https}", https)
            .replace("{same}", m_sim.baseUrl())
            .replace("{other-host}", otherHost)
            .replace("{other-port}", m_otherPort.baseUrl());
        Route first;
        first.path = "/t/redirect";
        first.status = status;
        first.body = "the redirect's own body";
        first.headers = {{"Location", location}};
        QVERIFY(m_sim.program(first) > 0);
        Route target;
        target.path = "/t/target";
        target.body = "target";
        QVERIFY(m_sim.program(target) > 0);
        QVERIFY(m_otherPort.program(target) > 0);

        if (!followed)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("redirect to another origin"));
        const ApiParamList headers{{"userId", "42"}, {"token", "signed-token"}, {"s", "signature"}};
        const ApiParamList form{{"a", "1"}};
        const QByteArray address = m_sim.url("/t/redirect").toUtf8();
        QByteArray body;
        const int result =
            method == "POST"
                ? HttpCurl::postForm(address, &headers, &form, &HttpCurl::writeToByteArray, &body, kTransferSeconds)
                : HttpCurl::get(address, &headers, &HttpCurl::writeToByteArray, &body, kTransferSeconds);

        QCOMPARE(m_otherPort.requests().size(), 0);
        if (!followed) {
            QCOMPARE(result, 1);
            QCOMPARE(m_sim.requests().size(), 1);
            QVERIFY(!body.contains("target"));
            return;
        }
        QCOMPARE(result, 0);
        QCOMPARE(body, QByteArray("target"));
        const QJsonArray there = m_sim.requests("/t/target");
        QCOMPARE(there.size(), 1);
        const QJsonObject entry = there.at(0).toObject();
        QCOMPARE(entry.value("method").toString(), methodThere);
        QCOMPARE(headerValueOf(entry, "token"), QByteArray("signed-token"));
        QCOMPARE(headerValueOf(entry, "s"), QByteArray("signature"));
        QCOMPARE(Simulator::bodyOf(entry), QByteArray(methodThere == "POST" ? "a=1" : ""));
    }

    void atMostTenRedirects_data()
    {
        QTest::addColumn<int>("hops");
        QTest::addColumn<int>("expected");
        QTest::newRow("ten") << 10 << 0;
        QTest::newRow("eleven") << 11 << 1;
    }
    void atMostTenRedirects()
    {
        QFETCH(int, hops);
        QFETCH(int, expected);
        Route hop;
        hop.path = "/t/hop";
        hop.status = 302;
        hop.headers = {{"Location", "/t/hop"}};
        hop.times = hops;
        QVERIFY(m_sim.program(hop) > 0);
        Route end;
        end.path = "/t/hop";
        end.body = "end";
        QVERIFY(m_sim.program(end) > 0);

        QByteArray body;
        QCOMPARE(getInto("/t/hop", body), expected);
        QCOMPARE(m_sim.requests("/t/hop").size(), qMin(hops + 1, 11));
        QCOMPARE(body, QByteArray(expected == 0 ? "end" : ""));
    }

    void getSendsContentTypeThenTheListInOrder()
    {
        Route route;
        route.path = "/t/headers";
        QVERIFY(m_sim.program(route) > 0);

        const ApiParamList headers{{"b", "1"}, {"A", "x y"}, {"empty", ""}, {"utf", QString::fromUtf8("\u4e2d")}};
        QByteArray body;
        QCOMPARE(getInto("/t/headers", body, &headers), 0);

        const QJsonObject entry = lastRequest("/t/headers");
        QCOMPARE(entry.value("method").toString(), QString("GET"));
        const QStringList names = headerNames(entry);
        const int contentType = names.indexOf("Content-Type");
        QVERIFY(contentType >= 0);
        QCOMPARE(names.mid(contentType), (QStringList{"Content-Type", "b", "A", "empty", "utf"}));
        QCOMPARE(headerValueOf(entry, "Content-Type"), QByteArray("application/json"));
        QCOMPARE(headerValueOf(entry, "A"), QByteArray("x y"));
        bool found = false;
        QCOMPARE(headerValueOf(entry, "empty", &found), QByteArray());
        QVERIFY2(found, "a pair with an empty value is still sent");
        QCOMPARE(QString::fromUtf8(headerValueOf(entry, "utf")), QString::fromUtf8("\u4e2d"));
        QVERIFY(!names.contains("User-Agent", Qt::CaseInsensitive));
    }

    void emptyHeaderListSendsOnlyContentType()
    {
        Route route;
        route.path = "/t/plain";
        QVERIFY(m_sim.program(route) > 0);
        const ApiParamList none;
        QByteArray body;
        QCOMPARE(getInto("/t/plain", body, &none), 0);
        const QStringList names = headerNames(lastRequest("/t/plain"));
        QCOMPARE(names.count("Content-Type"), 1);
        const QStringList curlOwn{"Host", "Accept", "Content-Type"};
        for (const QString& name : names)
            QVERIFY2(curlOwn.contains(name), qPrintable(name));
    }

    void headerLinesCarryNoControlCharacters_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line");

        QTest::newRow("plain") << "token"
                               << "abc" << QByteArray("token:abc");
        QTest::newRow("CR LF in the value") << "userId"
                                            << "1\r\nX-Injected: yes" << QByteArray("userId:1X-Injected: yes");
        QTest::newRow("LF in the key") << "user\nId"
                                       << "7" << QByteArray("userId:7");
        QTest::newRow("tab, NUL and DEL")
            << "k" << QString("a\tb") + QChar(0) + "c" + QChar(0x7F) << QByteArray("k:abc");
        QTest::newRow("empty value") << "token"
                                     << "" << QByteArray("token;");
        QTest::newRow("key of control characters only") << "\r\n"
                                                        << "x" << QByteArray();
    }
    void headerLinesCarryNoControlCharacters()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QCOMPARE(HttpCurl::headerLine(key, value), line);
    }

    void injectedHeaderLinesNeverReachTheServer()
    {
        Route route;
        route.path = "/t/inject";
        QVERIFY(m_sim.program(route) > 0);
        const ApiParamList headers{{"userId", "1\r\nX-Injected: yes\r\n\r\nGET / HTTP/1.1"}, {"after", "2"}};
        QByteArray body;
        QCOMPARE(getInto("/t/inject", body, &headers), 0);
        QCOMPARE(m_sim.requests().size(), 1);
        const QJsonObject entry = lastRequest("/t/inject");
        bool injected = true;
        headerValueOf(entry, "X-Injected", &injected);
        QVERIFY(!injected);
        QCOMPARE(headerValueOf(entry, "after"), QByteArray("2"));
    }

    void postFormBody_data()
    {
        QTest::addColumn<ApiParamList>("form");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Pairs>("decoded");

        QTest::newRow("list order, not key order")
            << ApiParamList{{"b", "1"}, {"a", "2"}} << QByteArray("b=1&a=2") << Pairs{{"b", "1"}, {"a", "2"}};
        QTest::newRow("separators inside values are encoded")
            << ApiParamList{{"remark", "FuncTag=10000300"}, {"x&y", "a&b c"}}
            << QByteArray("remark=FuncTag%3D10000300&x%26y=a%26b%20c")
            << Pairs{{"remark", "FuncTag=10000300"}, {"x&y", "a&b c"}};
        QTest::newRow("UTF-8 and signs") << ApiParamList{{"errorCode", "-9007"},
                                                         {"remark", QString::fromUtf8("CPU>90%\u4e2d")}}
                                         << QByteArray("errorCode=-9007&remark=CPU%3E90%25%E4%B8%AD")
                                         << Pairs{{"errorCode", "-9007"},
                                                  {"remark", QString::fromUtf8("CPU>90%\u4e2d")}};
        QTest::newRow("no pairs: empty body") << ApiParamList{} << QByteArray() << Pairs{};
    }
    void postFormBody()
    {
        QFETCH(ApiParamList, form);
        QFETCH(QByteArray, body);
        QFETCH(Pairs, decoded);

        QCOMPARE(HttpCurl::formBody(form), body);

        const QString path = "/classroom/monitor/period/device/report/callback";
        const ApiParamList headers{{"token", "t"}};
        QByteArray reply;
        QCOMPARE(HttpCurl::postForm(m_sim.url(path).toUtf8(), &headers, &form, &HttpCurl::writeToByteArray, &reply,
                                    kTransferSeconds),
                 0);
        const QJsonObject entry = lastRequest(path);
        QCOMPARE(entry.value("method").toString(), QString("POST"));
        QCOMPARE(Simulator::bodyOf(entry), body);
        QCOMPARE(headerValueOf(entry, "Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(headerValueOf(entry, "Content-Length"), QByteArray::number(body.size()));
        QCOMPARE(Simulator::pairsOf(entry.value("form")), decoded);
        QVERIFY(reply.contains("\"success\""));
    }

    void getUrlWritesBlanksAsPercent20()
    {
        Route route;
        route.path = "/t/a%20b";
        QVERIFY(m_sim.program(route) > 0);
        QByteArray body;
        QCOMPARE(HttpCurl::getToByteArray(QUrl(m_sim.url("/t/a b")), nullptr, &body, 10), 0);
        QCOMPARE(lastRequest("/t/").value("raw_path").toString(), QString("/t/a%20b"));
    }

    void getToByteArrayAppendsAndFoldsFailures()
    {
        Route ok;
        ok.path = "/t/ok";
        ok.body = "tail";
        QVERIFY(m_sim.program(ok) > 0);
        Route missing;
        missing.path = "/t/missing";
        missing.status = 404;
        missing.body = "not here";
        QVERIFY(m_sim.program(missing) > 0);

        QByteArray body("head-");
        QCOMPARE(HttpCurl::getToByteArray(QUrl(m_sim.url("/t/ok")), nullptr, &body, 10), 0);
        QCOMPARE(body, QByteArray("head-tail"));
        QCOMPARE(HttpCurl::getToByteArray(QUrl(m_sim.url("/t/missing")), nullptr, &body, 10), -1);
    }

    void missingWriteCallbackOrTargetSendsNothing()
    {
        QByteArray body;
        const QByteArray address = m_sim.url("/t/none").toUtf8();
        QCOMPARE(HttpCurl::get(address, nullptr, nullptr, &body, 10), -1);
        QCOMPARE(HttpCurl::get(address, nullptr, &HttpCurl::writeToByteArray, nullptr, 10), -1);
        QCOMPARE(HttpCurl::postForm(address, nullptr, nullptr, nullptr, &body, 10), -1);
        QCOMPARE(m_sim.requests().size(), 0);
    }

    void writeToByteArrayRefusesWithoutTarget()
    {
        char data[4] = {'a', 'b', 'c', 'd'};
        QByteArray target;
        QCOMPARE(HttpCurl::writeToByteArray(data, 1, 4, &target), size_t(4));
        QCOMPARE(target, QByteArray("abcd"));
        QVERIFY(HttpCurl::writeToByteArray(data, 1, 4, nullptr) != size_t(4));
        QVERIFY(HttpCurl::writeToByteArray(nullptr, 1, 4, &target) != size_t(4));
        QCOMPARE(target, QByteArray("abcd"));
    }

    void badRepliesFailWithinTheLimit_data()
    {
        QTest::addColumn<QJsonObject>("route"); // empty: nothing listens on the port
        QTest::addColumn<int>("seconds");

        const QByteArray truncated = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100\r\n"
                                     "\r\n{\"TagCode\":";
        QTest::newRow("accepts and never answers") << QJsonObject{{"path", "/t/bad"}, {"action", "stall"}} << 2;
        QTest::newRow("answers after the limit")
            << QJsonObject{{"path", "/t/bad"}, {"hold", "late"}, {"body", "late"}} << 1;
        QTest::newRow("closes without a reply") << QJsonObject{{"path", "/t/bad"}, {"action", "close"}} << 5;
        QTest::newRow("truncated body") << QJsonObject{{"path", "/t/bad"},
                                                       {"action", "raw"},
                                                       {"raw_base64", QString::fromLatin1(truncated.toBase64())}}
                                        << 5;
        QTest::newRow("not HTTP at all") << QJsonObject{{"path", "/t/bad"},
                                                        {"action", "raw"},
                                                        {"raw_base64", QString("bm90IGh0dHAK")}}
                                         << 5;
        QTest::newRow("refused connection") << QJsonObject{} << 5;
        QTest::newRow("redirected to a server that never answers")
            << QJsonObject{{"path", "/t/bad"}, {"status", 302}, {"headers", QJsonObject{{"Location", "/t/stalled"}}}}
            << 2;
    }
    void badRepliesFailWithinTheLimit()
    {
        QFETCH(QJsonObject, route);
        QFETCH(int, seconds);

        QVERIFY(m_sim.program(QJsonObject{{"path", "/t/stalled"}, {"action", "stall"}}) > 0);
        QByteArray address = m_sim.url("/t/bad").toUtf8();
        if (route.isEmpty()) {
            const quint16 port = ZmTest::closedPort();
            QVERIFY(port != 0);
            address = "http://127.0.0.1:" + QByteArray::number(port) + "/t/bad";
        } else {
            QVERIFY(m_sim.program(route) > 0);
        }
        // The stalled and held replies never come in time: the call returns only because the limit ends it.
        QByteArray body;
        QCOMPARE(HttpCurl::get(address, nullptr, &HttpCurl::writeToByteArray, &body, seconds), 1);
        QVERIFY(m_sim.releaseHold("late"));
    }

    void hugeReplyArrivesWhole()
    {
        Route route;
        route.path = "/t/huge";
        route.body = QByteArray(1 << 20, 'x');
        route.repeat = 24;
        QVERIFY(m_sim.program(route) > 0);
        QByteArray body;
        QCOMPARE(getInto("/t/huge", body, nullptr, 60), 0);
        QCOMPARE(body.size(), 24 << 20);
    }

    void requestsOnSeveralThreads()
    {
        Route route;
        route.path = "/t/many";
        route.body = "ok";
        route.delayMs = 50;
        QVERIFY(m_sim.program(route) > 0);

        const QByteArray address = m_sim.url("/t/many").toUtf8();
        std::atomic<int> succeeded{0};
        std::vector<QThread*> threads;
        for (int i = 0; i < 6; ++i) {
            threads.push_back(QThread::create([&] {
                QByteArray body;
                const ApiParamList headers{{"n", "1"}};
                if (HttpCurl::get(address, &headers, &HttpCurl::writeToByteArray, &body, kTransferSeconds) == 0 &&
                    body == "ok")
                    ++succeeded;
            }));
            threads.back()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(ZmTest::kWaitMs));
            delete thread;
        }
        QCOMPARE(succeeded.load(), 6);
    }

    void traceGoesToTheDailyLog()
    {
        Route route;
        route.path = "/t/traced";
        route.headers = {{"X-First", "1"}, {"X-Second", "2"}};
        route.body = "{\"accessKeySecret\":\"reply-body-secret\"}";
        QVERIFY(m_sim.program(route) > 0);

        QVERIFY(RunLog::flush());
        QFile log(ConfigManager::instance()->getDailyLogFile());
        const qint64 start = log.exists() ? log.size() : 0;
        const ApiParamList headers{{"token", "header-token-secret"}, {"userId", "42"}};
        const ApiParamList form{{"remark", "traced-form"}};
        QByteArray body;
        QCOMPARE(HttpCurl::postForm(m_sim.url("/t/traced").toUtf8(), &headers, &form, &HttpCurl::writeToByteArray,
                                    &body, 10),
                 0);
        QVERIFY(body.contains("reply-body-secret"));

        QVERIFY(RunLog::flush());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.seek(start));
        const QByteArray trace = log.readAll();
        QCOMPARE(trace.count("HttpCurl => Send header:\n"), 1);
        QVERIFY(trace.contains("POST /t/traced HTTP/1.1"));
        QVERIFY(trace.contains("token:***"));
        QVERIFY(trace.contains("userId:42"));
        QCOMPARE(trace.count("HttpCurl => Send data:\nremark=traced-form\n"), 1);
        QCOMPARE(trace.count("HttpCurl <= Recv header:\n"), 1);
        QVERIFY(trace.contains("X-First: 1"));
        QVERIFY(trace.contains("X-Second: 2"));
        QVERIFY(trace.contains("HttpCurl == Info:\n"));
        QVERIFY2(!trace.contains("header-token-secret"), "secrets are masked");
        QVERIFY2(!trace.contains("reply-body-secret"), "reply bodies are not traced");
    }

    void traceRecords_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("previousKind");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("record");

        QTest::newRow("information") << int(CURLINFO_TEXT) << -1 << QByteArray("Connected")
                                     << QByteArray("HttpCurl == Info:\nConnected\n");
        QTest::newRow("sent header, token masked")
            << int(CURLINFO_HEADER_OUT) << int(CURLINFO_TEXT) << QByteArray("GET / HTTP/1.1\r\ntoken:abc\r\nc:1\r\n")
            << QByteArray("HttpCurl => Send header:\nGET / HTTP/1.1\r\ntoken:***\r\nc:1\r\n\n");
        QTest::newRow("sent data") << int(CURLINFO_DATA_OUT) << -1 << QByteArray("a=1")
                                   << QByteArray("HttpCurl => Send data:\na=1\n");
        QTest::newRow("sent SSL data") << int(CURLINFO_SSL_DATA_OUT) << -1 << QByteArray()
                                       << QByteArray("HttpCurl => Send SSL data:\n\n");
        QTest::newRow("first received header")
            << int(CURLINFO_HEADER_IN) << int(CURLINFO_HEADER_OUT) << QByteArray("HTTP/1.1 200 OK\r\n")
            << QByteArray("HttpCurl <= Recv header:\nHTTP/1.1 200 OK\r\n\n");
        QTest::newRow("later received header") << int(CURLINFO_HEADER_IN) << int(CURLINFO_HEADER_IN)
                                               << QByteArray("Server: x\r\n") << QByteArray("Server: x\r\n\n");
        QTest::newRow("received data is not traced")
            << int(CURLINFO_DATA_IN) << -1 << QByteArray("{\"accessKeySecret\":\"x\"}") << QByteArray();
        QTest::newRow("received SSL data is not traced")
            << int(CURLINFO_SSL_DATA_IN) << -1 << QByteArray("x") << QByteArray();
    }
    void traceRecords()
    {
        QFETCH(int, kind);
        QFETCH(int, previousKind);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, record);
        QCOMPARE(HttpCurl::traceRecord(kind, previousKind, data.constData(), size_t(data.size())), record);
    }
};

ZM_TEST_MAIN_CORE(TestHttpCurl)
#include "tst_httpcurl.moc"
