// What the home page's property writes do to the application data, without a browser: sign-in and sign-out, the
// lesson and replay to enter (ids with every digit, the account type's fallbacks, the replay's start status), and
// which addresses the page may have the desktop open.
#include "ZmTestMain.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "web/HomePageWrites.h"

#include <QJsonDocument>

namespace {

// The launch and lesson fields the writes touch, as one line.
QString state(const AppGlobalData& data)
{
    const LaunchInfo& launch = data.launch;
    return QStringLiteral("teach %1 class %2 ui %3 account %4 lesson %5 period %6 name %7 start %8")
        .arg(launch.teachType)
        .arg(launch.classType)
        .arg(launch.uiType)
        .arg(launch.accountType)
        .arg(data.lesson.lessonId, data.lesson.periodId, data.lesson.lessonName)
        .arg(launch.startAppType);
}

QString media(const LaunchInfo& launch)
{
    return QStringList{launch.media1, launch.media1start, launch.media1dur,
                       launch.media2, launch.media2start, launch.media2dur}
        .join(QLatin1Char('|'));
}

} // namespace

class TestHomePageWrites : public QObject
{
    Q_OBJECT

private:
    AppGlobalData m_data;

private slots:
    // A signed-in user of an earlier lesson: every write below starts from it.
    void init()
    {
        LaunchInfo& launch = m_data.launch;
        launch = LaunchInfo();
        launch.userId = "100234";
        launch.token = "old-token";
        launch.teachType = 1;
        launch.classType = 1;
        launch.uiType = 1;
        launch.accountType = 1;
        launch.media1 = "old.mp4";
        m_data.lesson = LessonInfo();
        m_data.lesson.lessonId = "1";
        m_data.lesson.periodId = "1";
        m_data.lesson.lessonName = "old";
    }

    void loginSuccess_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("token");

