#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "net/api/JsonFields.h"
#include "net/api/LessonResponseParser.h"

#include "ZmTestMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray replyWithData(const QJsonValue& data)
{
    return QJsonDocument(QJsonObject{{"success", true}, {"code", "0"}, {"data", data}}).toJson();
}

QJsonObject pupil(qint64 id, const QString& enName, int stars = 0)
{
    return QJsonObject{{"userId", id},   {"gender", 1},       {"cnNickname", "学生"}, {"enNickname", enName},
                       {"portrait", ""}, {"userLevel", "L1"}, {"starPoint", stars}};
}

QByteArray replyWithPupils(const QJsonArray& pupils)
{
    return replyWithData(QJsonObject{{"periodId", 7}, {"studentInfo", pupils}});
}

// Application data as a command line and an earlier lesson leave it.
void fillEarlierState(AppGlobalData& appData, UrlConfig& urls)
{
    appData.lesson.lessonId = "cmdline-lesson";
    appData.lesson.periodId = "cmdline-period";
    appData.lesson.lessonName = "From the command line";
    appData.lesson.channelKey = "old-key";
    appData.lesson.muteAudio = false;
    appData.teacher.userId = "999";
    appData.teacher.talkState = TalkState_HandRaised;
    appData.teacher.talkOrder = 3;
    appData.teacher.controlEnabled = false;
    appData.teacher.userLevel = "T9";
    UserInfo old;
    old.userId = "555";
    old.accountType = 1;
    appData.addUser(old);
    urls.webSocket = "ws://earlier.invalid/ws";
}

QStringList memberIds(AppGlobalData& appData)
{
    QStringList ids;
    for (const UserInfo& member : *appData.memberMap())
        ids << member.userId;
    return ids;
}

} // namespace

class TestLessonResponse : public QObject
{
    Q_OBJECT

private slots:
    void readsTheSampleReply()
    {
        QFile file(ZmTest::sourceDir() + "/tests/sim/fixtures/restful/lesson.json");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        bytes.replace("{{base}}", "http://127.0.0.1:1").replace("{{ws_base}}", "ws://127.0.0.1:1");

        AppGlobalData appData;
        UrlConfig urls;
        fillEarlierState(appData, urls);
        QVERIFY(parseLessonResponse(bytes, appData, urls));

        const LessonInfo& lesson = appData.lesson;
        QCOMPARE(lesson.lessonId, QString("880213"));
        // "periodId" comes from data, not from lessonInfo; the id needs more than 32 bits.
        QCOMPARE(lesson.periodId, QString("20240611093"));
        QCOMPARE(lesson.channel, QString("20240611093"));
        QCOMPARE(lesson.lessonName, QString::fromUtf8("Unit 3 · At the Zoo"));
        QVERIFY(lesson.channelKey.startsWith("006a1b2c"));
        QCOMPARE(lesson.content, QString("{\"pages\":12,\"courseware\":\"u3-zoo\"}"));
        QCOMPARE(lesson.muteAudio, false);
        QCOMPARE(urls.webSocket, QString("ws://127.0.0.1:1/class/ws"));

        const UserInfo& teacher = appData.teacher;
        QCOMPARE(teacher.userId, QString("300451"));
        QCOMPARE(teacher.accountType, 2);
        QCOMPARE(teacher.gender, QString("2"));
        QCOMPARE(teacher.enNickName, QString("Ms. Clara Whitfield"));
        QCOMPARE(teacher.cnNickName, QString("Ms. Clara Whitfield"));
        QCOMPARE(teacher.portrait, QString("http://127.0.0.1:1/files/portraits/300451.png"));
        // Fields the reply does not carry keep what they held.
        QCOMPARE(teacher.talkState, int(TalkState_HandRaised));
        QCOMPARE(teacher.talkOrder, 3);
        QCOMPARE(teacher.controlEnabled, false);
        QCOMPARE(teacher.userLevel, QString("T9"));

        // The teacher is not a member; the earlier member is gone.
        QCOMPARE(memberIds(appData), QStringList({"100234", "100871", "101502"}));
        UserInfo leo;
        QVERIFY(appData.findUser(100234, leo));
        QCOMPARE(leo.accountType, 1);
        QCOMPARE(leo.gender, QString("1"));
        QCOMPARE(leo.cnNickName, QString::fromUtf8("小明"));
        QCOMPARE(leo.enNickName, QString("Leo"));
        QCOMPARE(leo.portrait, QString("http://127.0.0.1:1/files/portraits/100234.png"));
        QCOMPARE(leo.userLevel, QString("L3"));
        QCOMPARE(leo.starPoint, 27);
        QCOMPARE(leo.classPoint, 0);
        QCOMPARE(leo.talkState, int(TalkState_Talking));
        QCOMPARE(leo.talkOrder, -1);
        QCOMPARE(leo.controlEnabled, true);
    }

