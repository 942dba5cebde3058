// The options of a start applied to the application data and the URL configuration, the parameter check and the
// start status.
#include "app/AppGlobalData.h"
#include "app/CommandLine.h"
#include "app/LaunchOptions.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"

#include "LogCapture.h"
#include "ZmTestMain.h"

namespace {

struct ExchangeCall
{
    QString userId;
    QString tokenText;
};

// Records the exchanges and answers with a fixed token (empty: the exchange failed).
struct FakeExchange
{
    QList<ExchangeCall> calls;
    QString answer = QStringLiteral("exchanged-token");

    LaunchOptions::TokenExchange function()
    {
        return [this](const QString& userId, const QString& tokenText) {
            calls.append({userId, tokenText});
            return answer;
        };
    }
};

// The option texts of one command-line argument.
QStringList options(const QString& argument)
{
    QStringList list{"--/opt/zm/ZmQuillo_Desktop"};
    splitOptionText(argument, list);
    return list;
}

// The option texts of a link handed to the running copy, as the application object reads them.
QStringList linkOptions(const QString& link)
{
    const QStringList pieces = splitOpenedLink(link);
    return normalizeArguments(pieces.size(), pieces);
}

const QString kIgnoredLinkAddress = QStringLiteral("ZmApplication::parseCommandLine ignores --urlapi from a link");

} // namespace

class TestLaunchOptions : public QObject
{
    Q_OBJECT

private slots:
    void appliesEveryOption()
    {
        AppGlobalData data;
        UrlConfig urls;
        FakeExchange exchange;
        LaunchOptions parser;
        parser.parse(options("--web_mode=test --urlmain=http://m.example/home?x=1 --urlapi=http://127.0.0.1:9 "
                             "--urlrestful=http://127.0.0.1:8 --urlwb=http://wb.example --urlpwb=http://pwb.example "
                             "--uid=100234 --token=\"abc=\" --accounttype=1 --teachtype=2 --classtype=5 "
                             "--lessonid=880213 --periodid=20240611093 --lessonname=Unit%203 "
                             "--media1=m1 --media1start=1 --media1dur=2 --media2=m2 --media2start=3 --media2dur=4 "
                             "--apptype=joinclass --sharescreen720pbitrate=900 --stopmic_teacherleaved_m=60"),
                     data, urls, exchange.function());

        const LaunchInfo& launch = data.launch;
        QCOMPARE(launch.webMode, QString("test"));
        QCOMPARE(urls.mainRoom, QString("http://m.example/home?x=1"));
        QCOMPARE(urls.api, QString("http://127.0.0.1:9"));
        QCOMPARE(urls.restful, QString("http://127.0.0.1:8"));
        QCOMPARE(urls.whiteboard, QString("http://wb.example"));
        QCOMPARE(urls.playbackWhiteboard, QString("http://pwb.example"));
        QCOMPARE(launch.userId, QString("100234"));
        QCOMPARE(exchange.calls.size(), 1);
        QCOMPARE(exchange.calls.at(0).userId, QString("100234"));
        QCOMPARE(exchange.calls.at(0).tokenText, QString("abc=")); // quotes removed, the trailing "=" kept
        QCOMPARE(launch.token, QString("exchanged-token"));
        QCOMPARE(launch.accountType, 1);
        QCOMPARE(launch.teachType, 2);
        QCOMPARE(launch.classType, 5);
        QCOMPARE(launch.uiType, 2);
        QCOMPARE(data.lesson.lessonId, QString("880213"));
        QCOMPARE(data.lesson.periodId, QString("20240611093"));
        QCOMPARE(data.lesson.lessonName, QString("Unit 3"));
        QCOMPARE(launch.media1, QString("m1"));
        QCOMPARE(launch.media1start, QString("1"));
        QCOMPARE(launch.media1dur, QString("2"));
        QCOMPARE(launch.media2, QString("m2"));
        QCOMPARE(launch.media2start, QString("3"));
        QCOMPARE(launch.media2dur, QString("4"));
        QCOMPARE(launch.appType, int(AppType_JoinClass));
        QCOMPARE(launch.startAppType, int(AppType_JoinClass));
        QCOMPARE(launch.shareScreen720pBitrate, 900);
        QCOMPARE(launch.stopMicTeacherLeft, 60);
    }

