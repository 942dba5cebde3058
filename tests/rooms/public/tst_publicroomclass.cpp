// The public class room once inside, end to end against the simulated RTC engine and the simulator: the teacher's
// presence and the page loads it drives, volumes, the teacher's audio and shared screen, the student's microphone,
// the layout of both views, leaving, the end of the lesson, network events, unplugged devices and their re-check,
// the settings and reload buttons, and the router's row.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"
#include "PublicRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/ZmAppEvents.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/sim/SimRtcEngine.h"
#include "rooms/blocks/RaiseHandCtrl.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserItemWidget_Out.h"
#include "rooms/blocks/UserListWidget.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/public/PublicClassRoom.h"
#include "rooms/public/PublicRoomLayout.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "settings/ConfigeDlg_Imp.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/TryWarningDlg.h"
#include "web/ZmClassRoomRoute.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include "LogCapture.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

using namespace PublicRoomTest;
using RtcTest::argOf;
using RtcTest::device;
using RtcTest::storedDeviceId;

namespace {

constexpr int kLeaveClassTag = 10010002;
constexpr int kRaiseHandTag = 10020001;
constexpr int kMicrophoneOnTag = 10020003;
constexpr int kMicrophoneOffTag = 10020004;
constexpr int kStudentMicrophoneOpenedTag = 20020002;
constexpr int kUserLeftTag = 30010002;
constexpr int kTeacherCommandTag = 40010001;
constexpr int kTeacherDropTag = 40010002;

SimEvent engineEvent(SimEvent::Type type, unsigned int uid = 0)
{
    SimEvent event;
    event.type = type;
    event.uid = uid;
    return event;
}

SimEvent deviceEvent(SimEvent::Type type, SimDeviceKind kind, const char* id, int state = 8)
{
    SimEvent event;
    event.type = type;
    event.kind = kind;
    event.deviceId = id;
    event.state = state;
    return event;
}

// The room's notices, in the order the room gave them.
QStringList notices(const ZmTest::LogCapture& log)
{
    QStringList texts;
    for (const QString& rest : log.linesAfter(QStringLiteral("PublicClassRoom notice ")))
        texts << rest.mid(2);
    return texts;
}

// The lesson reply with the lesson's audio muted: the student's microphone stays closed at the entry.
void programMutedLesson(ZmTest::Simulator& sim)
{
    ZmTest::Simulator::Route lesson;
    lesson.path = QStringLiteral("/classroom/lesson/");
    lesson.prefix = true;
    lesson.body = lessonReply(sim).replace("\"muteAudio\": 0", "\"muteAudio\": 1");
    sim.program(lesson);
}

// The temporary-leave timer of the raise-hand control, running or not (the countdown ticks each second).
bool leaveTimerRunning(const RaiseHandCtrl* control)
{
    const auto timers = control->findChildren<QTimer*>();
    for (const QTimer* timer : timers) {
        if (timer->isActive() && timer->interval() > RaiseHandCtrl::kTickMs)
            return true;
    }
    return false;
}

UserItemWidget_Out* memberRow(const PublicClassRoom& room, int id)
{
    return room.findChild<UserListWidget*>("userListWidget")->findUserWidget(id);
}

QString titleBarQuality(const PublicClassRoom& room)
{
    return room.titleBar()->findChild<QToolButton*>("ButtonNetwork")->text();
}

} // namespace

class TestPublicRoomClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_fixture.start(), qPrintable(m_fixture.error())); }

    void cleanup() { m_fixture.close(); }

    // The teacher's stream coming, going away with a dropped connection, and coming back: the page loads each
    // time it comes, the teacher's row and tile follow, and a student's temporary-leave timer stops.
    void teacherPresence_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::newRow("student") << 1;
        QTest::newRow("auditor") << 3;
    }
    void teacherPresence()
    {
        QFETCH(int, accountType);
        const bool student = accountType == 1;
        QVERIFY(m_fixture.prepare(accountType));
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        AppGlobalData* data = AppGlobalData::instance();
        auto* tile = room->findChild<VideoDisplayWidget*>("teacher_video");
        QCOMPARE(m_fixture.pageLoads(), 0);

        m_fixture.engine()->post(engineEvent(SimEvent::UserJoined, kTeacherId));
        QTRY_VERIFY(data->teacherPresent);
        QTRY_COMPARE(m_fixture.pageLoads(), 1);
        QVERIFY(!memberRow(*room, kTeacherId)->isMicMuted());
        QTRY_VERIFY(!tile->isCoverVisible());

        // The teacher leaves for a while: the student's control starts its timer.
        QVERIFY(m_fixture.pushFromTeacher(kUserLeftTag, {{"type", 0}}));
        if (student)
            QTRY_VERIFY(leaveTimerRunning(room->raiseHandCtrl()));

        SimEvent dropped = engineEvent(SimEvent::UserOffline, kTeacherId);
        dropped.reason = 1;
        m_fixture.engine()->post(dropped);
        QTRY_VERIFY(!data->teacherPresent);
        QVERIFY(tile->isCoverVisible());
        QVERIFY(memberRow(*room, kTeacherId)->isMicMuted());
        QCOMPARE(notices(log).contains("Something is wrong with teacher's network"), student);

        m_fixture.engine()->post(engineEvent(SimEvent::UserJoined, kTeacherId));
        QTRY_COMPARE(m_fixture.pageLoads(), 2);
        QVERIFY(data->teacherPresent);
        QVERIFY(!memberRow(*room, kTeacherId)->isMicMuted());
        if (student)
            QVERIFY(!leaveTimerRunning(room->raiseHandCtrl()));
    }

    // Volume records reach the members' rows: uid 0 is the local user, a partial record at the end is ignored.
    void volumes()
    {
        QVERIFY(m_fixture.prepare(1));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        // Rows show volumes while their member may talk.
        QVERIFY(m_fixture.pushFromTeacher(
            30030001, {{"userInfoList", QJsonArray{QJsonObject{{"userId", kStudentId}, {"state", 2}}}}}));
        QTRY_COMPARE(memberRow(*room, kStudentId)->talkState(), 2);
        QByteArray records;
        for (const quint32 field : {0u, 255u, quint32(kTeacherId), 51u})
            records.append(reinterpret_cast<const char*>(&field), 4);
        records.append("\x01\x02\x03\x04", 4);
        room->agoraOnVolumeIndication(records);
        const auto level = [room](int id) {
            return dynamic_cast<QWidget*>(memberRow(*room, id))->findChild<QProgressBar*>("voiceIcon")->value();
        };
        QCOMPARE(level(kStudentId), 100);
        QCOMPARE(level(kTeacherId), 20);
    }

    // The teacher's microphone state: the tile's microphone shows it, and the teacher's own client follows it.
    void teacherAudio_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::newRow("student") << 1;
        QTest::newRow("teacher") << 2;
    }
    void teacherAudio()
    {
        QFETCH(int, accountType);
        QVERIFY(m_fixture.prepare(accountType));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        auto* micButton =
            room->findChild<VideoDisplayWidget*>("teacher_video")->findChild<QAbstractButton*>("micButton");
        const bool liveBefore = room->channel()->isLocalAudioLive();

        QVERIFY(m_fixture.pushFromTeacher(kTeacherCommandTag, {{"subTag", "teacherAudio"}, {"isMute", 1}}));
        QTRY_VERIFY(AppGlobalData::instance()->teacherAudioMuted);
        QVERIFY(!micButton->isChecked());
        QCOMPARE(room->channel()->isLocalAudioLive(), accountType == 2 ? false : liveBefore);

        QVERIFY(m_fixture.pushFromTeacher(kTeacherCommandTag, {{"subTag", "teacherAudio"}, {"isMute", 0}}));
        QTRY_VERIFY(!AppGlobalData::instance()->teacherAudioMuted);
        QVERIFY(micButton->isChecked());
        QCOMPARE(room->channel()->isLocalAudioLive(), liveBefore);
    }

    // The teacher's shared screen replaces the page and the right panel, once however often it is announced, and
    // its end brings them back; one shared before the entry ended shows at its end; the teacher's leaving ends it.
    void shareView_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("sharedBeforeEntry");
        QTest::addColumn<bool>("endedByLeaving");
        QTest::newRow("student") << 1 << false << false;
        QTest::newRow("auditor: no raise-hand button") << 3 << false << false;
        QTest::newRow("shared before the entry ended") << 1 << true << false;
        QTest::newRow("ended by the teacher's leaving") << 1 << false << true;
    }
    void shareView()
    {
        QFETCH(int, accountType);
        QFETCH(bool, sharedBeforeEntry);
        QFETCH(bool, endedByLeaving);
        QVERIFY(m_fixture.prepare(accountType));
        AppGlobalData::instance()->screenShareOn = sharedBeforeEntry;
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        auto* courseware = room->findChild<CoursewareViewer*>("courseware");
        auto* rightPanel = room->findChild<QWidget*>("rightPanel");
        auto* userPanel = room->findChild<QFrame*>("userPanel");
        auto* raiseHand = room->findChild<RaiseHandWidget*>("raiseHandWidget");
        auto* tile = room->findChild<VideoDisplayWidget*>("teacher_video");
        const bool student = accountType == 1;

        if (!sharedBeforeEntry) {
            QVERIFY(!room->isShareView());
            for (int i = 0; i < 2; ++i)
                QVERIFY(m_fixture.pushFromTeacher(kTeacherCommandTag, {{"subTag", "screenShare"}, {"enabled", 1}}));
            QTRY_COMPARE(log.linesContaining("sigReceiveMsgTeacherEnableScreenShare").size(), 2);
        }
        QVERIFY(room->isShareView());
        QCOMPARE(log.linesContaining("PublicClassRoom::showDesktopShareStarted").size(), 1);
        QCOMPARE(notices(log).count("The teacher is sharing desktop"), 1);
        QVERIFY(!rightPanel->isVisible());
        QCOMPARE(courseware->viewMode(), int(CoursewareViewer::ShareSurfaceView));
        QCOMPARE(courseware->size(), PublicRoomLayout::shareView(room->size()).courseware);
        const QJsonObject shared = m_fixture.rtc().calls("setupRemoteVideo").last();
        QCOMPARE(argOf(shared, "view").toString(), QString::number(courseware->shareSurfaceWinId()));
        QCOMPARE(argOf(shared, "renderMode").toInt(), 2);
        QCOMPARE(argOf(shared, "uid").toInt(), kTeacherId);
        QCOMPARE(raiseHand->parentWidget(), room);
        QCOMPARE(raiseHand->isVisible(), student);
        if (student)
            QCOMPARE(raiseHand->geometry().bottomRight() + QPoint(1 + 12, 1), QPoint(room->width(), room->height()));

        if (endedByLeaving)
            QVERIFY(m_fixture.pushFromTeacher(kUserLeftTag, {{"type", 0}}));
        else
            QVERIFY(m_fixture.pushFromTeacher(kTeacherCommandTag, {{"subTag", "screenShare"}, {"enabled", 0}}));
        QTRY_VERIFY(!room->isShareView());
        QVERIFY(room->isVisible());
        QVERIFY(rightPanel->isVisible());
        QCOMPARE(courseware->viewMode(), int(CoursewareViewer::WhiteboardView));
        QCOMPARE(courseware->size(), PublicRoomLayout::normalView(room->size()).courseware);
        const QJsonObject back = m_fixture.rtc().calls("setupRemoteVideo").last();
        QCOMPARE(argOf(back, "view").toString(), QString::number(tile->videoWinId()));
        QCOMPARE(argOf(back, "renderMode").toInt(), 1);
        QCOMPARE(raiseHand->parentWidget(), userPanel);
        QCOMPARE(raiseHand->isVisible(), student);
        QCOMPARE(notices(log).last(), QString("The teacher turned off desktop sharing"));
    }

    // The room's parts at a few window sizes, in the normal view and in the share view.
    void layoutAtSizes()
    {
        QVERIFY(m_fixture.prepare(1));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        auto* courseware = room->findChild<CoursewareViewer*>("courseware");
        auto* rightPanel = room->findChild<QWidget*>("rightPanel");
        auto* userPanel = room->findChild<QFrame*>("userPanel");
        auto* members = room->findChild<UserListWidget*>("userListWidget");
        auto* raiseHand = room->findChild<RaiseHandWidget*>("raiseHandWidget");
        auto* grid = room->findChild<QGridLayout*>("gridLayout_2");

        for (const QSize& size : {QSize(1600, 900), QSize(1366, 768), QSize(1920, 1040)}) {
            room->setFixedSize(size);
            QTRY_COMPARE(room->size(), size);
            const PublicRoomLayout expected = PublicRoomLayout::normalView(size);
            QCOMPARE(courseware->size(), expected.courseware);
            QCOMPARE(grid->contentsMargins(), expected.margins);
            QCOMPARE(rightPanel->height(), expected.rightPanelHeight);
            QCOMPARE(userPanel->height(), expected.userPanelHeight);
            QCOMPARE(members->size(), userPanel->size());
            QCOMPARE(raiseHand->geometry().bottomRight() + QPoint(1, 1),
                     QPoint(userPanel->width(), userPanel->height()));
        }
        ZmTest::saveScreenshot(*room, "publicroom_student");

        QVERIFY(m_fixture.pushFromTeacher(kTeacherCommandTag, {{"subTag", "screenShare"}, {"enabled", 1}}));
        QTRY_VERIFY(room->isShareView());
        for (const QSize& size : {QSize(1600, 900), QSize(1366, 768)}) {
            room->setFixedSize(size);
            QTRY_COMPARE(room->size(), size);
            const PublicRoomLayout expected = PublicRoomLayout::shareView(size);
            QCOMPARE(courseware->size(), expected.courseware);
            QCOMPARE(grid->contentsMargins(), expected.margins);
        }
        ZmTest::saveScreenshot(*room, "publicroom_student_share_view");
    }

    // The student's microphone: asked for the state it is in, closed by the teacher, opened while a whiteboard
    // video plays (published but muted until the video stops, which brings the saved volume back).
    void studentMicrophone()
    {
        QVERIFY(m_fixture.prepare(1));
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        Whiteboard* board = room->whiteboard();
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOnTag).size(), 1);
        QVERIFY(room->channel()->isLocalAudioLive());
        QCOMPARE(notices(log), QStringList{"Micphone is turned on"});

        // The same state again: the message goes out, no notice.
        room->onSetStudentMicEnable(true);
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOnTag, 2).size(), 2);
        QCOMPARE(notices(log).size(), 1);

        QVERIFY(m_fixture.pushFromTeacher(kTeacherDropTag, {{"subTag", "drop"}, {"toUserId", kStudentId}}));
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOffTag).size(), 1);
        QVERIFY(!room->channel()->isLocalAudioLive());
        QCOMPARE(notices(log).last(), QString("Micphone is turned off"));

        AgoraAudioDevice* audio = room->audioDevice();
        QVERIFY(audio->SetRecordingVolume(40));
        board->setJsPostMessage(R"({"WPVideo":"Play"})");
        QVERIFY(board->isVideoPlaying());
        QCOMPARE(notices(log).size(), 2);
        QVERIFY(audio->SetRecordingVolume(10));

        QVERIFY(m_fixture.pushFromTeacher(kStudentMicrophoneOpenedTag, {{"userId", kStudentId}}));
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOnTag, 3).size(), 3);
        QVERIFY(!room->channel()->isLocalAudioLive());
        QCOMPARE(notices(log).last(), QString("Microphone is temporarily disabled while playing video"));

        board->setJsPostMessage(R"({"WPVideo":"Stop"})");
        QVERIFY(room->channel()->isLocalAudioLive());
        QCOMPARE(audio->GetRecordingVolume(), 40);

        // A video that starts while the microphone is live mutes it with a notice.
        board->setJsPostMessage(R"({"WPVideo":"Play"})");
        QVERIFY(!room->channel()->isLocalAudioLive());
        QCOMPARE(notices(log).last(), QString("Microphone is temporarily disabled while playing video"));
        QCOMPARE(notices(log).size(), 4);
    }

    // A click on the raise-hand button without the teacher's stream gives the notice and raises nothing; with it,
    // the hand goes up.
    void raiseHandClick()
    {
        QVERIFY(m_fixture.prepare(1));
        programMutedLesson(m_fixture.sim());
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        auto* raiseHand = room->findChild<RaiseHandWidget*>("raiseHandWidget");
        QCOMPARE(raiseHand->btnIconType(), BtnIcon_HandDown);

        press(raiseHand, "btn_raise_hand");
        QCOMPARE(notices(log), QStringList{"The teacher is not in the classroom."});
        QCOMPARE(log.linesContaining("PublicClassRoom notice 1 ").size(), 1);
        QCOMPARE(raiseHand->btnIconType(), BtnIcon_HandDown);

        m_fixture.engine()->post(engineEvent(SimEvent::UserJoined, kTeacherId));
        QTRY_VERIFY(AppGlobalData::instance()->teacherPresent);
        press(raiseHand, "btn_raise_hand");
        QCOMPARE(m_fixture.waitForSent(kRaiseHandTag).size(), 1);
        QCOMPARE(raiseHand->btnIconType(), BtnIcon_Raised);
        QCOMPARE(notices(log).size(), 1);
    }

    // The closing question and each answer: the teacher ends the lesson or only leaves, the others leave or stay.
    void leaving_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("byCloseEvent");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<QList<int>>("leaveTypes"); // "type" of each leave message
        QTest::addColumn<QString>("leaveState");    // the exit request's teacherLeaveState; "-" none sent
        QTest::addColumn<int>("channelLeaves");

        QTest::newRow("teacher ends the lesson") << 2 << false << "okBtn" << true << QList<int>{1} << "2" << 1;
        QTest::newRow("teacher only leaves, keeps the channel")
            << 2 << false << "cancelBtn" << true << QList<int>{0} << "1" << 0;
        QTest::newRow("teacher closes the question") << 2 << false << "closeBtn" << false << QList<int>{} << "-" << 0;
        QTest::newRow("student leaves") << 1 << false << "okBtn" << true << QList<int>{1} << "" << 1;
        QTest::newRow("student stays") << 1 << false << "cancelBtn" << false << QList<int>{} << "-" << 0;
        QTest::newRow("auditor closes the window") << 3 << true << "okBtn" << true << QList<int>{1} << "" << 1;
    }
    void leaving()
    {
        QFETCH(int, accountType);
        QFETCH(bool, byCloseEvent);
        QFETCH(QString, button);
        QFETCH(bool, exits);
        QFETCH(QList<int>, leaveTypes);
        QFETCH(QString, leaveState);
        QFETCH(int, channelLeaves);
        QVERIFY(m_fixture.prepare(accountType));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        AppGlobalData* data = AppGlobalData::instance();
        data->screenShareOn = accountType == 2;

        if (byCloseEvent)
            QVERIFY(!room->close());
        else
            press(room->titleBar(), "ButtonClose");
        CancelOkWarningDlg* question = nullptr;
        QTRY_VERIFY((question = visibleDialog<CancelOkWarningDlg>()) != nullptr);
        QCOMPARE(room->curModalDialog(), question);
        QCOMPARE(question->findChild<QAbstractButton*>("okBtn")->text(),
                 QString(accountType == 2 ? "End the lesson" : "OK"));
        QCOMPARE(question->findChild<QAbstractButton*>("cancelBtn")->text(),
                 QString(accountType == 2 ? "Exit" : "Cancel"));
        press(question, qPrintable(button));

        QTRY_COMPARE(room->isExiting(), exits);
        QList<int> types;
        for (const QJsonObject& message : m_fixture.waitForSent(kLeaveClassTag, leaveTypes.size()))
            types << message.value("type").toInt();
        QCOMPARE(types, leaveTypes);
        const QJsonArray exitRequests = m_fixture.sim().numberedRequests("50000102");
        QCOMPARE(exitRequests.size(), leaveState == "-" ? 0 : 1);
        if (leaveState != "-") {
            const QString sent = ZmTest::Simulator::paramOf(exitRequests.first().toObject(), "teacherLeaveState");
            QCOMPARE(sent, leaveState);
            QVERIFY(!data->enteredClass);
        }
        QCOMPARE(m_fixture.rtc().calls("leaveChannel").size(), channelLeaves);
        if (accountType == 2 && exits) {
            // The teacher's share goes off first.
            QVERIFY(!data->screenShareOn);
            const QList<QJsonObject> commands = m_fixture.sent(kTeacherCommandTag);
            QVERIFY(!commands.isEmpty());
            QCOMPARE(commands.last().value("subTag").toString(), QString("screenShare"));
        }
    }

    // A second close click replaces the open question; Escape does nothing.
    void secondCloseReplacesTheQuestion()
    {
        QVERIFY(m_fixture.prepare(1));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        QTest::keyClick(room, Qt::Key_Escape);
        QVERIFY(room->isVisible());

        press(room->titleBar(), "ButtonClose");
        QTRY_VERIFY(room->curModalDialog());
        QPointer<ModalDialog> first = room->curModalDialog();
        press(room->titleBar(), "ButtonClose");
        QTRY_VERIFY(room->curModalDialog() != first);
        QTRY_VERIFY(!first);
        QVERIFY(visibleDialog<CancelOkWarningDlg>());
        QVERIFY(!room->isExiting());
    }

    // The teacher ends the lesson: a student leaves the channel, closes the microphone and sees the lesson's end,
    // which stays until it is answered; an auditor stays as it is.
    void lessonEnded_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::newRow("student") << 1;
        QTest::newRow("auditor") << 3;
    }
    void lessonEnded()
    {
        QFETCH(int, accountType);
        const bool student = accountType == 1;
        QVERIFY(m_fixture.prepare(accountType));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        ZmTest::LogCapture log;

        QVERIFY(m_fixture.pushFromTeacher(kUserLeftTag, {{"type", 1}}));
        QVERIFY(log.waitFor("PublicClassRoom::onWebSocket_ReceiveMsg_TeacherLeaveClass"));
        if (!student) {
            QVERIFY(!visibleDialog<ErrorDlg>());
            QCOMPARE(m_fixture.sim().numberedRequests("50000102").size(), 0);
            QCOMPARE(m_fixture.rtc().calls("leaveChannel").size(), 0);
            return;
        }
        ErrorDlg* notice = nullptr;
        QTRY_VERIFY((notice = visibleDialog<ErrorDlg>()) != nullptr);
        QCOMPARE(notice->findChild<QLabel*>("label_L2")->text(), QString("This lesson is over~"));
        QCOMPARE(notice->findChild<QAbstractButton*>("iknowBtn")->text(), QString("Out of class"));
        QCOMPARE(m_fixture.sim().numberedRequests("50000102").size(), 1);
        QCOMPARE(m_fixture.rtc().calls("leaveChannel").size(), 1);
        QCOMPARE(m_fixture.waitForSent(kMicrophoneOffTag).size(), 1);
        QCOMPARE(room->findChild<RaiseHandWidget*>("raiseHandWidget")->btnIconType(), BtnIcon_HandDown);

        // Neither the close question nor a device re-check takes the lesson's end off.
        press(room->titleBar(), "ButtonClose");
        QMetaObject::invokeMethod(room, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, 1));
        QVERIFY(log.waitFor("runTasks_awaitEnd: result 0"));
        QVERIFY(notice->isVisible());
        QCOMPARE(room->curModalDialog(), notice);
        QVERIFY(!visibleDialog<CancelOkWarningDlg>());
        QVERIFY(!room->isExiting());
        press(notice, "iknowBtn");
        QTRY_VERIFY(room->isExiting());
    }

    // Network quality in the title bar (the local user's only, none while down), the message connection restarted
    // when the RTC network goes down, and the reports again after the rejoin.
    void network()
    {
        QVERIFY(m_fixture.prepare(3));
        m_fixture.rtc().scenario.qualityIntervalMs = 3600000;
        m_fixture.rtc().use();
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        SimRtcEngine* engine = m_fixture.engine();
        const auto quality = [](unsigned int uid, int rx) {
            SimEvent event = engineEvent(SimEvent::NetworkQuality, uid);
            event.tx = rx;
            event.rx = rx;
            return event;
        };

        engine->post(quality(0, 5));
        QTRY_COMPARE(titleBarQuality(*room), QString("POOR"));
        engine->post(quality(kTeacherId, 1));
        engine->post(quality(0, 3));
        QTRY_COMPARE(titleBarQuality(*room), QString("GOOD"));

        engine->post(engineEvent(SimEvent::ConnectionInterrupted));
        QTRY_VERIFY(room->isNetworkDown());
        QCOMPARE(titleBarQuality(*room), QString("POOR"));
        QCOMPARE(m_fixture.sim().waitForMessageConnections(2).size(), 2);
        QTRY_COMPARE(m_fixture.sim().messageConnections("open").size(), 1);
        QTRY_COMPARE(m_fixture.sim().messageConnections("closed").size(), 1);
        engine->post(quality(0, 1));
        engine->post(engineEvent(SimEvent::Rejoin));
        QTRY_VERIFY(!room->isNetworkDown());
        QCOMPARE(titleBarQuality(*room), QString("POOR"));
        engine->post(quality(0, 1));
        QTRY_COMPARE(titleBarQuality(*room), QString("GREAT"));
    }

    // Which device events take the selected device away and start the re-check, and what it selects afterwards.
    void deviceUnplugged_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("rechecks");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("selectedAfter");

        const int camera = int(SimDeviceKind::Camera);
        const int microphone = int(SimDeviceKind::Microphone);
        const int speaker = int(SimDeviceKind::Speaker);
        QTest::newRow("selected microphone unplugged: the other one is taken")
            << 1 << microphone << "mic-a" << 8 << true << "SelectedDeviceID/AudioIN"
            << "mic-b";
        QTest::newRow("selected microphone not present: still listed, taken again")
            << 1 << microphone << "mic-a" << 4 << true << "SelectedDeviceID/AudioIN"
            << "mic-a";
        QTest::newRow("selected speaker unplugged")
            << 1 << speaker << "spk-a" << 8 << true << "SelectedDeviceID/AudioOUT"
            << "spk-b";
        QTest::newRow("a microphone not selected: only logged")
            << 1 << microphone << "mic-b" << 8 << false << "SelectedDeviceID/AudioIN"
            << "mic-a";
        QTest::newRow("selected camera unplugged") << 2 << camera << "cam-a" << 8 << true << "SelectedDeviceID/Camera"
                                                   << "cam-b";
        QTest::newRow("selected camera not present: no re-check")
            << 2 << camera << "cam-a" << 4 << false << "SelectedDeviceID/Camera"
            << "cam-a";
    }
    void deviceUnplugged()
    {
        QFETCH(int, accountType);
        QFETCH(int, kind);
        QFETCH(QString, id);
        QFETCH(int, state);
        QFETCH(bool, rechecks);
        QFETCH(QString, key);
        QFETCH(QString, selectedAfter);
        QVERIFY(m_fixture.prepare(accountType));
        m_fixture.rtc().scenario.microphones = {device("Microphone A", "mic-a"), device("Microphone B", "mic-b")};
        m_fixture.rtc().scenario.speakers = {device("Speaker A", "spk-a"), device("Speaker B", "spk-b")};
        m_fixture.rtc().scenario.cameras = {device("Camera A", "cam-a"), device("Camera B", "cam-b")};
        m_fixture.rtc().use();
        ZmTest::LogCapture log;
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        QCOMPARE(storedDeviceId("SelectedDeviceID/AudioIN"), QString("mic-a"));

        // State 4 comes alone; an unplug takes the device off the list and reports 8.
        const SimEvent::Type type = state == 4 ? SimEvent::DeviceState : SimEvent::Unplug;
        m_fixture.engine()->post(deviceEvent(type, SimDeviceKind(kind), qPrintable(id), state));
        if (rechecks) {
            QVERIFY(log.waitFor("runTasks_awaitEnd: result 0"));
            QCOMPARE(log.linesContaining("PublicClassRoom::runDeviceRecheck").size(), 1);
        } else {
            QVERIFY(log.waitFor(kind == int(SimDeviceKind::Camera) ? "Video device state:" : "Audio device state"));
            QCOMPARE(log.linesContaining("PublicClassRoom::runDeviceRecheck").size(), 0);
        }
        QTRY_COMPARE(storedDeviceId(qPrintable(key)), selectedAfter);
        QVERIFY(!room->isDeviceRecheckRunning());
        QVERIFY(!room->isExiting());
    }

    // Two unplugs in quick succession: one re-check at a time, the second waits in steps of 5 s and runs after.
    void secondUnplugWaitsForTheFirst()
    {
        QVERIFY(m_fixture.prepare(1));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        ZmTest::LogCapture log;
        QMetaObject::invokeMethod(room, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, 1));
        QMetaObject::invokeMethod(room, "onAgora2_DeviceUnplugged", Qt::QueuedConnection, Q_ARG(int, 1));
        QVERIFY(log.waitFor("PublicClassRoom::runDeviceRecheck", 2));
        QCOMPARE(log.linesContaining("( taskParams->forCase_ = 1 )").size(), 1);
        QVERIFY(log.waitFor("runTasks_awaitEnd: result 0", 2));
        QVERIFY(!room->isExiting());
    }

    // A re-check that fails for good ends the room, after the runner's own dialogs; meanwhile the room opens no
    // dialog of its own.
    void failedRecheckEndsTheRoom()
    {
        QVERIFY(m_fixture.prepare(1));
        m_fixture.rtc().scenario.cameras.clear();
        m_fixture.rtc().use();
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        bool questionRefused = false;
        // Runs inside the re-check's dialog loop: the close question is refused, then the retry is closed.
        QTimer answer;
        connect(&answer, &QTimer::timeout, room, [&] {
            auto* retry = visibleDialog<TryWarningDlg>();
            if (!retry)
                return;
            answer.stop();
            room->onButtonCloseClicked();
            QCoreApplication::processEvents();
            questionRefused = !room->curModalDialog() && !visibleDialog<CancelOkWarningDlg>();
            press(retry, "closeBtn");
        });
        answer.start(10);
        m_fixture.engine()->post(deviceEvent(SimEvent::Unplug, SimDeviceKind::Microphone, "sim-microphone-0"));
        QTRY_VERIFY(room->isExiting());
        QVERIFY(questionRefused);
        QVERIFY(!room->isDeviceRecheckRunning());
    }

    // The device settings dialog: accepted, its changed devices are selected; cancelled, nothing changes.
    void settingsDialog_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("microphoneAfter");
        QTest::newRow("accepted") << 1 << "mic-b";
        QTest::newRow("cancelled") << 0 << "mic-a";
    }
    void settingsDialog()
    {
        QFETCH(int, result);
        QFETCH(QString, microphoneAfter);
        QVERIFY(m_fixture.prepare(2));
        m_fixture.rtc().scenario.microphones = {device("Microphone A", "mic-a"), device("Microphone B", "mic-b")};
        m_fixture.rtc().use();
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        QCOMPARE(room->audioDevice()->GetCurRecordingDeviceID(), QString("mic-a"));

        press(room->titleBar(), "ButtonSetting");
        ConfigeDlg_Imp* dialog = nullptr;
        QTRY_VERIFY((dialog = visibleDialog<ConfigeDlg_Imp>()) != nullptr);
        QCOMPARE(room->curModalDialog(), dialog);
        dialog->changedDevices()["SelectedDeviceID/AudioIN"] = "mic-b";
        dialog->done(result);
        QCOMPARE(room->audioDevice()->GetCurRecordingDeviceID(), microphoneAfter);
    }

    // The reload button loads the page again.
    void reloadButton()
    {
        QVERIFY(m_fixture.prepare(2));
        PublicClassRoom* room = m_fixture.enter();
        QVERIFY(room);
        QTRY_COMPARE(m_fixture.pageLoads(), 1);
        press(room->titleBar(), "ButtonReload");
        QTRY_COMPARE(m_fixture.pageLoads(), 2);
    }

    // The router's row: status 3 opens the room; its end closes and deletes it (a program started for the lesson).
    void routerRow()
    {
        QVERIFY(m_fixture.prepare(3));
        ZmRouteManager router;
        QVERIFY(router.setWindowRoute(AppStartStatus_PublicClassRoom,
                                      zmClassRoomRoute<PublicClassRoom>(AppStartStatus_PublicClassRoom)));
        QCoreApplication::postEvent(&router, new ZmAppStatusEvent(AppStartStatus_PublicClassRoom));
        QTRY_VERIFY(router.routedWindow(AppStartStatus_PublicClassRoom));
        QPointer<PublicClassRoom> room = qobject_cast<PublicClassRoom*>(router.routedWindow(3));
        QVERIFY(room);
        QTRY_VERIFY(room->hasEntered());
        QVERIFY(room->isVisible());

        room->ExitMe();
        QTRY_VERIFY(!room);
        QVERIFY(!router.routedWindow(AppStartStatus_PublicClassRoom));
        QVERIFY(AppGlobalData::instance()->memberMap()->isEmpty());
        QVERIFY(!ClassMsgEngine::instance());
    }

private:
    RoomFixture m_fixture;
};

ZM_TEST_MAIN(TestPublicRoomClass)
#include "tst_publicroomclass.moc"