    void muteAudio_data()
    {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("muted");
        QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << true;
        QTest::newRow("1") << QJsonValue(1) << true;
        QTest::newRow("1.0") << QJsonValue(1.0) << true;
        QTest::newRow("0") << QJsonValue(0) << false;
        QTest::newRow("2") << QJsonValue(2) << false;
        QTest::newRow("-1") << QJsonValue(-1) << false;
        QTest::newRow("1.5 is a number but not 1") << QJsonValue(1.5) << false;
        QTest::newRow("true is no number") << QJsonValue(true) << true;
        QTest::newRow("false is no number") << QJsonValue(false) << true;
        QTest::newRow("text 0 is no number") << QJsonValue("0") << true;
        QTest::newRow("null") << QJsonValue(QJsonValue::Null) << true;
    }

    void muteAudio()
    {
        QFETCH(QJsonValue, value);
        QFETCH(bool, muted);
        QJsonObject lessonInfo{{"lessonId", 1}};
        if (!value.isUndefined())
            lessonInfo.insert("muteAudio", value);
        AppGlobalData appData;
        UrlConfig urls;
        appData.lesson.muteAudio = !muted;
        QVERIFY(parseLessonResponse(replyWithData(QJsonObject{{"lessonInfo", lessonInfo}}), appData, urls));
        QCOMPARE(appData.lesson.muteAudio, muted);
    }

    // Replies that are broken or odd still "succeed" and leave a well-defined, empty state.
    void badReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("lessonId");
        QTest::addColumn<QString>("periodId");
        QTest::addColumn<QString>("teacherId");
        QTest::addColumn<QString>("lessonName");
        QTest::addColumn<QStringList>("members");