    void absentOptionsChangeNothing()
    {
        AppGlobalData data;
        data.launch.userId = "5";
        data.launch.token = "earlier";
        data.launch.accountType = 3;
        data.launch.appType = AppType_Playback;
        data.lesson.lessonName = "kept";
        UrlConfig urls;
        urls.api = "http://kept.example";
        FakeExchange exchange;
        LaunchOptions parser;
        parser.parse(options("--lessonid=1"), data, urls, exchange.function());

        QCOMPARE(data.launch.userId, QString("5"));
        QCOMPARE(data.launch.token, QString("earlier"));
        QCOMPARE(data.launch.accountType, 3);
        QCOMPARE(data.launch.appType, int(AppType_Playback));
        QCOMPARE(data.lesson.lessonName, QString("kept"));
        QCOMPARE(urls.api, QString("http://kept.example"));
        QCOMPARE(data.launch.webMode, QString("production"));
        QCOMPARE(data.launch.shareScreen720pBitrate, 1200);
        QVERIFY(exchange.calls.isEmpty());
    }

    void credentials_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("tokenText"); // empty: no exchange

        QTest::newRow("uid and token") << "--uid=7 --token=t1"
                                       << "7"
                                       << "t1";
        QTest::newRow("auth pair wins") << "--uid=7 --token=t1 --authuserid=8 --authtoken=t2"
                                        << "8"
                                        << "t2";
        QTest::newRow("auth user id without auth token falls back") << "--authuserid=8 --uid=7 --token=t1"
                                                                    << "7"
                                                                    << "t1";
        QTest::newRow("auth token without auth user id falls back") << "--authtoken=t2 --uid=7 --token=t1"
                                                                    << "7"
                                                                    << "t1";
        QTest::newRow("quotes removed") << "--uid=7 --token=\"a\"b\""
                                        << "7"
                                        << "ab";
        QTest::newRow("percent-encoded token") << "--uid=7 --token=a%2Bb%3D"
                                               << "7"
                                               << "a+b=";
        QTest::newRow("mixed-case names") << "--UID=7 --Token=t1"
                                          << "7"
                                          << "t1";
        QTest::newRow("uid alone: nothing") << "--uid=7"
                                            << ""
                                            << "";
        QTest::newRow("token alone: nothing") << "--token=t1"
                                              << ""
                                              << "";
        QTest::newRow("empty token: no exchange") << "--uid=7 --token=\"\""
                                                  << "7"
                                                  << "";
    }

    void credentials()
    {
        QFETCH(QString, argument);
        QFETCH(QString, userId);
        QFETCH(QString, tokenText);
        AppGlobalData data;
        data.launch.token = "earlier";
        UrlConfig urls;
        FakeExchange exchange;
        LaunchOptions parser;
        parser.parse(options(argument), data, urls, exchange.function());

        QCOMPARE(data.launch.userId, userId);
        if (tokenText.isEmpty()) {
            QVERIFY(exchange.calls.isEmpty());
            QCOMPARE(data.launch.token, QString("earlier"));
        } else {
            QCOMPARE(exchange.calls.size(), 1);
            QCOMPARE(exchange.calls.at(0).tokenText, tokenText);
            QCOMPARE(data.launch.token, QString("exchanged-token"));
        }
    }

    void failedExchangeLeavesNoToken()
    {
        AppGlobalData data;
        data.launch.token = "earlier";
        UrlConfig urls;
        FakeExchange exchange;
        exchange.answer.clear();
        LaunchOptions parser;
        parser.parse(options("--uid=7 --token=t1"), data, urls, exchange.function());
        QCOMPARE(data.launch.token, QString());
        QCOMPARE(data.launch.userId, QString("7"));
    }

    void numbersAndAppType_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("uiType");
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("bitrate");

        // Start values: account 3, teach type and ui type 1, app type 2, bit rate 1200.
        QTest::newRow("valid") << "--accounttype=2 --teachtype=3 --apptype=joinclass --sharescreen720pbitrate=800" << 2
                               << 3 << 1 << 800;
        QTest::newRow("not numbers") << "--accounttype=x --teachtype=two --sharescreen720pbitrate=fast" << 3 << 1 << 2
                                     << 0;
        QTest::newRow("teach type out of range keeps the ui type") << "--teachtype=5" << 3 << 1 << 2 << 1200;
        QTest::newRow("playback") << "--apptype=playback" << 3 << 1 << 2 << 1200;
        QTest::newRow("app type is case-sensitive") << "--apptype=JoinClass" << 3 << 1 << 0 << 1200;
        QTest::newRow("empty app type") << "--apptype=" << 3 << 1 << 0 << 1200;
    }

    void numbersAndAppType()
    {
        QFETCH(QString, argument);
        AppGlobalData data;
        data.launch.accountType = 3;
        data.launch.teachType = 1;
        data.launch.uiType = 1;
        data.launch.appType = AppType_Playback;
        data.launch.startAppType = AppType_Playback;
        UrlConfig urls;
        LaunchOptions parser;
        parser.parse(options(argument), data, urls, {});

        QTEST(data.launch.accountType, "accountType");
        QTEST(data.launch.uiType, "uiType");
        QTEST(data.launch.appType, "appType");
        QTEST(data.launch.startAppType, "appType");
        QTEST(data.launch.shareScreen720pBitrate, "bitrate");
    }

    // Every parse starts a new table: a later link's options replace the earlier ones.
    void everyParseRebuildsTheTable()
    {
        AppGlobalData data;
        UrlConfig urls;
        LaunchOptions parser;
        parser.parse(options("--accounttype=1 --uitype=9"), data, urls, {});
        QCOMPARE(parser.options().value("--uitype"), QString("9"));
        parser.parse(options("--lessonid=2"), data, urls, {});
        QVERIFY(!parser.options().contains("--uitype"));
        QCOMPARE(parser.options().value("--lessonid"), QString("2"));
        QCOMPARE(data.launch.accountType, 1);
    }

    // A link may point the API only at an origin the program has configured already: the settings (here the API
    // address), the built-in defaults or the command line outside the link (here the RESTful address). The same
    // link is tried as the argument of a start and as a link handed to the running copy, which decodes it once
    // more. Everything else the link says still applies.
    void linkAddresses_data()
    {
        QTest::addColumn<QString>("option"); // as a web page writes it into the link
        QTest::addColumn<bool>("usedAtStart");
        QTest::addColumn<bool>("usedHandedOver");

        QTest::newRow("configured origin, other path")
            << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%3A9000%2Fv2" << true << true;
        QTest::newRow("not encoded") << "--urlapi=http://127.0.0.1:9000/v2" << true << true;
        QTest::newRow("origin of the command line's RESTful address")
            << "--urlapi%3Dhttps%3A%2F%2Fsvc.example%3A8443%2Fv2" << true << true;
        QTest::newRow("origin of a built-in default")
            << "--urlapi%3Dhttp%3A%2F%2Fapi.zmquillo.example%2Fv2" << true << true;
        QTest::newRow("scheme and host in capitals")
            << "--urlapi%3DHTTP%3A%2F%2FAPI.ZMQUILLO.Example%2Fv2" << true << true;
        QTest::newRow("default port written out")
            << "--urlapi%3Dhttp%3A%2F%2Fapi.zmquillo.example%3A80%2Fv2" << true << true;
        QTest::newRow("port with a leading zero") << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%3A09000%2Fv2" << true << true;
        QTest::newRow("other host") << "--urlapi%3Dhttp%3A%2F%2Fevil.example%3A9000%2Fv2" << false << false;
        QTest::newRow("other port") << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%3A9001%2Fv2" << false << false;
        QTest::newRow("other scheme") << "--urlapi%3Dhttps%3A%2F%2F127.0.0.1%3A9000%2Fv2" << false << false;
        QTest::newRow("https port under http")
            << "--urlapi%3Dhttp%3A%2F%2Fapi.zmquillo.example%3A443%2Fv2" << false << false;
        QTest::newRow("host named in the user info")
            << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%3A9000%40evil.example%2Fv2" << false << false;
        QTest::newRow("user info before the configured host")
            << "--urlapi%3Dhttp%3A%2F%2Fevil%40127.0.0.1%3A9000%2Fv2" << false << false;
        QTest::newRow("back-slash before the user info")
            << "--urlapi%3Dhttp%3A%2F%2Fevil.example%5C%40127.0.0.1%3A9000%2Fv2" << false << false;
        QTest::newRow("tab inside the port")
            << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%3A9000%09.evil.example%2Fv2" << false << false;
        QTest::newRow("percent escape left in the host")
            << "--urlapi%3Dhttp%3A%2F%2F127.0.0.1%25252Eevil.example%3A9000%2Fv2" << false << false;
        QTest::newRow("full-width digits")
            << "--urlapi%3Dhttp%3A%2F%2F%EF%BC%91%EF%BC%92%EF%BC%97.0.0.1%3A9000%2Fv2" << false << false;
        QTest::newRow("no scheme") << "--urlapi%3D%2F%2F127.0.0.1%3A9000%2Fv2" << false << false;
        QTest::newRow("empty") << "--urlapi%3D" << false << false;
        QTest::newRow("option name in capitals") << "--URLAPI%3Dhttp%3A%2F%2Fevil.example%2Fv2" << false << false;
        QTest::newRow("option name encoded") << "--%75rlapi%3Dhttp%3A%2F%2Fevil.example%2Fv2" << false << false;
        // Decoded once more when handed over, the value only then reads as the configured origin.
        QTest::newRow("encoded twice") << "--urlapi%3Dhttp%253A%252F%252F127.0.0.1%253A9000%252Fv2" << false << true;
    }

    void linkAddresses()
    {
        QFETCH(QString, option);
        QFETCH(bool, usedAtStart);
        QFETCH(bool, usedHandedOver);
        const QString configured = QStringLiteral("http://127.0.0.1:9000");
        const QString link = QStringLiteral("zmquillo://join?") + option + QStringLiteral("%20--lessonid%3D7");
        const QByteArray linkArgument = link.toUtf8();
        const char* argv[] = {"/opt/zm/ZmQuillo_Desktop", "--urlrestful=https://svc.example:8443/rest",
                              linkArgument.constData()};

        for (const bool atStart : {true, false}) {
            const QByteArray path = atStart ? "at start" : "handed over";
            ZmTest::LogCapture log;
            AppGlobalData data;
            UrlConfig urls;
            urls.api = configured;
            LaunchOptions parser;
            if (atStart) {
                parser.parse(buildArgumentList(3, argv), data, urls, {}, linkOptionMarks(3, argv));
            } else {
                parser.parse(buildArgumentList(2, argv), data, urls, {}, linkOptionMarks(2, argv));
                const QStringList options = linkOptions(link);
                parser.parse(options, data, urls, {}, QVector<bool>(options.size(), true));
            }
            const bool used = atStart ? usedAtStart : usedHandedOver;
            QVERIFY2((urls.api != configured) == used, path + ": " + urls.api.toUtf8());
            if (used)
                QVERIFY2(urls.api.endsWith("/v2"), path + ": " + urls.api.toUtf8());
            QCOMPARE(log.linesContaining(kIgnoredLinkAddress).size(), used ? 0 : 1);
            QCOMPARE(urls.restful, QString("https://svc.example:8443/rest"));
            QCOMPARE(data.lesson.lessonId, QString("7"));
        }
    }

    // Every address option of a link is held to the configured origins; the command line's addresses stay trusted
    // for the links of the whole run.
    void linkAddressesOfEveryOption()
    {
        ZmTest::LogCapture log;
        AppGlobalData data;
        UrlConfig urls;
        const UrlConfig defaults;
        LaunchOptions parser;
        parser.parse(options("--urlapi=http://10.0.0.1:8000"), data, urls, {});

        const QStringList foreign = linkOptions(
            "zmquillo://x?--urlmain=http://evil.example/ --urlapi=http://evil.example --urlrestful=http://evil.example "
            "--urlwb=http://evil.example/wb --urlpwb=http://evil.example/pwb --web_mode=staging");
        parser.parse(foreign, data, urls, {}, QVector<bool>(foreign.size(), true));
        QCOMPARE(urls.mainRoom, defaults.mainRoom);
        QCOMPARE(urls.api, QString("http://10.0.0.1:8000"));
        QCOMPARE(urls.restful, defaults.restful);
        QCOMPARE(urls.whiteboard, defaults.whiteboard);
        QCOMPARE(urls.playbackWhiteboard, defaults.playbackWhiteboard);
        QCOMPARE(log.linesContaining("from a link: its origin http://evil.example:80 is not one").size(), 5);
        QCOMPARE(data.launch.webMode, QString("staging"));

        const QStringList trusted =
            linkOptions("zmquillo://x?--urlrestful=http://10.0.0.1:8000/r --urlwb=http://www.zmquillo.example/wb");
        parser.parse(trusted, data, urls, {}, QVector<bool>(trusted.size(), true));
        QCOMPARE(urls.restful, QString("http://10.0.0.1:8000/r"));
        QCOMPARE(urls.whiteboard, QString("http://www.zmquillo.example/wb"));
    }

    void checkParams_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("errors");

        QTest::newRow("no app type") << "--uid=7" << true << QStringList{};
        QTest::newRow("unknown app type passes") << "--apptype=JoinClass" << true << QStringList{};
        QTest::newRow("join without account type")
            << "--apptype=joinclass --teachtype=1" << false << QStringList{"--accounttype = "};
        QTest::newRow("account type not a number")
            << "--apptype=joinclass --accounttype=pupil --teachtype=1" << false << QStringList{"--accounttype = pupil"};
        QTest::newRow("join with account and class kind")
            << "--apptype=joinclass --accounttype=1 --teachtype=2" << true << QStringList{};
        QTest::newRow("playback with teach type 5")
            << "--apptype=playback --accounttype=1 --teachtype=5" << false << QStringList{"--uitype = "};
        QTest::newRow("ui type option shown as given")
            << "--apptype=playback --accounttype=1 --uitype=4" << false << QStringList{"--uitype = 4"};
    }

    void checkParams()
    {
        QFETCH(QString, argument);
        AppGlobalData data;
        UrlConfig urls;
        LaunchOptions parser;
        parser.parse(options(argument), data, urls, {});
        QTEST(parser.checkParams(data.launch), "ok");
        QTEST(parser.errors(), "errors");
    }

    void startStatus_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("uiType");
        QTest::addColumn<int>("status");

        for (int uiType : {0, 1, 2, 3, 4})
            QTest::addRow("no app type, ui type %d", uiType) << 0 << uiType << int(AppStartStatus_MainRoom);
        QTest::newRow("join normal") << 1 << 1 << int(AppStartStatus_NormalClassRoom);
        QTest::newRow("join small") << 1 << 2 << int(AppStartStatus_SmallClassRoom);
        QTest::newRow("join public") << 1 << 3 << int(AppStartStatus_PublicClassRoom);
        QTest::newRow("join unknown kind") << 1 << 0 << int(AppStartStatus_None);
        QTest::newRow("replay normal") << 2 << 1 << int(AppStartStatus_NormalClassReplay);
        QTest::newRow("replay small") << 2 << 2 << int(AppStartStatus_SmallClassReplay);
        QTest::newRow("replay public") << 2 << 3 << int(AppStartStatus_PublicClassReplay);
        QTest::newRow("replay unknown kind") << 2 << 4 << int(AppStartStatus_None);
        QTest::newRow("other app type") << 7 << 2 << int(AppStartStatus_MainRoom);
    }

    void startStatus()
    {
        QFETCH(int, appType);
        QFETCH(int, uiType);
        QTEST(LaunchOptions::startStatusFor(appType, uiType), "status");
    }

    // One argument with app type, teach type and account type starts the small class room.
    void oneArgumentStartsTheSmallClassRoom()
    {
        AppGlobalData data;
        UrlConfig urls;
        LaunchOptions parser;
        parser.parse(options("--apptype=joinclass --teachtype=2 --accounttype=1"), data, urls, {});
        QVERIFY(parser.checkParams(data.launch));
        QCOMPARE(LaunchOptions::startStatusFor(data.launch.appType, data.launch.uiType),
                 int(AppStartStatus_SmallClassRoom));
    }
};

ZM_TEST_MAIN_CORE(TestLaunchOptions)
#include "tst_launchoptions.moc"
