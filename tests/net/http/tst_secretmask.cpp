#include "net/http/SecretMask.h"

#include "ZmTestMain.h"

class TestSecretMask : public QObject
{
    Q_OBJECT

private slots:
    void masksSecretValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("masked");

        QTest::newRow("JSON member") << "{\"a\":\"1\",\"token\":\"abc\",\"b\":\"2\"}"
                                     << "{\"a\":\"1\",\"token\":\"***\",\"b\":\"2\"}";
        QTest::newRow("JSON, any case, blanks") << "{\"AccessKeySecret\" : \"s3\", \"securityToken\":\"st\"}"
                                                << "{\"AccessKeySecret\" : \"***\", \"securityToken\":\"***\"}";
        QTest::newRow("JSON escapes inside the value") << "{\"token\":\"a\\\"b\\\\\",\"c\":\"1\"}"
                                                       << "{\"token\":\"***\",\"c\":\"1\"}";
        QTest::newRow("JSON value cut off") << "{\"token\":\"abcdef"
                                            << "{\"token\":\"***";
        QTest::newRow("percent-encoded JSON")
            << "?parameter=%7B%22c%22%3A%221%22%2C%22token%22%3A%22t-1%22%2C%22userId%22%3A%2242%22%7D"
            << "?parameter=%7B%22c%22%3A%221%22%2C%22token%22%3A%22***%22%2C%22userId%22%3A%2242%22%7D";
        QTest::newRow("percent-encoded escaped quote") << "%22token%22%3A%22a%5C%22b%22%2C%22x%22"
                                                       << "%22token%22%3A%22***%22%2C%22x%22";
        QTest::newRow("header lines") << "GET / HTTP/1.1\r\ntoken:abc\r\nuserId:1\r\nToken: def\r\n"
                                      << "GET / HTTP/1.1\r\ntoken:***\r\nuserId:1\r\nToken: ***\r\n";
        QTest::newRow("form and query fields") << "a=1&token=abc&b=2"
                                               << "a=1&token=***&b=2";
        QTest::newRow("query") << "/x?authtoken=abc&y=1"
                               << "/x?authtoken=***&y=1";
        // Keys are compared once decoded, as the receiver reads them; a header line's value runs to its end.
        QTest::newRow("query field with an encoded key") << "/x?%74oken=s3cr3t&y=1"
                                                         << "/x?%74oken=***&y=1";
        QTest::newRow("header value holding &") << "GET / HTTP/1.1\r\ntoken:odd&s3cr3t\r\nuserId:1\r\n"
                                                << "GET / HTTP/1.1\r\ntoken:***\r\nuserId:1\r\n";
        QTest::newRow("JSON member with an escaped key") << "{\"\\u0074oken\":\"s3cr3t\",\"b\":\"2\"}"
                                                         << "{\"\\u0074oken\":\"***\",\"b\":\"2\"}";
        QTest::newRow("percent-encoded JSON with an encoded key letter")
            << "%7B%22%74oken%22%3A%22s3cr3t%22%2C%22b%22%3A%222%22%7D"
            << "%7B%22%74oken%22%3A%22***%22%2C%22b%22%3A%222%22%7D";
        QTest::newRow("other keys untouched") << "{\"accessKeyId\":\"id\",\"tokenType\":\"x\"}\nmytoken:1"
                                              << "{\"accessKeyId\":\"id\",\"tokenType\":\"x\"}\nmytoken:1";
        QTest::newRow("nothing to mask") << "plain text"
                                         << "plain text";
        QTest::newRow("signed address")
            << "https://cdn.example/web/missing.zip?Expires=1700000000&OSSAccessKeyId=STS.id&Signature=ab%2Bc%3D"
               "&security-token=CAIS-xyz#part"
            << "https://cdn.example/web/missing.zip?Expires=1700000000&OSSAccessKeyId=STS.id&Signature=***"
               "&security-token=***#part";
        QTest::newRow("request line")
            << "GET /web/x.zip?X-Amz-Signature=abc&X-Amz-Security-Token=t&x=1 HTTP/1.1\r\nHost: h\r\n"
            << "GET /web/x.zip?X-Amz-Signature=***&X-Amz-Security-Token=***&x=1 HTTP/1.1\r\nHost: h\r\n";
        QTest::newRow("address in a JSON text") << "{\"versionUrl\":\"https://h/a.exe?sign=abc&v=1\",\"n\":\"2\"}"
                                                << "{\"versionUrl\":\"https://h/a.exe?sign=***&v=1\",\"n\":\"2\"}";
        QTest::newRow("address in a printed map")
            << "QMap((\"latestVersionURLEn\", \"https://h/a.exe?Sig=abc&ClientSecret=s\")(\"x\", \"1\"))"
            << "QMap((\"latestVersionURLEn\", \"https://h/a.exe?Sig=***&ClientSecret=***\")(\"x\", \"1\"))";
        QTest::newRow("address encoded inside a query")
            << "/updates/redirect?to=https%3A%2F%2Fh%2Fa.zip%3FSignature%3Dabc%26x%3D1&status=302"
            << "/updates/redirect?to=https%3A%2F%2Fh%2Fa.zip%3FSignature%3D***%26x%3D1&status=302";
        // Members and fields found in one text: a JSON text with line breaks and an address.
        QTest::newRow("JSON with line breaks and an address")
            << "{\"token\":\"a&b\",\r\n\"url\":\"https://h/x?sig=1&y=2\"}"
            << "{\"token\":\"***\",\r\n\"url\":\"https://h/x?sig=***&y=2\"}";
        QTest::newRow("members after a lone string, a key text inside a value")
            << "[\"x\", \"token\":\"v\", \"c\":\"token:x\",\"authToken\":\"y\"]"
            << "[\"x\", \"token\":\"***\", \"c\":\"token:x\",\"authToken\":\"***\"]";
        QTest::newRow("query keys that only look alike") << "https://h/a.zip?signedBy=me&design=x&tokens=2&version=1"
                                                         << "https://h/a.zip?signedBy=me&design=x&tokens=2&version=1";
    }
    void masksSecretValues()
    {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QCOMPARE(SecretMask::maskSecrets(text), masked);
    }

    void excerptCutsLongTextsAfterMasking()
    {
        const QString text = "{\"token\":\"" + QString(100, 'x') + "\"}";
        QCOMPARE(SecretMask::logExcerpt(text, 1000), QString("{\"token\":\"***\"}"));
        const QString cut = SecretMask::logExcerpt(text, 20);
        QVERIFY(!cut.contains("xxx"));
        QVERIFY(cut.startsWith("{\"token\":\"***"));
        QVERIFY(cut.endsWith(QString("(%1 characters in all)").arg(text.size())));
    }
};

ZM_TEST_MAIN_CORE(TestSecretMask)
#include "tst_secretmask.moc"
