#include "app/AppGlobalData.h"

#include "ZmTestMain.h"

namespace {

UserInfo record(const QString& id, const QString& name, int accountType = 1)
{
    UserInfo user;
    user.userId = id;
    user.enNickName = name;
    user.accountType = accountType;
    return user;
}

} // namespace

class TestAppGlobalData : public QObject
{
    Q_OBJECT

private:
    AppGlobalData* data = AppGlobalData::instance();

private slots:
    // Each case starts from a fresh state; the object itself is the process-wide one.
    void init()
    {
        data->launch = LaunchInfo();
        data->lesson = LessonInfo();
        data->firstMember = UserInfo();
        data->teacher = UserInfo();
        data->clearUsers();
    }

    void startValues()
    {
        const LaunchInfo launch;
        QCOMPARE(launch.appType, 0);
        QCOMPARE(launch.startAppType, 0);
        QCOMPARE(launch.paramA, 0);
        QVERIFY(launch.latestVersionName.isEmpty());
        QCOMPARE(launch.language, QStringLiteral("en"));
        QCOMPARE(launch.uiType, 0);
        QCOMPARE(launch.teachType, 0);
        QCOMPARE(launch.classType, 0);
        QVERIFY(launch.userId.isEmpty() && launch.token.isEmpty());
        QCOMPARE(launch.accountType, 0);
        QVERIFY(launch.media1.isEmpty() && launch.media1start.isEmpty() && launch.media1dur.isEmpty());
        QVERIFY(launch.media2.isEmpty() && launch.media2start.isEmpty() && launch.media2dur.isEmpty());
        QCOMPARE(launch.webMode, QStringLiteral("production"));
        QCOMPARE(launch.shareScreen720pBitrate, 1200);
        QCOMPARE(launch.stopMicTeacherLeft, 900);

        const LessonInfo lesson;
        QVERIFY(lesson.lessonId.isEmpty() && lesson.periodId.isEmpty() && lesson.lessonName.isEmpty());
        QVERIFY(lesson.channel.isEmpty() && lesson.channelKey.isEmpty() && lesson.content.isEmpty());
        QCOMPARE(lesson.muteAudio, true);

        const AppGlobalData fresh;
        QCOMPARE(fresh.teacherPresent.load(), false);
        QCOMPARE(fresh.roomExitFlag.load(), false);
        QCOMPARE(fresh.enteredClass.load(), false);
        QCOMPARE(fresh.teacherAudioMuted.load(), false);
        QCOMPARE(fresh.screenShareOn.load(), false);
        QCOMPARE(fresh.teacher.talkState, 2);
        QVERIFY(AppGlobalData::instance() == AppGlobalData::instance());
        QVERIFY(data->memberMap()->isEmpty());
    }

