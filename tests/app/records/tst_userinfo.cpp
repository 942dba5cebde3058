#include "app/records/UserInfo.h"

#include "ZmTestMain.h"

#include <QJsonDocument>

Q_DECLARE_METATYPE(UserInfoMap)

namespace {

UserInfo member(int id, int talkState = TalkState_Talking, int talkOrder = -1)
{
    UserInfo record;
    record.userId = QString::number(id);
    record.enNickName = QStringLiteral("Member %1").arg(id);
    record.talkState = talkState;
    record.talkOrder = talkOrder;
    return record;
}

// "id:state:order" per member, in map order.
QString talkSummary(const UserInfoMap& members)
{
    QStringList parts;
    for (auto it = members.cbegin(); it != members.cend(); ++it)
        parts << QStringLiteral("%1:%2:%3").arg(it.key()).arg(it->talkState).arg(it->talkOrder);
    return parts.join(' ');
}

QJsonObject body(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class TestUserInfo : public QObject
{
    Q_OBJECT

private slots:
    void defaultRecord()
    {
        const UserInfo record;
        QVERIFY(record.userId.isEmpty());
        QCOMPARE(record.accountType, 0);
        QVERIFY(record.portrait.isEmpty() && record.cnNickName.isEmpty() && record.enNickName.isEmpty());
        QVERIFY(record.gender.isEmpty() && record.userLevel.isEmpty());
        QCOMPARE(record.classPoint, 0);
        QCOMPARE(record.starPoint, 0);
        QCOMPARE(record.talkState, 2);
        QCOMPARE(record.talkOrder, -1);
        QCOMPARE(record.controlEnabled, true);
    }

    void copiesAreIndependent()
    {
        UserInfo original = member(7);
        const UserInfo copy = original;
        original.enNickName = QStringLiteral("changed");
        original.starPoint = 5;
        QCOMPARE(copy.enNickName, QStringLiteral("Member 7"));
        QCOMPARE(copy.starPoint, 0);
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("expected");
        QTest::newRow("english wins") << "  Amy " << QString::fromUtf8("小明") << "Amy";
        QTest::newRow("blank english falls back") << " \t " << QString::fromUtf8(" 小明 ") << QString::fromUtf8("小明");
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "";
    }

    void displayName()
    {
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QFETCH(QString, expected);
        UserInfo record;
        record.enNickName = english;
        record.cnNickName = chinese;
        QCOMPARE(record.displayName(), expected);
    }

    void userIdAsInt_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "1234" << 1234;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not a number") << "abc" << 0;
    }

    void userIdAsInt()
    {
        QFETCH(QString, userId);
        QFETCH(int, expected);
        UserInfo record;
        record.userId = userId;
        QCOMPARE(record.userIdAsInt(), expected);
    }

    void talkList_data()
    {
        QTest::addColumn<UserInfoMap>("members");
        QTest::addColumn<QJsonObject>("message");
        QTest::addColumn<QString>("expected");

        UserInfoMap three;
        three.insert(1, member(1));
        three.insert(2, member(2, 1, 4));
        three.insert(3, member(3));

        QTest::newRow("orders count down in list order")
            << three
            << body(R"({"userInfoList":[{"userId":3,"state":2},{"userId":1,"state":1},{"userId":2,"state":0}]})")
            << "1:1:2 2:0:1 3:2:3";
        QTest::newRow("unlisted members reset")
            << three << body(R"({"userInfoList":[{"userId":2,"state":1}]})") << "1:0:-1 2:1:1 3:0:-1";
        QTest::newRow("no list resets everyone") << three << body(R"({"other":1})") << "1:0:-1 2:0:-1 3:0:-1";
        QTest::newRow("empty list resets everyone")
            << three << body(R"({"userInfoList":[]})") << "1:0:-1 2:0:-1 3:0:-1";
        QTest::newRow("unknown id is added")
            << three << body(R"({"userInfoList":[{"userId":9,"state":1},{"userId":1,"state":2}]})")
            << "1:2:1 2:0:-1 3:0:-1 9:1:2";
        QTest::newRow("ids as text") << three << body(R"({"userInfoList":[{"userId":"3","state":1}]})")
                                     << "1:0:-1 2:0:-1 3:1:1";
        QTest::newRow("unreadable id skipped, places kept")
            << three << body(R"({"userInfoList":[{"userId":"x","state":1},{"userId":null},{"userId":2,"state":2}]})")
            << "1:0:-1 2:2:1 3:0:-1";
        QTest::newRow("empty map") << UserInfoMap() << body(R"({"userInfoList":[{"userId":5,"state":2}]})") << "5:2:1";
    }

    void talkList()
    {
        QFETCH(UserInfoMap, members);
        QFETCH(QJsonObject, message);
        QFETCH(QString, expected);
        applyTalkListMessage(members, message);
        QCOMPARE(talkSummary(members), expected);
    }

    void talkListKeepsOtherFields()
    {
        UserInfoMap members;
        UserInfo pupil = member(4);
        pupil.starPoint = 3;
        pupil.controlEnabled = false;
        members.insert(4, pupil);
        applyTalkList(members, {{4, TalkState_HandRaised}, {8, TalkState_Talking}});

        const UserInfo& kept = members.value(4);
        QCOMPARE(kept.enNickName, QStringLiteral("Member 4"));
        QCOMPARE(kept.starPoint, 3);
        QCOMPARE(kept.controlEnabled, false);
        QCOMPARE(kept.talkOrder, 2);

        // A record made for an unknown id carries only its id; its other texts are empty.
        const UserInfo& added = members.value(8);
        QCOMPARE(added.userId, QStringLiteral("8"));
        QVERIFY(added.enNickName.isEmpty() && added.cnNickName.isEmpty() && added.portrait.isEmpty());
        QCOMPARE(added.talkState, int(TalkState_Talking));
        QCOMPARE(added.talkOrder, 1);
        QCOMPARE(added.controlEnabled, true);
    }

    void repeatedIdTakesLastPlace()
    {
        UserInfoMap members;
        applyTalkList(members, {{6, 1}, {6, 2}});
        QCOMPARE(talkSummary(members), QStringLiteral("6:2:1"));
    }
};

ZM_TEST_MAIN_CORE(TestUserInfo)
#include "tst_userinfo.moc"
