#include "app/JsonPath.h"

#include "ZmTestMain.h"

#include <QJsonDocument>

namespace {

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

const char kReply[] = R"({
    "data": {"id": 42, "lessonInfo": {"lessonId": "L-7", "title": "x/y"}, "list": [1, 2, 3]},
    "a": {"b": true, "f": false, "n": 0.5, "big": 1234567, "huge": 123456789, "neg": -0.25,
          "round": 100000, "million": 1000000, "nothing": null, "empty": "", "obj": {}},
    "num": 7,
    "text": "plain",
    "\u00e9t\u00e9": {"cl\u00e9": "fr"}
})";

} // namespace

class TestJsonPath : public QObject
{
    Q_OBJECT

private slots:
    void readsValuesAsText_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nested number") << QByteArray("data/id") << "42";
        QTest::newRow("missing key reads as null") << QByteArray("data/name") << "0";
        QTest::newRow("object gives empty") << QByteArray("data") << "";
        QTest::newRow("empty path") << QByteArray("") << "";
        QTest::newRow("path of slashes only") << QByteArray("//") << "";
        QTest::newRow("array gives empty") << QByteArray("data/list") << "";
        QTest::newRow("deep string") << QByteArray("data/lessonInfo/lessonId") << "L-7";
        QTest::newRow("slash inside a value") << QByteArray("data/lessonInfo/title") << "x/y";
        QTest::newRow("true") << QByteArray("a/b") << "1";
        QTest::newRow("false") << QByteArray("a/f") << "0";
        QTest::newRow("fraction") << QByteArray("a/n") << "0.5";
        QTest::newRow("seven digits") << QByteArray("a/big") << "1.23457e+06";
        QTest::newRow("nine digits") << QByteArray("a/huge") << "1.23457e+08";
        QTest::newRow("negative fraction") << QByteArray("a/neg") << "-0.25";
        QTest::newRow("six digits stay whole") << QByteArray("a/round") << "100000";
        QTest::newRow("one million") << QByteArray("a/million") << "1e+06";
        QTest::newRow("null") << QByteArray("a/nothing") << "0";
        QTest::newRow("empty string") << QByteArray("a/empty") << "";
        QTest::newRow("empty object") << QByteArray("a/obj") << "";
        QTest::newRow("double slash") << QByteArray("a//b") << "1";
        QTest::newRow("outer slashes") << QByteArray("/a/b/") << "1";
        QTest::newRow("missing key in the middle") << QByteArray("nope/b") << "0";
        QTest::newRow("through a number") << QByteArray("num/x") << "0";
        QTest::newRow("through a string") << QByteArray("text/x") << "0";
        QTest::newRow("through an array") << QByteArray("data/list/0") << "0";
        QTest::newRow("UTF-8 keys") << QByteArray("\xc3\xa9t\xc3\xa9/cl\xc3\xa9") << "fr";
        QTest::newRow("keys are case-sensitive") << QByteArray("DATA/id") << "0";
    }

    void readsValuesAsText()
    {
        QFETCH(QByteArray, path);
        QFETCH(QString, expected);
        const JsonPath reader(parse(kReply));
        const QString text = reader.string(path.toStdString());
        QCOMPARE(text, expected);
        QVERIFY(!text.isNull() || expected.isEmpty());
    }

    void valueAtGivesRawValues()
    {
        const JsonPath reader(parse(kReply));
        QVERIFY(reader.valueAt("").isNull());
        QVERIFY(reader.valueAt("data/name").isNull());
        QVERIFY(reader.valueAt("num/x").isNull());
        QCOMPARE(reader.valueAt("data/lessonInfo").toObject().value("lessonId").toString(), QString("L-7"));
        QCOMPARE(reader.valueAt("a/huge").toDouble(), 123456789.0);
    }

    void readsArrays()
    {
        const JsonPath reader(parse(kReply));
        const QJsonArray list = reader.array("data/list");
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(2).toInt(), 3);
        QVERIFY(reader.array("data/id").isEmpty());
        QVERIFY(reader.array("data/missing").isEmpty());
        QVERIFY(reader.array("").isEmpty());
    }

    void keepsItsOwnCopyOfTheRoot()
    {
        QJsonObject root = parse(R"({"k": "before"})");
        const JsonPath reader(root);
        root.insert("k", "after");
        QCOMPARE(reader.string("k"), QString("before"));
    }

    void splitsPaths_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QStringList>("keys");

        QTest::newRow("empty") << QByteArray("") << QStringList();
        QTest::newRow("slashes only") << QByteArray("///") << QStringList();
        QTest::newRow("one key") << QByteArray("abc") << QStringList{"abc"};
        QTest::newRow("three keys") << QByteArray("data/lessonInfo/lessonId")
                                    << QStringList{"data", "lessonInfo", "lessonId"};
        QTest::newRow("empty pieces vanish") << QByteArray("/a//b/") << QStringList{"a", "b"};
        QTest::newRow("ends at NUL") << QByteArray("a/b\0c/d", 7) << QStringList{"a", "b"};
    }

    void splitsPaths()
    {
        QFETCH(QByteArray, path);
        QFETCH(QStringList, keys);
        QStringList actual;
        for (const std::string& key : splitJsonPath(std::string(path.constData(), size_t(path.size()))))
            actual << QString::fromStdString(key);
        QCOMPARE(actual, keys);
    }

    void convertsEveryType()
    {
        QCOMPARE(jsonValueToText(QJsonValue(QJsonValue::Undefined)), QString());
        QCOMPARE(jsonValueToText(QJsonValue(QJsonValue::Null)), QString("0"));
        QCOMPARE(jsonValueToText(QJsonArray{1, 2}), QString());
        QCOMPARE(jsonValueToText(QJsonObject{{"a", 1}}), QString());
        QCOMPARE(jsonValueToText(true), QString("1"));
        QCOMPARE(jsonValueToText(2.0), QString("2"));
        QCOMPARE(jsonValueToText(QString("s")), QString("s"));
    }
};

ZM_TEST_MAIN_CORE(TestJsonPath)
#include "tst_jsonpath.moc"
