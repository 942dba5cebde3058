#include "app/StringUtil.h"

#include "ZmTestMain.h"

#include <algorithm>
#include <limits>

class TestStringUtil : public QObject
{
    Q_OBJECT

private slots:
    void ordersKeysIgnoringAsciiCase_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("less");

        QTest::newRow("a before B") << "a"
                                    << "B" << true;
        QTest::newRow("B after a") << "B"
                                   << "a" << false;
        QTest::newRow("A before b") << "A"
                                    << "b" << true;
        QTest::newRow("same letter, other case") << "a"
                                                 << "A" << false;
        QTest::newRow("same letter, other case, reversed") << "A"
                                                           << "a" << false;
        QTest::newRow("prefix first") << "abc"
                                      << "ABCD" << true;
        QTest::newRow("longer after prefix") << "ABCD"
                                             << "abc" << false;
        QTest::newRow("empty before anything") << ""
                                               << "a" << true;
        QTest::newRow("empty not before empty") << ""
                                                << "" << false;
        // Lower-casing decides: 'A' (0x41) would sort before '_' (0x5F), 'a' (0x61) does not.
        QTest::newRow("underscore before A") << "_"
                                             << "A" << true;
        QTest::newRow("Z after [") << "Z"
                                   << "[" << false;
        QTest::newRow("bracket before Z") << "["
                                          << "Z" << true;
        QTest::newRow("userId before v") << "userId"
                                         << "v" << true;
        QTest::newRow("FuncTag before lessonId") << "FuncTag"
                                                 << "lessonId" << true;
        // Only ASCII letters are lower-cased: U+00C9 stays below U+00E9.
        QTest::newRow("Latin-1 capital stays") << "\u00c9"
                                               << "\u00e9" << true;
        QTest::newRow("by code unit beyond Latin-1") << "\u00ff"
                                                     << "\u4e2d" << true;
    }

    void ordersKeysIgnoringAsciiCase()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(bool, less);
        QCOMPARE(StringUtil::keyLessNoCase({left, "x"}, {right, "y"}), less);
    }

    void sortsParameterListsByKey()
    {
        QVector<KeyValuePair> pairs{{"b", "1"}, {"A", "2"}, {"a", "3"}, {"B", "4"}, {"_", "5"}, {"Z", "6"}, {"[", "7"}};
        std::stable_sort(pairs.begin(), pairs.end(), StringUtil::keyLessNoCase);
        QStringList values;
        for (const KeyValuePair& pair : pairs)
            values << pair.second;
        QCOMPARE(values, (QStringList{"7", "5", "2", "3", "1", "4", "6"}));
    }

    void readsDecimalNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("value");

        QTest::newRow("42") << "42" << 42;
        QTest::newRow("negative") << "-17" << -17;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("trailing letters") << "12abc" << 0;
        QTest::newRow("hexadecimal is not decimal") << "0x1F" << 0;
        QTest::newRow("largest") << "2147483647" << std::numeric_limits<qint32>::max();
        QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<qint32>::min();
        QTest::newRow("too large") << "2147483648" << 0;
        QTest::newRow("too small") << "-2147483649" << 0;
        QTest::newRow("far too large") << "99999999999999999999" << 0;
    }

    void readsDecimalNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint32, value);
        QCOMPARE(StringUtil::wstringToLong(text), value);
    }

    void narrowsToLowBytes()
    {
        QCOMPARE(StringUtil::lowBytes(QString()), QByteArray());
        QCOMPARE(StringUtil::lowBytes("abc"), QByteArray("abc"));
        QCOMPARE(StringUtil::lowBytes(QString::fromUtf8("\u00e9\u4e2d\u0161")), QByteArray("\xe9\x2d\x61"));
    }
};

ZM_TEST_MAIN_CORE(TestStringUtil)
#include "tst_stringutil.moc"
