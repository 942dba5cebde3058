#include "app/ProgramFiles.h"
#include "net/api/RequestSign.h"
#include "net/api/UrlSigner.h"

#include "LogCapture.h"
#include "ZmTestMain.h"

#include <QRegularExpression>

#include <algorithm>

Q_DECLARE_METATYPE(ApiParamList)

// Expected values below were computed once with an independent script from the written algorithms.
class TestSigning : public QObject
{
    Q_OBJECT

private slots:
    void signsRequests_data()
    {
        QTest::addColumn<ApiParamList>("params");
        QTest::addColumn<QString>("expected");

        // Under 16 bytes the accumulator stays zero: 16 times 'q', then 8 * 'q' = 904 -> [904 % 16], [904 % 13].
        QTest::newRow("feedback config: nine bytes")
            << ApiParamList{{"FuncTag", "10000300"}, {"role", "s"}} << "qqqqqqqqqqqqqqqqk#";
        QTest::newRow("fifteen bytes") << ApiParamList{{"b", "abcdefgh"}, {"a", "1234567"}} << "qqqqqqqqqqqqqqqqk#";
        QTest::newRow("no parameters") << ApiParamList{} << "qqqqqqqqqqqqqqqqk#";
        // 'A' ^ '1' = 0x70 in every column: high symbol [14], low symbol [0].
        QTest::newRow("two blocks") << ApiParamList{{"a", "ABCDEFGH"}, {"b", "12345678"}} << "zqzqzqzqzqzqzqzqq7";
        QTest::newRow("trailing bytes ignored")
            << ApiParamList{{"a", "ABCDEFGH"}, {"b", "12345678"}, {"c", "xyzuvwt"}} << "zqzqzqzqzqzqzqzqq7";
        QTest::newRow("three blocks, keys of mixed case")
            << ApiParamList{{"Zeta", "zzzzzzzz"}, {"alpha", "aaaaaaaa"}, {"Beta", "bbbbbbbb"}} << "%9%9%9%9%9%9%9%9kv";
        QTest::newRow("characters beyond Latin-1 sign their low byte")
            << ApiParamList{{"k", QString::fromUtf8("\u4e2d\u6587\u00e9abcdefghijklmn")}} << "9$pqq77k7k7k7k7k4$";
        QTest::newRow("class entry parameters") << ApiParamList{{"sinceVersion", "since_1_4_1"},
                                                                {"webLocalVersion", "20240101"},
                                                                {"FuncTag", "50000101"},
                                                                {"token", "tok-ABC_123"},
                                                                {"userId", "100234"},
                                                                {"roleType", "1"},
                                                                {"enterType", "1"},
                                                                {"periodId", "7788"},
                                                                {"deviceUid", "00-1A-2B-3C-4D-5E"},
                                                                {"v", "1.5.7"},
                                                                {"p", "6"},
                                                                {"systemVersion", "Linux 6.1"},
                                                                {"c", "1"}}
                                                << "9kvqkx$%$9#47kw2!m";
        // 'i' (0x69) and U+00E9 differ only in bit 7.
        QTest::newRow("bit 7 unused, ASCII")
            << ApiParamList{{"a", "aaaaaaaa"}, {"b", "i1234567"}} << "7kvqv!vwv2vmv#vx7v";
        QTest::newRow("bit 7 unused, Latin-1")
            << ApiParamList{{"a", "aaaaaaaa"}, {"b", QString::fromUtf8("\u00e91234567")}} << "7kvqv!vwv2vmv#vx7v";
        QTest::newRow("values in key order")
            << ApiParamList{{"a", "AAAAAAAAAAAA"}, {"b", "BBBB"}} << "qqqqqqqqq!q!q!q!k#";
        QTest::newRow("renamed key moves its value")
            << ApiParamList{{"c", "AAAAAAAAAAAA"}, {"b", "BBBB"}} << "q!q!q!q!qqqqqqqqk#";
    }

    void signsRequests()
    {
        QFETCH(ApiParamList, params);
        QFETCH(QString, expected);
        const ApiParamList before = params;
        QCOMPARE(makeRequestSign(params, requestSignAlphabet()), expected);
        QCOMPARE(params, before);

        // Neither the order of the pairs nor the case of the keys' letters changes the signature.
        ApiParamList reordered = params;
        std::reverse(reordered.begin(), reordered.end());
        for (KeyValuePair& pair : reordered)
            pair.first = pair.first.toUpper();
        QCOMPARE(makeRequestSign(reordered, requestSignAlphabet()), expected);
    }