        const QStringList none;
        QTest::newRow("empty body") << QByteArray() << "0"
                                    << "0"
                                    << "0"
                                    << "" << none;
        QTest::newRow("not JSON") << QByteArray("<html>502 Bad Gateway</html>") << "0"
                                  << "0"
                                  << "0"
                                  << "" << none;
        QTest::newRow("truncated JSON") << QByteArray(R"({"data":{"periodId":12,"lessonInfo":{"lessonId":)") << "0"
                                        << "0"
                                        << "0"
                                        << "" << none;
        QTest::newRow("JSON array") << QByteArray("[1,2,3]") << "0"
                                    << "0"
                                    << "0"
                                    << "" << none;
        QTest::newRow("no data") << QByteArray(R"({"success":true,"code":"0"})") << "0"
                                 << "0"
                                 << "0"
                                 << "" << none;
        QTest::newRow("data null") << QByteArray(R"({"data":null})") << "0"
                                   << "0"
                                   << "0"
                                   << "" << none;
        QTest::newRow("data is an array") << QByteArray(R"({"data":[{"periodId":5}]})") << "0"
                                          << "0"
                                          << "0"
                                          << "" << none;
        QTest::newRow("data is text") << QByteArray("{\"data\":\"{\\\"periodId\\\":5}\"}") << "0"
                                      << "0"
                                      << "0"
                                      << "" << none;
        QTest::newRow("inner records of wrong types")
            << QByteArray(R"({"data":{"periodId":5,"lessonInfo":7,"teacherInfo":"x","studentInfo":{"userId":3}}})")
            << "0"
            << "5"
            << "0"
            << "" << none;
        QTest::newRow("ids as strings read as 0")
            << QByteArray(R"({"data":{"periodId":"77","lessonInfo":{"lessonId":"88","lessonName":5},)"
                          R"("teacherInfo":{"teacherId":"99"},"studentInfo":[{"userId":"12"}]}})")
            << "0"
            << "0"
            << "0"
            << "" << QStringList{"0"};
        QTest::newRow("large ids keep every digit")
            << QByteArray(R"({"data":{"periodId":9007199254740993,"lessonInfo":{"lessonId":12345678901},)"
                          R"("teacherInfo":{"teacherId":4000000000}}})")
            << "12345678901"
            << "9007199254740993"
            << "4000000000"
            << "" << none;
        QTest::newRow("ids in exponent form")
            << QByteArray(R"({"data":{"periodId":1.2e3,"lessonInfo":{"lessonId":5E0}}})") << "5"
            << "1200"
            << "0"
            << "" << none;
        QTest::newRow("ids beyond 64 bits or fractional read as 0")
            << QByteArray(R"({"data":{"periodId":1e30,"lessonInfo":{"lessonId":12.5},"teacherInfo":{"teacherId":-3}}})")
            << "0"
            << "0"
            << "-3"
            << "" << none;
        QTest::newRow("elements that are no objects are skipped")
            << QByteArray(R"({"data":{"studentInfo":[3,"x",null,[],{"userId":41}]}})") << "0"
            << "0"
            << "0"
            << "" << QStringList{"41"};
        QTest::newRow("empty list") << QByteArray(R"({"data":{"studentInfo":[]}})") << "0"
                                    << "0"
                                    << "0"
                                    << "" << none;
        QTest::newRow("duplicate keys: the last wins")
            << QByteArray(R"({"data":{"periodId":1,"periodId":2,"lessonInfo":{"lessonName":"a","lessonName":"b"}}})")
            << "0"
            << "2"
            << "0"
            << "b" << none;
    }

    void badReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, lessonId);
        QFETCH(QString, periodId);
        QFETCH(QString, teacherId);
        QFETCH(QString, lessonName);
        QFETCH(QStringList, members);

        AppGlobalData appData;
        UrlConfig urls;
        fillEarlierState(appData, urls);
        QVERIFY(parseLessonResponse(reply, appData, urls));

        QCOMPARE(appData.lesson.lessonId, lessonId);
        QCOMPARE(appData.lesson.periodId, periodId);
        QCOMPARE(appData.lesson.channel, periodId);
        QCOMPARE(appData.lesson.lessonName, lessonName);
        QCOMPARE(appData.lesson.channelKey, QString());
        QCOMPARE(appData.teacher.userId, teacherId);
        QCOMPARE(appData.teacher.accountType, 2);
        QCOMPARE(urls.webSocket, QString());
        QCOMPARE(memberIds(appData), members);
    }

    void duplicatePupilsLeaveTheLaterOne()
    {
        AppGlobalData appData;
        UrlConfig urls;
        const QByteArray reply = replyWithPupils({pupil(7, "First", 1), pupil(8, "Other", 2), pupil(7, "Second", 3)});
        QVERIFY(parseLessonResponse(reply, appData, urls));
        QCOMPARE(memberIds(appData), QStringList({"7", "8"}));
        UserInfo seven;
        QVERIFY(appData.findUser(7, seven));
        QCOMPARE(seven.enNickName, QString("Second"));
        QCOMPARE(seven.starPoint, 3);
    }

    // Lifetime stars go to starPoint only; this lesson's points start at 0, so a pupil with 5 or more lifetime
    // stars can still be awarded.
    void starPointsFillOnlyTheLifetimeCounter_data()
    {
        QTest::addColumn<QJsonValue>("starPoint");
        QTest::addColumn<int>("expected");
        QTest::newRow("5") << QJsonValue(5) << 5;
        QTest::newRow("0") << QJsonValue(0) << 0;
        QTest::newRow("128") << QJsonValue(128) << 128;
        QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << 0;
        QTest::newRow("text") << QJsonValue("5") << 0;
        QTest::newRow("fraction") << QJsonValue(2.5) << 0;
        QTest::newRow("beyond 32 bits") << QJsonValue(double(1LL << 40)) << 0;
    }

    void starPointsFillOnlyTheLifetimeCounter()
    {
        QFETCH(QJsonValue, starPoint);
        QFETCH(int, expected);
        QJsonObject record{{"userId", 31}};
        if (!starPoint.isUndefined())
            record.insert("starPoint", starPoint);
        AppGlobalData appData;
        UrlConfig urls;
        QVERIFY(parseLessonResponse(replyWithPupils({record}), appData, urls));
        UserInfo member;
        QVERIFY(appData.findUser(31, member));
        QCOMPARE(member.starPoint, expected);
        QCOMPARE(member.classPoint, 0);
    }

    void hugeListsAreReadWhole()
    {
        constexpr int count = 20000;
        QJsonArray pupils;
        for (int i = 0; i < count; ++i)
            pupils.append(pupil(100000 + i, QString("Pupil %1").arg(i), i % 6));
        // One more with an id seen before replaces that record.
        pupils.append(pupil(100000, "Again", 4));
        AppGlobalData appData;
        UrlConfig urls;
        QVERIFY(parseLessonResponse(replyWithPupils(pupils), appData, urls));
        QCOMPARE(appData.memberMap()->size(), count);
        UserInfo first;
        QVERIFY(appData.findUser(100000, first));
        QCOMPARE(first.enNickName, QString("Again"));
        UserInfo last;
        QVERIFY(appData.findUser(100000 + count - 1, last));
        QCOMPARE(last.enNickName, QString("Pupil %1").arg(count - 1));
    }

    void writesTheProcessWideData()
    {
        AppGlobalData* appData = AppGlobalData::instance();
        UrlConfig* urls = UrlConfig::instance();
        appData->teacher.talkState = TalkState_None;
        QVERIFY(parseLessonResponse(replyWithData(QJsonObject{{"periodId", 4242},
                                                              {"wsUrl", "ws://127.0.0.1:9/ws"},
                                                              {"teacherInfo", QJsonObject{{"teacherId", 11}}},
                                                              {"studentInfo", QJsonArray{pupil(21, "A")}}})));
        QCOMPARE(appData->lesson.periodId, QString("4242"));
        QCOMPARE(appData->teacher.userId, QString("11"));
        QCOMPARE(appData->teacher.talkState, int(TalkState_None));
        QCOMPARE(urls->webSocket, QString("ws://127.0.0.1:9/ws"));
        QCOMPARE(memberIds(*appData), QStringList{"21"});
    }

    // The task's "Response" property: only a byte array is a reply.
    void readsTheTaskProperty_data()
    {
        QTest::addColumn<QVariant>("response");
        QTest::addColumn<bool>("parsed");
        QTest::newRow("no property") << QVariant() << false;
        QTest::newRow("address as number") << QVariant::fromValue<qulonglong>(0x7fff1234) << false;
        QTest::newRow("text") << QVariant(QString(R"({"data":{"periodId":1}})")) << false;
        QTest::newRow("bytes") << QVariant(QByteArray(R"({"data":{"periodId":31337}})")) << true;
        QTest::newRow("empty bytes") << QVariant(QByteArray()) << true;
    }

    void readsTheTaskProperty()
    {
        QFETCH(QVariant, response);
        QFETCH(bool, parsed);
        AppGlobalData* appData = AppGlobalData::instance();
        appData->lesson.periodId = "before";
        QCOMPARE(parseLessonResponseProperty(response), parsed);
        if (parsed)
            QVERIFY(appData->lesson.periodId != "before");
        else
            QCOMPARE(appData->lesson.periodId, QString("before"));
    }

    void copiesSingleKeys_data()
    {
        QTest::addColumn<QByteArray>("object");
        QTest::addColumn<bool>("intFound");
        QTest::addColumn<QString>("intText");
        QTest::addColumn<bool>("stringFound");
        QTest::addColumn<QString>("stringText");
        QTest::newRow("absent") << QByteArray("{}") << false << "kept" << false << "kept";
        QTest::newRow("number") << QByteArray(R"({"k":12345678901})") << true << "12345678901" << true << "";
        QTest::newRow("text") << QByteArray(R"({"k":"abc"})") << true << "0" << true << "abc";
        QTest::newRow("null") << QByteArray(R"({"k":null})") << true << "0" << true << "";
    }

    void copiesSingleKeys()
    {
        QFETCH(QByteArray, object);
        QFETCH(bool, intFound);
        QFETCH(QString, intText);
        QFETCH(bool, stringFound);
        QFETCH(QString, stringText);
        const QJsonObject json = QJsonDocument::fromJson(object).object();
        QString text = "kept";
        QCOMPARE(copyJsonIntKey(json, "k", text), intFound);
        QCOMPARE(text, intText);
        text = "kept";
        QCOMPARE(copyJsonStringKey(json, "k", text), stringFound);
        QCOMPARE(text, stringText);
    }
};

ZM_TEST_MAIN_CORE(TestLessonResponse)
#include "tst_lessonresponse.moc"
