// The public class room's entry machine, end to end against the simulated RTC engine and the simulator's class
// service, message server and lesson pages: the steps each role runs, the microphone at the end of the entry,
// failures with their retry offers and the final error, and where a retry resumes.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"
#include "PublicRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraChannel.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserListWidget.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/public/PublicClassRoom.h"
#include "ui/common/TryWarningDlg.h"
#include "ui/common/ZmBaseDialog.h"

#include "LogCapture.h"
#include "RoomWindowTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>

using namespace PublicRoomTest;
using RtcTest::argOf;
using Steps = QList<int>;

namespace {

constexpr int kEnterClassTag = 10010001;
constexpr int kMicrophoneOnTag = 10020003;

// The entry steps the room ran, in order, as it logged them.
Steps stepsRun(const ZmTest::LogCapture& log)
{
    Steps steps;
    for (const QString& rest : log.linesAfter(QStringLiteral("PublicClassRoom::enterClass step "))) {
        if (!rest.contains(QLatin1Char(' ')))
            steps << rest.toInt();
    }
    return steps;
}

// The roles the engine was given (1 publisher, 2 listener), in order.
QList<int> clientRoles(const RtcTest::TracedScenario& rtc)
{
    QList<int> roles;
    for (const QJsonObject& call : rtc.calls(QStringLiteral("setClientRole")))
        roles << argOf(call, "role").toInt();
    return roles;
}

// What a retry dialog showed and what the room's entry looked like then.
struct RetryOffer
{
    QString title;
    QString content;
    int failureCount = 0;
    unsigned int step = 0;
    int serviceResult = 0;
};

// Waits for the room's retry dialog, notes it, and answers "Retry".
bool retryWhenOffered(const PublicClassRoom& room, RetryOffer& offer)
{
    TryWarningDlg* dialog = nullptr;
    if (!QTest::qWaitFor([&] { return (dialog = visibleDialog<TryWarningDlg>()) != nullptr; }, ZmTest::kWaitMs))
        return false;
    offer.title = dialog->findChild<QLabel*>(QStringLiteral("title"))->text();
    offer.content = dialog->findChild<QLabel*>(QStringLiteral("content"))->text();
    offer.failureCount = room.failureCount();
    offer.step = room.currentStep();
    offer.serviceResult = room.serviceResult();
    press(dialog, "tryBtn");
    return true;
}

} // namespace

class TestPublicRoomEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_fixture.start(), qPrintable(m_fixture.error())); }

    void cleanup() { m_fixture.close(); }

    // Each role's whole entry: its steps in order, the one message connection, the device reports, how it takes
    // part in the channel, and the student's microphone, opened at the end unless the lesson is muted.
    void entryByRole_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("mutedLesson");
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("deviceReports");
        QTest::addColumn<QList<int>>("roles");
        QTest::addColumn<int>("pageLoads");

        QTest::newRow("student") << 1 << false << Steps{1, 4, 8, 16, 512, 32, 64, 128} << QStringList{"2 0", "3 0"}
                                 << QList<int>{2, 1} << 0;
        QTest::newRow("student in a muted lesson")
            << 1 << true << Steps{1, 4, 8, 16, 512, 32, 64, 128} << QStringList{"2 0", "3 0"} << QList<int>{2} << 0;
        QTest::newRow("auditor") << 3 << false << Steps{1, 16, 512, 32, 64, 128} << QStringList{} << QList<int>{2} << 0;
        QTest::newRow("teacher") << 2 << false << Steps{1, 2, 4, 8, 16, 512, 32, 256, 64, 128}
                                 << QStringList{"1 0", "2 0", "3 0"} << QList<int>{1} << 1;
    }
    void entryByRole()
    {
        QFETCH(int, accountType);
        QFETCH(bool, mutedLesson);
        QFETCH(Steps, steps);
        QFETCH(QStringList, deviceReports);
        QFETCH(QList<int>, roles);
        QFETCH(int, pageLoads);

        QVERIFY(m_fixture.prepare(accountType));
        if (mutedLesson) {
            ZmTest::Simulator::Route lesson;
            lesson.path = QStringLiteral("/classroom/lesson/");
            lesson.prefix = true;
            lesson.body = lessonReply(m_fixture.sim()).replace("\"muteAudio\": 0", "\"muteAudio\": 1");
            QVERIFY(m_fixture.sim().program(lesson) >= 0);
        }
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);

        QCOMPARE(stepsRun(log), steps);
        QCOMPARE(room->pendingSteps(), 0u);
        QCOMPARE(room->failureCount(), 0);
        QVERIFY(AppGlobalData::instance()->enteredClass);
        QCOMPARE(AppGlobalData::instance()->lesson.muteAudio, mutedLesson);
        // The message engine's result reached the room, which went on after it.
        QCOMPARE(log.linesContaining("PublicClassRoom::onSigMsgEngineConnectResult 0").size(), 1);
        QCOMPARE(m_fixture.sim().messageConnections().size(), 1);
        QCOMPARE(m_fixture.sim().messageConnections().first().toObject().value("path").toString(),
                 QString("/class/ws"));
        QCOMPARE(m_fixture.waitForSent(kEnterClassTag).size(), 1);
        QCOMPARE(m_fixture.deviceReports(), deviceReports);
        QCOMPARE(m_fixture.sim().numberedRequests("50000101").size(), 1);
        QCOMPARE(m_fixture.sim().numberedRequests("80000006").size(), 1);

        // Into the lesson's channel, as publisher or listener, the teacher's picture in the tile.
        const QList<QJsonObject> joins = m_fixture.rtc().calls("joinChannel");
        QCOMPARE(joins.size(), 1);
        QCOMPARE(argOf(joins.first(), "channelId").toString(), QString("20240611093"));
        QTRY_COMPARE(clientRoles(m_fixture.rtc()), roles);
        auto* tile = room->findChild<VideoDisplayWidget*>("teacher_video");
        const QString tileWindow = QString::number(tile->videoWinId());
        const QString bound = accountType == 2 ? "setupLocalVideo" : "setupRemoteVideo";
        QCOMPARE(argOf(m_fixture.rtc().calls(bound).last(), "view").toString(), tileWindow);
        if (accountType != 2)
            QCOMPARE(argOf(m_fixture.rtc().calls(bound).last(), "uid").toInt(), kTeacherId);
        QCOMPARE(tile->findChild<QLabel*>("userName")->text(), QString("Ms. Clara Whitfield"));

        // Only the teacher's entry loads the page; the others wait for the teacher's stream.
        QTRY_COMPARE(m_fixture.pageLoads(), pageLoads);

        const bool student = accountType == 1;
        QCOMPARE(room->raiseHandCtrl() != nullptr, student);
        QCOMPARE(room->findChild<RaiseHandWidget*>("raiseHandWidget")->isVisible(), student);
        QVERIFY(room->userListCtrl());
        QVERIFY(room->findChild<UserListWidget*>("userListWidget")->isVisible());
        // The room opened the microphone during its entry, or never: then it sent nothing about it either.
        const int microphoneOn = student && !mutedLesson ? 1 : 0;
        QCOMPARE(log.linesContaining("PublicClassRoom::onSetStudentMicEnable true").size(), microphoneOn);
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOnTag, microphoneOn).size(), microphoneOn);
        QCOMPARE(room->channel()->isLocalAudioLive(), accountType == 2 || microphoneOn == 1);
    }

    // A machine without a microphone: three offers to retry the microphone step, then the device report, the
    // channel left and the error dialog with the microphone's code; acknowledging it ends the room, as an entry
    // given up.
    void machineWithoutMicrophone()
    {
        QVERIFY(m_fixture.prepare(1));
        m_fixture.rtc().scenario.microphones.clear();
        m_fixture.rtc().use();
        ZmTest::LogCapture log;
        RoomTest::RouterProbe router;
        DialogAnswerer answerer({DialogAnswerer::Retry, DialogAnswerer::Retry, DialogAnswerer::Retry});
        PublicClassRoom* room = m_fixture.open();

        QTRY_VERIFY(room->isExiting());
        QTRY_COMPARE(router.codes, QList<int>{AppEventCode_ClassEntryGivenUp});
        const QString title = QStringLiteral("connect micphone failed");
        const QString content = QStringLiteral("please check your micphone, and try again.");
        QCOMPARE(answerer.retryTitles, (QStringList{title, title, title}));
        QCOMPARE(answerer.retryContents, (QStringList{content, content, content}));
        QCOMPARE(answerer.errorLines.size(), 1);
        QVERIFY2(answerer.errorLines.first().endsWith("[Code: -1002]"), qPrintable(answerer.errorLines.first()));
        // Every retry resumed at the microphone: the engine started once.
        QCOMPARE(stepsRun(log), (Steps{1, 4, 4, 4, 4}));
        QCOMPARE(m_fixture.rtc().calls("initialize").size(), 1);
        QCOMPARE(m_fixture.deviceReports(), QStringList{"2 1"});
        QCOMPARE(m_fixture.rtc().calls("leaveChannel").size(), 1);
        QCOMPARE(room->failureCount(), 4);
        QVERIFY(!room->hasEntered());
        QVERIFY(!ClassMsgEngine::instance());
    }

    // Closing the first offer to retry gives the entry up.
    void closedRetryGivesTheEntryUp()
    {
        QVERIFY(m_fixture.prepare(1));
        m_fixture.rtc().scenario.microphones.clear();
        m_fixture.rtc().use();
        RoomTest::RouterProbe router;
        DialogAnswerer answerer({DialogAnswerer::Close});
        PublicClassRoom* room = m_fixture.open();

        QTRY_VERIFY(room->isExiting());
        QCOMPARE(answerer.retryTitles.size(), 1);
        QVERIFY(answerer.errorLines.isEmpty());
        QTRY_COMPARE(router.codes, QList<int>{AppEventCode_ClassEntryGivenUp});
    }

    // A failure of the class information and, after its retry succeeded, of the enter-class request: each offers
    // a retry as the first failure in a row, and each retry resumes at the failed step, with the one message engine.
    void retryResumesAtTheFailedStep()
    {
        QVERIFY(m_fixture.prepare(1));
        ZmTest::Simulator::Route lesson;
        lesson.path = QStringLiteral("/classroom/lesson/");
        lesson.prefix = true;
        lesson.body = R"({"success": false, "code": "401", "msg": "refused"})";
        lesson.times = 1;
        QVERIFY(m_fixture.sim().program(lesson) >= 0);
        ZmTest::Simulator::Route enter;
        enter.path = QStringLiteral("/quillo/entrance");
        enter.params = {{"FuncTag", "50000101"}};
        enter.body = R"({"TagCode": "1003"})";
        enter.times = 1;
        QVERIFY(m_fixture.sim().program(enter) >= 0);
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.open();

        RetryOffer first;
        QVERIFY(retryWhenOffered(*room, first));
        QCOMPARE(first.step, 16u);
        QCOMPARE(first.failureCount, 1);
        QCOMPARE(first.title, QString("connect server failed"));
        QCOMPARE(first.content, QString("please check your network, and try again."));
        RetryOffer second;
        QVERIFY(retryWhenOffered(*room, second));
        QCOMPARE(second.step, 32u);
        QCOMPARE(second.failureCount, 1);
        QCOMPARE(second.serviceResult, 1003);
        QCOMPARE(second.title, QString("connect server failed"));

        QVERIFY(m_fixture.waitEntered());
        QCOMPARE(stepsRun(log), (Steps{1, 4, 8, 16, 16, 512, 32, 32, 64, 128}));
        QCOMPARE(m_fixture.rtc().calls("initialize").size(), 1);
        QCOMPARE(m_fixture.sim().requests("/classroom/lesson/").size(), 2);
        QCOMPARE(m_fixture.sim().numberedRequests("50000101").size(), 2);
        QCOMPARE(m_fixture.sim().messageConnections().size(), 1);
        QCOMPARE(room->failureCount(), 0);
    }

    // A message connection that fails: the engine goes, the retry offer shows the texts of the step before, and
    // the retry makes a new engine whose connection lets the entry go on.
    void messageConnectionFails()
    {
        QVERIFY(m_fixture.prepare(3));
        QVERIFY(m_fixture.sim().queueMessageFault(QJsonObject{{"mode", "refuse"}, {"times", 1}}));
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.open();

        RetryOffer offer;
        QVERIFY(retryWhenOffered(*room, offer));
        QCOMPARE(offer.step, 512u);
        QCOMPARE(offer.failureCount, 1);
        QVERIFY(offer.serviceResult < 0);
        QCOMPARE(offer.title, QString("connect server failed"));

        QVERIFY(m_fixture.waitEntered());
        QCOMPARE(stepsRun(log), (Steps{1, 16, 512, 512, 32, 64, 128}));
        QCOMPARE(m_fixture.sim().messageConnections("refused").size(), 1);
        QCOMPARE(m_fixture.sim().messageConnections("open").size(), 1);
        QCOMPARE(m_fixture.waitForSent(kEnterClassTag).size(), 1);
    }

    // The entry starts only once the window fills the available width of the desktop.
    void entryStartsAtFullWidth()
    {
        QVERIFY(m_fixture.prepare(3));
        ZmTest::LogCapture log;
        auto* room = new PublicClassRoom;
        QPointer<PublicClassRoom> guard = room;
        room->resize(1200, 700);
        room->show();
        QVERIFY(QTest::qWaitForWindowExposed(room, ZmTest::kWaitMs));
        // Its size has been taken in: narrower than the desktop, it does not plan the entry.
        QVERIFY(log.linesContaining("the window fills the desktop").isEmpty());
        QVERIFY(stepsRun(log).isEmpty());
        QVERIFY(!room->checkTimer()->isActive());

        room->setGeometry(ZmBaseDialog::maximizedGeometry(ZmBaseDialog::availableDesktopArea()));
        QTRY_VERIFY(room->hasEntered());
        QCOMPARE(stepsRun(log).first(), 1);
        delete guard.data();
    }

private:
    RoomFixture m_fixture;
};

ZM_TEST_MAIN(TestPublicRoomEntry)
#include "tst_publicroomentry.moc"