        QTest::newRow("true") << R"({"result":"true","userid":"300451","token":"t1"})" << true << "300451"
                              << "t1";
        QTest::newRow("any other text is true") << R"({"result":"yes","userid":"7"})" << true << "7"
                                                << "old-token";
        QTest::newRow("false stores the user but signs nobody in")
            << R"({"result":"false","userid":"7","token":"t2"})" << false << "7"
            << "t2";
        QTest::newRow("FALSE") << R"({"result":"FALSE"})" << false << "100234"
                               << "old-token";
        QTest::newRow("0") << R"({"result":"0","token":"t3"})" << false << "100234"
                           << "t3";
        QTest::newRow("empty") << R"({"result":""})" << false << "100234"
                               << "old-token";
        QTest::newRow("no result") << R"({"userid":"8"})" << false << "8"
                                   << "old-token";
        QTest::newRow("JSON true, user id as a number") << R"({"result":true,"userid":100871})" << true << "100871"
                                                        << "old-token";
        QTest::newRow("JSON false") << R"({"result":false})" << false << "100234"
                                    << "old-token";
        QTest::newRow("not JSON") << "signed in" << false << "100234"
                                  << "old-token";
        QTest::newRow("a JSON array") << R"(["result","true"])" << false << "100234"
                                      << "old-token";
        QTest::newRow("keys are case-sensitive") << R"({"Result":"true","UserId":"9"})" << false << "100234"
                                                 << "old-token";
    }

    void loginSuccess()
    {
        QFETCH(QString, text);
        QFETCH(bool, signedIn);
        QCOMPARE(HomePageWrites::applyLoginSuccess(text, m_data), signedIn);
        QTEST(m_data.launch.userId, "userId");
        QTEST(m_data.launch.token, "token");
    }

    void enterRoom_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("state");

        QTest::newRow("small class as a pupil")
            << R"({"teachType":2,"classType":2,"accountType":"1","lessonid":880213,"periodid":20240611094,)"
               R"("lessonname":"Unit 3"})"
            << "teach 2 class 2 ui 2 account 1 lesson 880213 period 20240611094 name Unit 3 start 1";
        QTest::newRow("no account type: teacher")
            << R"({"teachType":3,"classType":3,"lessonid":5,"periodid":6})"
            << "teach 3 class 3 ui 3 account 2 lesson 5 period 6 name old start 1";
        QTest::newRow("account type not a number: teacher")
            << R"({"teachType":1,"accountType":"abc"})"
            << "teach 1 class 1 ui 1 account 2 lesson 1 period 1 name old start 1";
        QTest::newRow("account type as a number")
            << R"({"accountType":3})"
            << "teach 1 class 1 ui 1 account 3 lesson 1 period 1 name old start 1";
        QTest::newRow("teach type as text") << R"({"teachType":"2","accountType":"1"})"
                                            << "teach 2 class 1 ui 2 account 1 lesson 1 period 1 name old start 1";
        QTest::newRow("unknown teach type keeps the ui type")
            << R"({"teachType":9,"accountType":"1"})"
            << "teach 9 class 1 ui 1 account 1 lesson 1 period 1 name old start 1";
        QTest::newRow("ids beyond 32 bits keep every digit")
            << R"({"accountType":"1","lessonid":9007199254740993,"periodid":4294967301})"
            << "teach 1 class 1 ui 1 account 1 lesson 9007199254740993 period 4294967301 name old start 1";
        QTest::newRow("ids as decimal text") << R"({"accountType":"1","lessonid":"880213","periodid":"2024061109"})"
                                             << "teach 1 class 1 ui 1 account 1 lesson 880213 period 2024061109 name "
                                                "old start 1";
        QTest::newRow("ids that are no whole numbers read 0")
            << R"({"accountType":"1","lessonid":1.5,"periodid":"12a"})"
            << "teach 1 class 1 ui 1 account 1 lesson 0 period 0 name old start 1";
        QTest::newRow("not JSON: only the start app type")
            << "{teachType:2"
            << "teach 1 class 1 ui 1 account 1 lesson 1 period 1 name old start 1";
    }

    void enterRoom()
    {
        QFETCH(QString, text);
        HomePageWrites::applyEnterRoom(text, m_data);
        QTEST(state(m_data), "state");
    }

    void enterReplayer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("media");

        const QString recorded = R"("media1":"t.mp4","media1start":"0","media1dur":"60000","media2":"s.mp4",)"
                                 R"("media2start":5000,"media2dur":"45000")";
        QTest::newRow("normal class") << "{\"teachType\":1,\"classType\":1,\"accountType\":1," + recorded + "}"
                                      << int(AppStartStatus_NormalClassReplay)
                                      << "teach 1 class 1 ui 1 account 1 lesson 1 period 1 name old start 2"
                                      << "t.mp4|0|60000|s.mp4|5000|45000";
        QTest::newRow("small class") << R"({"teachType":2,"classType":2,"lessonid":880213,"media1":"t.mp4"})"
                                     << int(AppStartStatus_SmallClassReplay)
                                     << "teach 2 class 2 ui 2 account 1 lesson 880213 period 1 name old start 2"
                                     << "t.mp4|||||";
        QTest::newRow("public class, account type as text")
            << R"({"teachType":3,"classType":3,"accountType":"3","periodid":4294967301})"
            << int(AppStartStatus_PublicClassReplay)
            << "teach 3 class 3 ui 3 account 3 lesson 1 period 4294967301 name old start 2"
            << "|||||";
        QTest::newRow("account type not a number reads 0")
            << R"({"teachType":1,"accountType":"x"})" << int(AppStartStatus_NormalClassReplay)
            << "teach 1 class 1 ui 1 account 0 lesson 1 period 1 name old start 2"
            << "|||||";
        QTest::newRow("unknown teach type: the stored ui type's replay")
            << R"({"teachType":0,"classType":0})" << int(AppStartStatus_NormalClassReplay)
            << "teach 0 class 0 ui 1 account 1 lesson 1 period 1 name old start 2"
            << "|||||";
        QTest::newRow("not JSON keeps the media") << "nothing" << int(AppStartStatus_NormalClassReplay)
                                                  << "teach 1 class 1 ui 1 account 1 lesson 1 period 1 name old start 2"
                                                  << "old.mp4|||||";
    }

    void enterReplayer()
    {
        QFETCH(QString, text);
        QTEST(HomePageWrites::applyEnterReplayer(text, m_data), "status");
        QTEST(state(m_data), "state");
        QTEST(media(m_data.launch), "media");
    }

    // A ui type outside 1 to 3 has no replay.
    void replayWithoutUiType()
    {
        m_data.launch.uiType = 0;
        QCOMPARE(HomePageWrites::applyEnterReplayer(R"({"teachType":7})", m_data), int(AppStartStatus_None));
        QCOMPARE(m_data.launch.startAppType, int(AppType_Playback));
    }

    void initFilePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("signedOut");
        QTest::newRow("true") << R"({"result":"true"})" << true;
        QTest::newRow("JSON true") << R"({"result":true})" << true;
        QTest::newRow("True") << R"({"result":"True"})" << false;
        QTest::newRow("1") << R"({"result":"1"})" << false;
        QTest::newRow("false") << R"({"result":"false"})" << false;
        QTest::newRow("no result") << R"({})" << false;
        QTest::newRow("not JSON") << "true" << false;
    }

    void initFilePage()
    {
        QFETCH(QString, text);
        QFETCH(bool, signedOut);
        QCOMPARE(HomePageWrites::applyInitFilePage(text, m_data), signedOut);
        QCOMPARE(m_data.launch.userId.isEmpty(), signedOut);
        QCOMPARE(m_data.launch.token, QString("old-token"));
    }

    void externalAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("opened"); // empty: refused
        QTest::newRow("https") << "https://www.zmquillo.com/help?a=1"
                               << "https://www.zmquillo.com/help?a=1";
        QTest::newRow("http, upper-case scheme, spaces around") << "  HTTP://127.0.0.1:8080/x  "
                                                                << "http://127.0.0.1:8080/x";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "";
        QTest::newRow("javascript in upper case") << "JavaScript://%0Aalert(1)"
                                                  << "";
        QTest::newRow("data") << "data:text/html,<b>x</b>"
                              << "";
        QTest::newRow("custom scheme") << "zmquillo://join?--apptype=joinclass"
                                       << "";
        QTest::newRow("no host") << "http:relative/path"
                                 << "";
        QTest::newRow("relative") << "/help"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void externalAddresses()
    {
        QFETCH(QString, text);
        QTEST(HomePageWrites::externalAddress(text).toString(), "opened");
    }

    void idTexts_data()
    {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("ten digits") << QJsonValue(2024061109.0) << "2024061109";
        QTest::newRow("beyond 32 bits") << QJsonValue(qint64(4294967301)) << "4294967301";
        QTest::newRow("largest 64-bit") << QJsonValue(qint64(9223372036854775807)) << "9223372036854775807";
        QTest::newRow("decimal text") << QJsonValue("20240611093") << "20240611093";
        QTest::newRow("text with a sign") << QJsonValue("-12") << "-12";
        QTest::newRow("fraction") << QJsonValue(12.5) << "0";
        QTest::newRow("too large") << QJsonValue(1e20) << "0";
        QTest::newRow("other text") << QJsonValue("12x") << "0";
        QTest::newRow("bool") << QJsonValue(true) << "0";
    }

    void idTexts()
    {
        QFETCH(QJsonValue, value);
        QTEST(HomePageWrites::idText(value), "text");
    }
};

ZM_TEST_MAIN_CORE(TestHomePageWrites)
#include "tst_homepagewrites.moc"
