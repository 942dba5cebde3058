// The lesson context: one snapshot of the launch and lesson records, and the copy a task carries.
#include "app/AppGlobalData.h"
#include "app/TaskLessonContext.h"
#include "app/records/LessonContext.h"
#include "app/tasks/TaskFramework.h"

#include "ZmTestMain.h"

#include <QTest>

namespace {

void fillRecords(AppGlobalData& data, const QString& userId, const QString& periodId)
{
    data.launch.userId = userId;
    data.launch.token = "token-" + userId;
    data.launch.accountType = 3;
    data.launch.appType = AppType_JoinClass;
    data.launch.startAppType = AppType_Playback;
    data.launch.paramA = 17;
    data.launch.language = "cn";
    data.lesson.lessonId = "880213";
    data.lesson.periodId = periodId;
}

} // namespace

class TestLessonContext : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTaskFramework(); }

    void takesTheIdentityOfTheRecordsAndKeepsIt()
    {
        AppGlobalData data;
        fillRecords(data, "100234", "7788");
        const LessonContext context = data.lessonContext();
        QCOMPARE(context.userId(), QString("100234"));
        QCOMPARE(context.token(), QString("token-100234"));
        QCOMPARE(context.accountType(), 3);
        QCOMPARE(context.appType(), int(AppType_JoinClass));
        QCOMPARE(context.startAppType(), int(AppType_Playback));
        QCOMPARE(context.paramA(), 17);
        QCOMPARE(context.language(), QString("cn"));
        QCOMPARE(context.lessonId(), QString("880213"));
        QCOMPARE(context.periodId(), QString("7788"));
        QCOMPARE(context.userIdAsInt(), 100234);

        // Later changes of the records leave the snapshot as it was.
        fillRecords(data, "", "9900");
        QCOMPARE(context.userId(), QString("100234"));
        QCOMPARE(context.periodId(), QString("7788"));
        QCOMPARE(data.lessonContext().userIdAsInt(), -1);
        QCOMPARE(LessonContext().userIdAsInt(), -1);
    }

    // A task reads the context its creator stored; without one, the application data's.
    void taskCarriesItsContext()
    {
        fillRecords(*AppGlobalData::instance(), "100234", "7788");
        AppGlobalData stored;
        fillRecords(stored, "555", "1212");

        QTaskItem* plain = createSyncTask([](QTaskItem*) {});
        QTaskItem* carrying = createSyncTask([](QTaskItem*) {});
        QVERIFY(!isSentinelTask(plain) && !isSentinelTask(carrying));
        setTaskLessonContext(carrying, stored.lessonContext());
        fillRecords(*AppGlobalData::instance(), "100234", "3434");

        QCOMPARE(taskLessonContext(plain).periodId(), QString("3434"));
        QCOMPARE(taskLessonContext(carrying).periodId(), QString("1212"));
        QCOMPARE(taskLessonContext(carrying).userId(), QString("555"));
        QCOMPARE(taskLessonContext(nullptr).periodId(), QString("3434"));
        releaseTask(plain);
        releaseTask(carrying);
    }
};

ZM_TEST_MAIN_CORE(TestLessonContext)
#include "tst_lessoncontext.moc"