    void userIdAsInt_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << "" << -1;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("decimal") << "10086" << 10086;
    }

    void userIdAsInt()
    {
        QFETCH(QString, userId);
        QFETCH(int, expected);
        data->launch.userId = userId;
        QCOMPARE(data->userIdAsInt(), expected);
    }

    void teacherIdAsInt_data()
    {
        QTest::addColumn<QString>("teacherId");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << "" << 0;
        QTest::newRow("not a number") << "t1" << 0;
        QTest::newRow("decimal") << "77" << 77;
    }

    void teacherIdAsInt()
    {
        QFETCH(QString, teacherId);
        QFETCH(int, expected);
        data->teacherInfo()->userId = teacherId;
        QCOMPARE(data->teacherIdAsInt(), expected);
    }

    void roles_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("teacher");
        QTest::addColumn<bool>("student");
        QTest::newRow("unset") << 0 << false << false;
        QTest::newRow("pupil") << 1 << false << true;
        QTest::newRow("teacher") << 2 << true << false;
        QTest::newRow("auditor") << 3 << false << false;
    }

    void roles()
    {
        QFETCH(int, accountType);
        QFETCH(bool, teacher);
        QFETCH(bool, student);
        data->launch.accountType = accountType;
        QCOMPARE(data->isTeacher(), teacher);
        QCOMPARE(data->isStudent(), student);
    }

    void setUiType_data()
    {
        QTest::addColumn<int>("teachType");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("uiType");
        QTest::newRow("0 refused") << 0 << false << 2;
        QTest::newRow("1") << 1 << true << 1;
        QTest::newRow("3") << 3 << true << 3;
        QTest::newRow("4 refused") << 4 << false << 2;
        QTest::newRow("negative refused") << -1 << false << 2;
    }

    void setUiType()
    {
        QFETCH(int, teachType);
        QFETCH(bool, accepted);
        QFETCH(int, uiType);
        data->launch.uiType = 2;
        QCOMPARE(data->setUiType(teachType, 1), accepted);
        QCOMPARE(data->launch.uiType, uiType);
    }

    void addAndFindUsers()
    {
        data->addUser(record("5", "first"));
        data->addUser(record("5", "second"));
        data->addUser(record("3", "other"));
        QCOMPARE(data->memberMap()->size(), 2);
        QCOMPARE(data->memberMap()->firstKey(), 3); // ordered by id

        UserInfo out;
        QVERIFY(data->findUser(5, out));
        QCOMPARE(out.enNickName, QStringLiteral("second"));

        // The copy is the caller's: changing it leaves the map alone; changing the map in place works.
        out.enNickName = QStringLiteral("changed");
        QVERIFY(data->findUser(5, out));
        QCOMPARE(out.enNickName, QStringLiteral("second"));
        (*data->memberMap())[5].starPoint = 4;
        QVERIFY(data->findUser(5, out));
        QCOMPARE(out.starPoint, 4);
    }

    void failedLookUpLeavesOutUntouched()
    {
        data->addUser(record("5", "member"));
        UserInfo out = record("42", "kept");
        QVERIFY(!data->findUser(6, out));
        QCOMPARE(out.userId, QStringLiteral("42"));
        QCOMPARE(out.enNickName, QStringLiteral("kept"));
    }

    void nonNumericIdIsStoredUnderZero()
    {
        data->addUser(record("abc", "odd"));
        UserInfo out;
        QVERIFY(data->findUser(0, out));
        QCOMPARE(out.enNickName, QStringLiteral("odd"));
    }

    void clearUsers()
    {
        data->addUser(record("1", "a"));
        data->addUser(record("2", "b"));
        data->clearUsers();
        UserInfo out;
        QVERIFY(!data->findUser(1, out));
        QVERIFY(!data->findUser(2, out));
        QVERIFY(data->memberMap()->isEmpty());
    }

    // Which record each combined look-up finds: member map first, then the teacher, then the local user.
    void combinedLookUp_data()
    {
        QTest::addColumn<QString>("ownId");
        QTest::addColumn<QString>("teacherId");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("found"); // the nickname found, empty when none

        QTest::newRow("member") << "100"
                                << "200" << 5 << "member";
        QTest::newRow("teacher outside the map") << "100"
                                                 << "200" << 200 << "teacher";
        QTest::newRow("own id") << "100"
                                << "200" << 100 << "me";
        QTest::newRow("member map wins over teacher") << "100"
                                                      << "5" << 5 << "member";
        QTest::newRow("teacher wins over own record") << "200"
                                                      << "200" << 200 << "teacher";
        QTest::newRow("unknown") << "100"
                                 << "200" << 300 << "";
        QTest::newRow("no teacher: 0 is nobody") << "100"
                                                 << "" << 0 << "";
        QTest::newRow("signed out: -1 is nobody") << ""
                                                  << "200" << -1 << "";
        QTest::newRow("odd own id: 0 is nobody") << "abc"
                                                 << "200" << 0 << "";
    }

    void combinedLookUp()
    {
        QFETCH(QString, ownId);
        QFETCH(QString, teacherId);
        QFETCH(int, id);
        QFETCH(QString, found);

        data->launch.userId = ownId;
        data->launch.accountType = 1;
        data->firstMember.enNickName = QStringLiteral("me");
        data->setTeacherInfo(record(teacherId, "teacher", 2));
        data->addUser(record("5", "member"));

        UserInfo viaTeacher;
        UserInfo viaSelf;
        QCOMPARE(data->findUserOrTeacher(id, viaTeacher), !found.isEmpty());
        QCOMPARE(data->findUserOrSelf(id, viaSelf), !found.isEmpty());
        QCOMPARE(viaTeacher.enNickName, found);
        QCOMPARE(viaSelf.enNickName, found);
    }

    void ownRecordFollowsLaunchRecord()
    {
        data->firstMember.userId = QStringLiteral("stale");
        data->firstMember.portrait = QStringLiteral("http://127.0.0.1/me.png");
        data->launch.userId = QStringLiteral("321");
        data->launch.accountType = 3;

        UserInfo own;
        QVERIFY(data->findUserOrSelf(321, own));
        QCOMPARE(own.userId, QStringLiteral("321"));
        QCOMPARE(own.accountType, 3);
        QCOMPARE(own.portrait, QStringLiteral("http://127.0.0.1/me.png"));
        QCOMPARE(own.talkState, 2);
        QVERIFY(!data->findUser(321, own)); // the own record is not a member of the map
    }

    void teacherRecordInPlace()
    {
        data->teacherInfo()->enNickName = QStringLiteral("Ms Li");
        QCOMPARE(data->teacher.enNickName, QStringLiteral("Ms Li"));
        UserInfo replacement = record("9", "Mr Wu", 2);
        data->setTeacherInfo(replacement);
        replacement.enNickName = QStringLiteral("later");
        QCOMPARE(data->teacherInfo()->enNickName, QStringLiteral("Mr Wu"));
    }
};

ZM_TEST_MAIN_CORE(TestAppGlobalData)
#include "tst_appglobaldata.moc"
