#include "ClosedPort.h"
#include "LogCapture.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include "net/oss/OssAddress.h"
#include "net/oss/OssContentType.h"
#include "net/oss/OssCrc64.h"
#include "net/oss/OssErrorReply.h"
#include "net/oss/OssPutObject.h"
#include "net/oss/OssSigner.h"
#include "net/oss/OssUpload.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

using ZmTest::LogCapture;
using ZmTest::Simulator;

namespace {

constexpr char kBucket[] = "zm-class-logs";

} // namespace

class TestOssClient : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;

    Oss::Credentials simCredentials(const QString& endpoint = QString()) const
    {
        Oss::Credentials credentials;
        credentials.endpoint = (endpoint.isEmpty() ? m_sim.baseUrl() : endpoint).toUtf8();
        credentials.accessKeyId = Simulator::ossAccessKeyId().toUtf8();
        credentials.accessKeySecret = Simulator::ossAccessKeySecret().toUtf8();
        credentials.securityToken = Simulator::ossSecurityToken().toUtf8();
        return credentials;
    }

    QJsonObject lastPut()
    {
        const QJsonArray puts = m_sim.requests();
        return puts.isEmpty() ? QJsonObject() : puts.last().toObject();
    }

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString())); }
    void init() { QVERIFY(m_sim.reset()); }

    void signatureOfTheCanonicalRequest()
    {
        // Expected value: printf '<text>' | openssl dgst -sha1 -hmac sim-access-key-secret -binary | base64
        const Oss::HeaderList headers{{"X-OSS-Security-Token", " sim-security-token "}, {"Content-Type", "x"}};
        const QByteArray text = Oss::stringToSign("PUT", "", "application/zip", "Wed, 01 May 2024 10:30:00 GMT",
                                                  headers, Oss::canonicalResource(kBucket, "logs/2024/a b.zip"));
        QCOMPARE(text, QByteArray("PUT\n\napplication/zip\nWed, 01 May 2024 10:30:00 GMT\n"
                                  "x-oss-security-token:sim-security-token\n/zm-class-logs/logs/2024/a b.zip"));
        QCOMPARE(Oss::authorization("AKID", "sim-access-key-secret", text),
                 QByteArray("OSS AKID:RwgZOrQPTdmQ/EJb2M/ZUFIQaRk="));
        QCOMPARE(Oss::canonicalOssHeaders({{"x-oss-b", "2"}, {"Date", "d"}, {"X-Oss-A", "1"}}),
                 QByteArray("x-oss-a:1\nx-oss-b:2\n"));
        QCOMPARE(Oss::httpDate(1714559400), QByteArray("Wed, 01 May 2024 10:30:00 GMT"));
    }

    void endpoints_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("url"); // of bucket zm-class-logs, key "logs/a b.zip"

        QTest::newRow("IP with port: path-style")
            << "http://127.0.0.1:8080" << true << "http://127.0.0.1:8080/zm-class-logs/logs/a%20b.zip";
        QTest::newRow("IPv6") << "http://[::1]:9000/" << true << "http://[::1]:9000/zm-class-logs/logs/a%20b.zip";
        QTest::newRow("name: virtual host, https by default")
            << "oss-cn-beijing.example.com" << true
            << "https://zm-class-logs.oss-cn-beijing.example.com/logs/a%20b.zip";
        QTest::newRow("name with port and path")
            << "HTTP://oss.example.com:81/ignored" << true << "http://zm-class-logs.oss.example.com:81/logs/a%20b.zip";
        QTest::newRow("four numbers above 255 are a name")
            << "1.2.3.256" << true << "https://zm-class-logs.1.2.3.256/logs/a%20b.zip";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("other scheme") << "ftp://oss.example.com" << false << "";
        QTest::newRow("user part") << "http://user@oss.example.com" << false << "";
        QTest::newRow("port 0") << "oss.example.com:0" << false << "";
        QTest::newRow("port too big") << "oss.example.com:65536" << false << "";
        QTest::newRow("blank inside") << "oss example.com" << false << "";
    }

    void endpoints()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, url);
        const Oss::Endpoint endpoint = Oss::parseEndpoint(text.toUtf8());
        QCOMPARE(endpoint.isValid(), valid);
        if (valid)
            QCOMPARE(QString::fromUtf8(Oss::objectUrl(endpoint, kBucket, "logs/a b.zip")), url);
    }

    void namesAndKeys()
    {
        QVERIFY(Oss::isValidBucketName("abc"));
        QVERIFY(!Oss::isValidBucketName("ab"));
        QVERIFY(!Oss::isValidBucketName("evil.example.com/x"));
        QVERIFY(!Oss::isValidBucketName("-abc"));
        QCOMPARE(Oss::encodeObjectKey("a/b c/%\xc3\xa9~_.-"), QByteArray("a/b%20c/%25%C3%A9~_.-"));
        QCOMPARE(Oss::contentTypeForKey("logs/x.ZIP"), QByteArray("application/zip"));
        QCOMPARE(Oss::contentTypeForKey("logs.d/noext"), QByteArray("application/octet-stream"));
        QCOMPARE(Oss::contentTypeForKey("a.json"), QByteArray("application/json"));
    }

    void objectKeys_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << QByteArray("logs/sim/upload.zip") << true;
        QTest::newRow("dots inside names") << QByteArray("logs/..a/b..zip/.hidden/...") << true;
        QTest::newRow("climbs out") << QByteArray("logs/sim/../../other-bucket/x.zip") << false;
        QTest::newRow("starts with ..") << QByteArray("../x.zip") << false;
        QTest::newRow("ends with ..") << QByteArray("logs/..") << false;
        QTest::newRow("only ..") << QByteArray("..") << false;
        QTest::newRow("single dot segment") << QByteArray("logs/./x.zip") << false;
        QTest::newRow("only a dot") << QByteArray(".") << false;
        QTest::newRow("backslashes") << QByteArray("logs\\..\\x.zip") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("absolute") << QByteArray("/abs") << false;
        QTest::newRow("too long") << QByteArray(1024, 'k') << false;
    }
    void objectKeys()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, valid);
        QCOMPARE(Oss::isValidObjectKey(key), valid);
    }

    // A key from the service that would climb into another path is refused before anything is sent.
    void dotSegmentKeysAreRefusedAndLogged()
    {
        LogCapture capture;
        OssUploadLock lock;
        QCOMPARE(
            ossUploadInit(m_sim.baseUrl().toUtf8(), "SIM-ACCESS-KEY-ID", "sim-access-key-secret", "sim-security-token"),
            0);
        QVERIFY(!ossPutBuffer("x", 1, kBucket, "logs/sim/../../other-bucket/x.zip"));
        QVERIFY(!ossPutFile(QFile::encodeName(QFINDTESTDATA("tst_ossclient.cpp")).constData(), "application/zip",
                            kBucket, "logs/./x.zip"));
        ossUploadDeinit();
        QVERIFY(m_sim.requests().isEmpty());
        QVERIFY(m_sim.ossObjects().isEmpty());
        QCOMPARE(capture.text().count("dot segment"), 2);
    }

    void crcCheckValue()
    {
        QCOMPARE(Oss::crc64(0, "123456789", 9), Q_UINT64_C(0x995DC9BBDF1939FA));
        // In pieces it is the same.
        QCOMPARE(Oss::crc64(Oss::crc64(0, "1234", 4), "56789", 5), Q_UINT64_C(0x995DC9BBDF1939FA));
        QCOMPARE(Oss::crc64(0, "", 0), Q_UINT64_C(0));
    }

    void errorReplies()
    {
        Oss::ErrorReply reply;
        QVERIFY(Oss::parseErrorReply("<?xml version=\"1.0\"?>\n<Error><Code>AccessDenied</Code><Message> no &amp; "
                                     "way </Message><StringToSign>PUT\n<x/></StringToSign><RequestId>R1</RequestId>"
                                     "<HostId>h</HostId></Error>",
                                     reply));
        QCOMPARE(reply.code, QByteArray("AccessDenied"));
        QCOMPARE(reply.message, QByteArray("no & way"));
        QCOMPARE(reply.requestId, QByteArray("R1"));
        QCOMPARE(reply.hostId, QByteArray("h"));
        QVERIFY(!Oss::parseErrorReply("not xml", reply));
        QVERIFY(!Oss::parseErrorReply("<Other><Code>x</Code></Other>", reply));
        QVERIFY(!Oss::parseErrorReply("<Error><Code>x</Code>", reply)); // cut off
        QCOMPARE(reply.code, QByteArray("AccessDenied"));               // untouched by the failures
    }

    void statusCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("ok");
        QTest::newRow("200") << 200 << true;
        QTest::newRow("299") << 299 << true;
        QTest::newRow("300") << 300 << false;
        QTest::newRow("199") << 199 << false;
        QTest::newRow("0") << 0 << false;
        QTest::newRow("negative") << int(Oss::ConnectFailed) << false;
    }

    void statusCodes()
    {
        QFETCH(int, code);
        QFETCH(bool, ok);
        Oss::Status status;
        status.code = code;
        QCOMPARE(status.isOk(), ok);
    }

    void putStoresTheObject_data()
    {
        QTest::addColumn<bool>("virtualHost");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("path-style for an IP endpoint")
            << false << QByteArray("logs/sim/upload.zip") << QByteArray("PK\x03\x04 zipped", 11);
        QTest::newRow("virtual host for a name") << true << QByteArray("logs/sim/upload.zip") << QByteArray("abc");
        QTest::newRow("key with blank and UTF-8")
            << false << QByteArray("logs/2024 05/\xc3\xa9t\xc3\xa9.zip") << QByteArray(200000, 'x');
        QTest::newRow("empty object") << false << QByteArray("logs/empty.zip") << QByteArray();
    }

    void putStoresTheObject()
    {
        QFETCH(bool, virtualHost);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, data);
        // *.localhost resolves to the loop-back address without a name server.
        const QString endpoint =
            virtualHost ? QStringLiteral("http://localhost:%1").arg(m_sim.port()) : m_sim.baseUrl();
        const Oss::Status status =
            Oss::putObject(simCredentials(endpoint), kBucket, key, "application/zip", data.constData(), data.size());
        QVERIFY2(status.isOk(), status.errorMessage.constData());
        QCOMPARE(status.code, 200);
        QVERIFY(!status.requestId.isEmpty());

        bool found = false;
        QCOMPARE(m_sim.ossObject(kBucket, QString::fromUtf8(key), &found), data);
        QVERIFY(found);
        const QJsonObject put = lastPut();
        QCOMPARE(put.value("role").toString(), QStringLiteral("oss"));
        QCOMPARE(put.value("oss_addressing").toString(),
                 virtualHost ? QStringLiteral("virtual-host") : QStringLiteral("path"));
        QVERIFY(put.value("oss_sign_ok").toBool());
        QVERIFY(put.value("oss_token_ok").toBool());
        QCOMPARE(Simulator::headerOf(put, "Content-Type"), QStringLiteral("application/zip"));
        QCOMPARE(Simulator::headerOf(put, "Content-Length"), QString::number(data.size()));
        QVERIFY(Simulator::headerOf(put, "Expect").isEmpty());
    }

    void putFromFile()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("archive.zip"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray data(300000, 'z');
        file.write(data);
        file.close();
        const Oss::Status status =
            Oss::putObjectFromFile(simCredentials(), kBucket, "logs/file.zip", "application/zip", file.fileName());
        QVERIFY2(status.isOk(), status.errorMessage.constData());
        QCOMPARE(m_sim.ossObject(kBucket, "logs/file.zip"), data);

        const Oss::Status missing = Oss::putObjectFromFile(simCredentials(), kBucket, "logs/missing.zip",
                                                           "application/zip", dir.filePath("missing.zip"));
        QCOMPARE(missing.code, int(Oss::OpenFileFailed));
        QCOMPARE(m_sim.ossObjects().size(), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("secret");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QByteArray>("errorCode");
        QTest::newRow("wrong secret") << QByteArray("other-secret") << QByteArray("sim-security-token")
                                      << QByteArray("SignatureDoesNotMatch");
        QTest::newRow("wrong token") << QByteArray("sim-access-key-secret") << QByteArray("other-token")
                                     << QByteArray("InvalidSecurityToken");
        QTest::newRow("no token") << QByteArray("sim-access-key-secret") << QByteArray() << QByteArray("AccessDenied");
    }

    void refusals()
    {
        QFETCH(QByteArray, secret);
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, errorCode);
        Oss::Credentials credentials = simCredentials();
        credentials.accessKeySecret = secret;
        credentials.securityToken = token;
        const Oss::Status status = Oss::putObject(credentials, kBucket, "logs/x.zip", "application/zip", "x", 1);
        QCOMPARE(status.code, 403);
        QCOMPARE(status.errorCode, errorCode);
        QVERIFY(!status.errorMessage.isEmpty());
        QCOMPARE(status.requestId, lastPut().value("oss_request_id").toString().toLatin1());
        QVERIFY(m_sim.ossObjects().isEmpty());
    }

    void queuedXmlError()
    {
        QVERIFY(m_sim.queueOssError(403, "AccessDenied", "You have no right to access this object.", 1));
        Oss::Status status = Oss::putObject(simCredentials(), kBucket, "logs/x.zip", "application/zip", "x", 1);
        QCOMPARE(status.code, 403);
        QCOMPARE(status.errorCode, QByteArray("AccessDenied"));
        QCOMPARE(status.errorMessage, QByteArray("You have no right to access this object."));
        QVERIFY(m_sim.ossObjects().isEmpty());
        status = Oss::putObject(simCredentials(), kBucket, "logs/x.zip", "application/zip", "x", 1); // used up
        QVERIFY(status.isOk());
    }

    void failedTransfers_data()
    {
        QTest::addColumn<QJsonObject>("route");
        QTest::addColumn<int>("code");
        QTest::newRow("redirect") << QJsonObject{{"method", "PUT"},
                                                 {"path", "/zm-class-logs/"},
                                                 {"match", "prefix"},
                                                 {"status", 301},
                                                 {"headers", QJsonObject{{"Location", "http://127.0.0.1:1/"}}}}
                                  << 301;
        QTest::newRow("stored object's CRC differs")
            << QJsonObject{{"method", "PUT"},
                           {"path", "/zm-class-logs/"},
                           {"match", "prefix"},
                           {"headers", QJsonObject{{"x-oss-hash-crc64ecma", "12345"}}}}
            << int(Oss::VerificationFailed);
        QTest::newRow("connection closed")
            << QJsonObject{{"method", "PUT"}, {"path", "/zm-class-logs/"}, {"match", "prefix"}, {"action", "close"}}
            << int(Oss::ConnectionFailed);
        QTest::newRow("server error without XML") << QJsonObject{{"method", "PUT"},
                                                                 {"path", "/zm-class-logs/"},
                                                                 {"match", "prefix"},
                                                                 {"status", 500},
                                                                 {"body", "oops"}}
                                                  << 500;
    }

    void failedTransfers()
    {
        QFETCH(QJsonObject, route);
        QFETCH(int, code);
        QVERIFY(m_sim.program(route) > 0);
        const Oss::Status status = Oss::putObject(simCredentials(), kBucket, "logs/x.zip", "application/zip", "x", 1);
        QCOMPARE(status.code, code);
        QVERIFY(!status.isOk());
        QVERIFY(!status.errorMessage.isEmpty());
    }

    void stalledServiceTimesOut()
    {
        QVERIFY(m_sim.program(QJsonObject{
                    {"method", "PUT"}, {"path", "/zm-class-logs/"}, {"match", "prefix"}, {"action", "stall"}}) > 0);
        Oss::TransferLimits limits;
        limits.lowSpeedSeconds = 1;
        // The reply never comes: the put returns only because the limit ends it.
        const Oss::Status status =
            Oss::putObject(simCredentials(), kBucket, "logs/x.zip", "application/zip", "x", 1, limits);
        QCOMPARE(status.code, int(Oss::RequestTimeout));
    }

    void nobodyListening()
    {
        const Oss::Status status =
            Oss::putObject(simCredentials(QStringLiteral("http://127.0.0.1:%1").arg(ZmTest::closedPort())), kBucket,
                           "logs/x.zip", "application/zip", "x", 1);
        QCOMPARE(status.code, int(Oss::ConnectFailed));
    }

    void invalidArguments()
    {
        QCOMPARE(Oss::putObject(simCredentials(), "Bad_Bucket", "k", "t", "x", 1).code, int(Oss::InvalidArgument));
        QCOMPARE(Oss::putObject(simCredentials(), kBucket, "", "t", "x", 1).code, int(Oss::InvalidArgument));
        QCOMPARE(Oss::putObject(simCredentials("ftp://x"), kBucket, "k", "t", "x", 1).code, int(Oss::InvalidArgument));
        QCOMPARE(Oss::putObject(simCredentials(), kBucket, "k", "t", nullptr, 5).code, int(Oss::InvalidArgument));
        QVERIFY(m_sim.requests().isEmpty());
    }

    // The front: the upload lock, init before put, the newest credentials, nothing secret in the log.
    void frontNeedsLockAndInit()
    {
        {
            LogCapture capture;
            QCOMPARE(ossUploadInit("e", "k", "s", "t"), int(Oss::InternalError)); // no lock
            QVERIFY(!ossPutBuffer("x", 1, kBucket, "k"));
            QVERIFY(capture.text().contains("upload lock"));
        }
        OssUploadLock lock;
        QVERIFY(lock.isLocked());
        QVERIFY(OssUploadLock::isHeldByCurrentThread());
        QVERIFY(!ossPutBuffer("x", 1, kBucket, "k")); // no init
        QCOMPARE(ossUploadInit(m_sim.baseUrl().toUtf8().constData(), "", "secret", "token"), int(Oss::InvalidArgument));
        QVERIFY(!ossPutBuffer("x", 1, kBucket, "k")); // init failed
        QCOMPARE(ossUploadInit(nullptr, "id", "secret", "token"), int(Oss::InvalidArgument));
        QVERIFY(!ossPutFile("/nonexistent", "application/zip", kBucket, "k"));
        QVERIFY(m_sim.requests().isEmpty());
    }

    void frontUsesTheNewestCredentials()
    {
        QVERIFY(m_sim.addOssCredentials("SECOND-KEY", "second-secret", "second-token"));
        OssUploadLock lock;
        const QByteArray endpoint = m_sim.baseUrl().toUtf8();
        QCOMPARE(ossUploadInit(endpoint, "SIM-ACCESS-KEY-ID", "sim-access-key-secret", "sim-security-token"), 0);
        QVERIFY(ossPutBuffer("one", 3, kBucket, "logs/one.zip"));
        ossUploadDeinit();
        QCOMPARE(ossUploadInit(endpoint, "SECOND-KEY", "second-secret", "second-token"), 0);
        QVERIFY(ossPutBuffer("two", 3, kBucket, "logs/two.zip"));
        ossUploadDeinit();
        QVERIFY(!ossPutBuffer("three", 5, kBucket, "logs/three.zip")); // after deinit

        const QJsonArray puts = m_sim.requests();
        QCOMPARE(puts.size(), 2);
        QCOMPARE(puts.at(0).toObject().value("oss_access_key_id").toString(), QStringLiteral("SIM-ACCESS-KEY-ID"));
        QCOMPARE(puts.at(1).toObject().value("oss_access_key_id").toString(), QStringLiteral("SECOND-KEY"));
        QVERIFY(puts.at(1).toObject().value("oss_sign_ok").toBool());
        QCOMPARE(m_sim.ossObject(kBucket, "logs/two.zip"), QByteArray("two"));
        QCOMPARE(Simulator::headerOf(puts.at(0).toObject(), "Content-Type"), QStringLiteral("application/zip"));
    }

    void frontKeepsCredentialsOutOfTheLog()
    {
        // A service whose error message repeats the credentials.
        QVERIFY(m_sim.queueOssError(403, "AccessDenied",
                                    "denied for sim-security-token / sim-access-key-secret / SIM-ACCESS-KEY-ID", 1));
        LogCapture capture;
        {
            OssUploadLock lock;
            QCOMPARE(ossUploadInit(m_sim.baseUrl().toUtf8(), "SIM-ACCESS-KEY-ID", "sim-access-key-secret",
                                   "sim-security-token"),
                     0);
            QVERIFY(!ossPutFile(QFile::encodeName(QFINDTESTDATA("tst_ossclient.cpp")).constData(), "application/zip",
                                kBucket, "logs/a.zip"));
        }
        const QString log = capture.text();
        QVERIFY(log.contains("AccessDenied"));
        QVERIFY(log.contains("***"));
        QVERIFY(!log.contains("sim-security-token"));
        QVERIFY(!log.contains("sim-access-key-secret"));
        QVERIFY(!log.contains("SIM-ACCESS-KEY-ID"));
    }

    void uploadLockIsProcessWide()
    {
        OssUploadLock lock;
        std::atomic<int> otherThread{-1};
        QThread* thread = QThread::create([&] {
            OssUploadLock attempt(100);
            otherThread = attempt.isLocked() ? 1 : 0;
        });
        thread->start();
        QVERIFY(thread->wait(ZmTest::kWaitMs));
        delete thread;
        QCOMPARE(otherThread.load(), 0);
    }

    void cleanupTestCase() { QVERIFY(m_sim.stop()); }
};

ZM_TEST_MAIN_CORE(TestOssClient)
#include "tst_ossclient.moc"
