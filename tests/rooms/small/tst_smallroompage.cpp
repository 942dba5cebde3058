// What the small class room tells its page: the page address with its query, and the page's scales for the video
// profile and voice volumes.
#include "rooms/small/SmallRoomPage.h"

#include "ZmTestMain.h"

#include <QUrl>
#include <QUrlQuery>

class TestSmallRoomPage : public QObject
{
    Q_OBJECT

private slots:
    // A file address whose query holds the seven names in order, each value one whole value whatever it holds.
    void pageAddress_data()
    {
        QTest::addColumn<QString>("periodId");
        QTest::addColumn<int>("userId");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("webMode");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QString>("pageLanguage");

        QTest::newRow("pupil, English") << "20240611093" << 100234 << "token-1"
                                        << "production"
                                        << "/data/lessons/880213"
                                        << "en" << 1 << "en";
        QTest::newRow("teacher, Chinese") << "20240611093" << 300451 << "token-1"
                                          << "test"
                                          << "/data/lessons/880213"
                                          << "cn" << 2 << "zh-CN";
        QTest::newRow("other languages are English") << "1" << 100999 << "t"
                                                     << "production"
                                                     << "/data/lessons/1"
                                                     << "fr" << 3 << "en";
        QTest::newRow("nobody signed in") << "" << -1 << ""
                                          << ""
                                          << "/data/lessons/1"
                                          << "en" << 0 << "en";
        QTest::newRow("values with query characters") << "2024 06#11" << 7 << "a&b=c d+%/?#"
                                                      << "pre&mode=x"
                                                      << "/data/offline lessons/88 02&13#%"
                                                      << "en" << 1 << "en";
        QTest::newRow("non-Latin folder") << "1" << 7 << "t"
                                          << "production"
                                          << "/home/学生/lessons/880213"
                                          << "cn" << 1 << "zh-CN";
    }

    void pageAddress()
    {
        QFETCH(QString, periodId);
        QFETCH(int, userId);
        QFETCH(QString, token);
        QFETCH(QString, webMode);
        QFETCH(QString, folder);
        QFETCH(QString, language);
        QFETCH(int, accountType);
        QFETCH(QString, pageLanguage);

        SmallRoomPageQuery query;
        query.periodId = periodId;
        query.userId = userId;
        query.token = token;
        query.webMode = webMode;
        query.lessonFolder = folder;
        query.language = language;
        query.accountType = accountType;
        const QString page = QStringLiteral("/opt/zm quillo/offline/vroom/vroom.html");
        const QString address = smallRoomPageAddress(page, query);

        const QUrl url(address, QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(address));
        QCOMPARE(url.scheme(), QStringLiteral("file"));
        QCOMPARE(url.toLocalFile(), page);
        QVERIFY2(!url.hasFragment(), qPrintable(address));

        const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
        QStringList names;
        for (const auto& item : items)
            names << item.first;
        QCOMPARE(names, (QStringList{"periodId", "userId", "token", "mode", "ppt_path", "language", "accountType"}));
        QCOMPARE(items.at(0).second, periodId);
        QCOMPARE(items.at(1).second, QString::number(userId));
        QCOMPARE(items.at(2).second, token);
        QCOMPARE(items.at(3).second, webMode);
        const QUrl pptPath(items.at(4).second, QUrl::StrictMode);
        QCOMPARE(pptPath.scheme(), QStringLiteral("file"));
        QCOMPARE(pptPath.toLocalFile(), folder);
        QCOMPARE(items.at(5).second, pageLanguage);
        QCOMPARE(items.at(6).second, QString::number(accountType));

        // Without installed offline resources the address is the query alone.
        QVERIFY(smallRoomPageAddress(QString(), query).startsWith(QStringLiteral("?periodId=")));
    }

    // The page's picture heights that name a profile; every other size leaves the profile alone.
    void videoProfile_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("profile");
        QTest::newRow("120") << 120 << 0;
        QTest::newRow("240") << 240 << 20;
        QTest::newRow("480") << 480 << 40;
        QTest::newRow("360 is ignored") << 360 << -1;
        QTest::newRow("0 is ignored") << 0 << -1;
        QTest::newRow("a profile number is no size") << 20 << -1;
    }

    void videoProfile()
    {
        QFETCH(int, size);
        QFETCH(int, profile);
        QCOMPARE(smallRoomVideoProfile(size), profile);
    }

    // Engine volumes 0-255 on the page's 0-100, rounded down; values outside the engine's range stay in the page's.
    void pageVolume_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<int>("page");
        QTest::newRow("silence") << 0 << 0;
        QTest::newRow("loudest") << 255 << 100;
        QTest::newRow("rounded down") << 254 << 99;
        QTest::newRow("first step") << 3 << 1;
        QTest::newRow("below the range") << -40 << 0;
        QTest::newRow("above the range") << 70000 << 100;
    }

    void pageVolume()
    {
        QFETCH(int, engine);
        QFETCH(int, page);
        QCOMPARE(smallRoomPageVolume(engine), page);
    }
};

ZM_TEST_MAIN_CORE(TestSmallRoomPage)
#include "tst_smallroompage.moc"