    void usesTheGivenAlphabet()
    {
        QCOMPARE(requestSignAlphabet(), QByteArray("q7w!m2x#k9v$p4z%"));
        const ApiParamList params{{"a", "ABCDEFGH"}, {"b", "12345678"}};
        // 0x70: symbols 'e' and '0'; S = 8 * 'e' = 808 -> [8], [2].
        QCOMPARE(makeRequestSign(params, "0123456789abcdef"), QString("e0e0e0e0e0e0e0e082"));
    }

    void refusesAShortAlphabet()
    {
        QTest::ignoreMessage(QtWarningMsg, "makeRequestSign alphabet too short: 4");
        QCOMPARE(makeRequestSign({{"a", "b"}}, "abcd"), QString());
    }

    void signsPageAddresses_data()
    {
        QTest::addColumn<ApiParamList>("params");
        QTest::addColumn<QString>("expected");

        QTest::newRow("lesson parameters with mr")
            << ApiParamList{{"identity", "1"},   {"userId", "123456"}, {"lessonId", "987"},
                            {"periodId", "555"}, {"partId", "2"},      {"mr", "1"}}
            << "/1/123456/987/555/2?sign=2963792d8127f6d0e5ecf4477069b43d&t=1700000000000&appversion=1.5.7&mr=1";
        QTest::newRow("autoplay first")
            << ApiParamList{{"autoplay", "1"}, {"identity", "2"}, {"userId", "42"},
                            {"lessonId", "9"}, {"periodId", "8"}, {"partId", "0"}}
            << "/2/42/9/8/0?sign=ad4e66e4c9d1f1304fd83989c73f3471&t=1700000000000&autoplay=1&appversion=1.5.7";
        QTest::newRow("empty autoplay and mr are signed but not sent")
            << ApiParamList{{"identity", "1"}, {"autoplay", ""}, {"userId", "7"}, {"mr", ""}}
            << "/1/7?sign=aa93af4f415bb08f77cfa4613192136d&t=1700000000000&appversion=1.5.7";
        QTest::newRow("no parameters") << ApiParamList{}
                                       << "?sign=afa322cab3d80f71901ff31cffd57aa4&t=1700000000000&appversion=1.5.7";
    }

    void signsPageAddresses()
    {
        QFETCH(ApiParamList, params);
        QFETCH(QString, expected);
        QCOMPARE(UrlSigner::signQuery(params, "1700000000000", "1.5.7"), expected);
    }

    void signsWithTheCurrentTimeAndProgramVersion()
    {
        const ApiParamList params{{"identity", "1"}, {"userId", "5"}, {"mr", "2"}};
        const qint64 before = QDateTime::currentSecsSinceEpoch() * 1000;
        const QString tail = UrlSigner::signQuery(params);
        const qint64 after = QDateTime::currentSecsSinceEpoch() * 1000;

        const QRegularExpressionMatch match = QRegularExpression("&t=([0-9]+)&").match(tail);
        QVERIFY2(match.hasMatch(), qPrintable(tail));
        const QString stamp = match.captured(1);
        QVERIFY(stamp.endsWith("000"));
        QVERIFY(stamp.toLongLong() >= before && stamp.toLongLong() <= after);
        QVERIFY(!getExeFileVersion(3).isEmpty());
        QCOMPARE(tail, UrlSigner::signQuery(params, stamp, getExeFileVersion(3)));
    }

    // The signing text is logged in its shape, with the secret it ends in masked; the signature is not changed.
    void signingSecretStaysOutOfTheLog()
    {
        ZmTest::LogCapture log;
        const QString tail = UrlSigner::signQuery({{"identity", "1"}, {"userId", "7"}}, "1700000000000", "1.5.7");
        QCOMPARE(tail, QString("/1/7?sign=a9673f649f82a6853a69176b8d764ba0&t=1700000000000&appversion=1.5.7"));
        QCOMPARE(log.lines(),
                 (QStringList{"UrlSigner::md5Digest md5 source appversion1.5.7identity1t1700000000000userId7***",
                              "UrlSigner::md5Digest md5 dst a9673f649f82a6853a69176b8d764ba0"}));
        QVERIFY(!log.text().contains("3f9a71c2e8b04d5a96c1e7f20b8d4a6e"));
    }

    void digestsLowBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("hex");

        QTest::newRow("empty") << "" << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("abc") << "abc" << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        // U+0161 narrows to 0x61, "a".
        QTest::newRow("high byte dropped")
            << QString::fromUtf8("\u0161") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    }

    void digestsLowBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, hex);
        const QByteArray digest = UrlSigner::md5Digest(text);
        QCOMPARE(digest.size(), 16);
        QCOMPARE(digest.toHex(), hex);
    }
};

ZM_TEST_MAIN_CORE(TestSigning)
#include "tst_signing.moc"
