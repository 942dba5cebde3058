// The normal class room in its lesson: the tiles and the RTC channel's events (render targets, joins and leaves,
// network, device state, volume bars and the low-microphone notice), the class messages (awards with their queue,
// the star click, whiteboard control, the teacher's microphone through the echo, the pupil's view of a shared
// desktop), the courseware video's effect on the pupil's microphone, and the health checks.
#include "NormalRoomTestSupport.h"

#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/WindowDiagnostics.h"
#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/TranslucentDialog.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "settings/ConfigeDlg_Imp.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include "EntryTestSupport.h"
#include "LogCapture.h"
#include "MessageServerFixture.h"
#include "RoomTestSupport.h"
#include "RtcTestSupport.h"
#include "ScriptedSteps.h"
#include "ZmTestMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtEndian>

#include <limits>
#include <memory>

using namespace NormalRoomTest;
using RtcTest::TracedScenario;
using ZmTest::LogCapture;

namespace {

QByteArray volumeRecords(const QList<QPair<quint32, quint32>>& records)
{
    QByteArray data;
    for (const auto& record : records) {
        uchar bytes[8];
        qToLittleEndian(record.first, bytes);
        qToLittleEndian(record.second, bytes + 4);
        data.append(reinterpret_cast<const char*>(bytes), 8);
    }
    return data;
}

int micVolume(VideoDisplayWidget* tile)
{
    return tile->findChild<QProgressBar*>("micVolume")->value();
}

QJsonObject teacherCommand(const QString& subTag, const QJsonObject& fields)
{
    QJsonObject message{{"messageTag", 40010001},
                        {"subTag", subTag},
                        {"teacherId", kTeacherId},
                        {"role", 1},
                        {"userId", kTeacherId},
                        {"periodId", 20240611093LL},
                        {"p", 6}};
    for (auto it = fields.begin(); it != fields.end(); ++it)
        message.insert(it.key(), it.value());
    return message;
}

QJsonObject award(int toUserId, int total)
{
    return teacherCommand("award", {{"toUserId", toUserId}, {"point", 1}, {"total", total}});
}

} // namespace

class TestNormalRoomEvents : public QObject
{
    Q_OBJECT

private:
    RoomTestEnvironment m_env;
    MessageServerFixture& m_messages = m_env.messages;
    std::unique_ptr<StepScript> m_script;
    std::unique_ptr<ZmClassRoomDlg> m_room;

    ZmTest::Simulator& sim() { return m_env.sim(); }

    struct Entry
    {
        TracedScenario* traced = nullptr; // the channel gets an engine over it
        int classPoint = 0;               // the pupil's points
        bool messages = false;            // the class message engine is connected first, so the entry wires to it
        bool wire = true;                 // the tiles are wired as the wiring step does
    };

    // A room entered over scripted steps by the account type.
    bool enterRoom(int accountType) { return enterRoom(accountType, Entry()); }
    bool enterRoom(int accountType, const Entry& entry)
    {
        setUpLesson(accountType, entry.classPoint);
        if (entry.messages && !m_messages.connectEngine())
            return false;
        m_room = std::make_unique<ZmClassRoomDlg>();
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        m_room->showRoom();
        if (!QTest::qWaitFor([&] { return ended.count() == 1; }, ZmTest::kWaitMs) || ended.first().first() != 0)
            return false;
        if (entry.traced) {
            entry.traced->use();
            if (m_room->channel()->initialize() != 0)
                return false;
        }
        if (entry.wire)
            m_room->connectVideoWidgets();
        return true;
    }

    bool enterRoomWithMessages(int accountType, int classPoint = 0, TracedScenario* traced = nullptr)
    {
        Entry entry;
        entry.traced = traced;
        entry.classPoint = classPoint;
        entry.messages = true;
        return enterRoom(accountType, entry);
    }

    static Entry over(TracedScenario& traced, bool wire = true)
    {
        Entry entry;
        entry.traced = &traced;
        entry.wire = wire;
        return entry;
    }

    // Waits until the room sent count messages of that tag and sub-tag; their named fields as text.
    QStringList waitForSent(int tag, const QString& subTag, const QStringList& fields, int count = 1)
    {
        QStringList texts;
        (void)QTest::qWaitFor(
            [&] {
                texts = sent(tag, subTag, fields);
                return texts.size() >= count;
            },
            ZmTest::kWaitMs);
        return texts;
    }

    // The messages the room sent with that tag and sub-tag, as compact JSON of the named fields.
    QStringList sent(int tag, const QString& subTag, const QStringList& fields)
    {
        QStringList texts;
        for (const QJsonObject& message : m_messages.sent()) {
            if (message.value("messageTag").toInt() != tag || message.value("subTag").toString() != subTag)
                continue;
            QStringList values;
            for (const QString& field : fields)
                values << field + "=" + QString::number(message.value(field).toInt());
            texts << values.join(' ');
        }
        return texts;
    }

    static QString viewOf(const QJsonObject& call) { return call.value("args").toObject().value("view").toString(); }

private slots:
    void initTestCase() { QVERIFY2(m_env.start(), qPrintable(m_messages.error())); }

    void init()
    {
        QVERIFY(m_env.reset());
        m_script = std::make_unique<StepScript>();
    }

    void cleanup()
    {
        if (m_room)
            m_room->releaseLiveResources();
        m_room.reset();
        m_script.reset();
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
        m_env.cleanUp();
    }

    // The local picture goes to the own tile once it is shown and has an area (tried again until then); a guest
    // binds none.
    void localRenderTarget_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("pupilTile"); // else the teacher's
        QTest::newRow("pupil") << 1 << true;
        QTest::newRow("teacher") << 2 << false;
        QTest::newRow("guest") << 3 << false;
    }
    void localRenderTarget()
    {
        QFETCH(int, accountType);
        QFETCH(bool, pupilTile);
        TracedScenario traced;
        QVERIFY(enterRoom(accountType, over(traced, false)));
        VideoDisplayWidget* own = pupilTile ? m_room->studentVideo() : m_room->teacherVideo();
        if (accountType != 3)
            QCOMPARE(own, m_room->findChild<VideoDisplayWidget*>("bottomVideo"));
        m_room->hide();
        m_room->connectVideoWidgets();
        ZmTest::letTimersFire(400);
        QVERIFY2(traced.calls("setupLocalVideo").isEmpty(), "bound while the window was hidden");

        m_room->show();
        if (accountType == 3) {
            ZmTest::letTimersFire(400);
            QVERIFY(traced.calls("setupLocalVideo").isEmpty());
            return;
        }
        QTRY_COMPARE(traced.calls("setupLocalVideo").size(), 1);
        QCOMPARE(viewOf(traced.calls("setupLocalVideo").first()), QString::number(own->videoWinId()));
        QVERIFY(!own->isOfflineLabelVisible());
        QCOMPARE(m_room->findChild<QLabel*>("lessonTitle")->text(), QStringLiteral("Unit 3 · At the Zoo"));
        QCOMPARE(m_room->studentVideo()->findChild<QLabel*>("userName")->text(), QStringLiteral("Leo"));
        QCOMPARE(m_room->teacherVideo()->findChild<QLabel*>("userName")->text(), QStringLiteral("Ms. Clara Whitfield"));
        // Once the room is leaving, nothing is bound any more.
        m_room->hide();
        m_room->connectVideoWidgets();
        m_room->ExitMe();
        m_room->show();
        ZmTest::letTimersFire(400);
        QCOMPARE(traced.calls("setupLocalVideo").size(), 1);
    }

    // Members who join get their tile bound; the cover goes two seconds after their first frame; leaving marks the
    // tile offline, and the teacher's dropped network is told to the pupil.
    void remoteUsersComeAndGo()
    {
        TracedScenario traced;
        QVERIFY(enterRoom(1, over(traced)));
        VideoDisplayWidget* teacherTile = m_room->teacherVideo();
        teacherTile->setOfflineLabelVisible(true);
        m_room->onAgora_UserJoined(424242, 0); // not a member: nothing
        m_room->onAgora_UserJoined(kTeacherId, 0);
        const QList<QJsonObject> bound = traced.calls("setupRemoteVideo");
        QCOMPARE(bound.size(), 1);
        QCOMPARE(viewOf(bound.first()), QString::number(teacherTile->videoWinId()));
        QCOMPARE(bound.first().value("args").toObject().value("uid").toInt(), kTeacherId);
        QVERIFY(!teacherTile->isOfflineLabelVisible());
        QVERIFY(teacherTile->isCoverVisible());

        m_room->onAgora_RemoteVideoIsReady(kTeacherId);
        QVERIFY(teacherTile->isCoverVisible());
        QTRY_VERIFY(!teacherTile->isCoverVisible());

        m_room->onAgora_UserOffline(kTeacherId, 1);
        QVERIFY(teacherTile->isCoverVisible());
        QVERIFY(teacherTile->isOfflineLabelVisible());
        QCOMPARE(takeToast(m_room->courseware()), QStringLiteral("Something is wrong with teacher's network"));
    }

    // A guest's whiteboard loads once a member joined, after the entry run when it is still going.
    void guestLoadsTheWhiteboardWhenAMemberJoins()
    {
        QVERIFY(enterRoom(3));
        m_script.reset();
        m_room->onAgora_UserJoined(kTeacherId, 0);
        const QJsonArray pages = sim().requests("/pages/whiteboard/guest/");
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages.first().toObject().value("path").toString().startsWith(
            QStringLiteral("/pages/whiteboard/guest/%1/880213/20240611093/1").arg(kGuestId)));
    }

    // Reset, as the user asks for it, over the engine: the own picture goes under its cover with "Reseting...", the
    // real steps leave and join the channel again, and the picture comes back with its star: the room takes the
    // cover off once the rejoin has succeeded, and the engine reports the first local frame of its new capture.
    void resetBringsTheOwnPictureBack()
    {
        TracedScenario traced;
        QVERIFY(enterRoom(1, over(traced)));
        AppGlobalData::instance()->lesson.channel = QStringLiteral("20240611093");
        AppGlobalData::instance()->lesson.channelKey = QStringLiteral("channel-key");
        AgoraChannel* channel = m_room->channel();
        QSignalSpy firstFrames(channel, &AgoraChannel::signal_local_video_ready);
        channel->setChannelMode(0); // as the entry's first step
        QCOMPARE(channel->joinChannel("20240611093", "channel-key", kPupilId), 0);
        VideoDisplayWidget* own = m_room->studentVideo();
        StarDialog* stars = own->starDialog();
        QTRY_VERIFY(!own->isCoverVisible());
        QVERIFY(stars->isVisible());
        QCOMPARE(firstFrames.size(), 1);

        m_script.reset(); // the reset runs the real join and wiring steps
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        bool coverAtTheEnd = true;
        QString textAtTheEnd = QStringLiteral("<none>");
        bool starsAtTheEnd = false;
        connect(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded, this, [&] {
            coverAtTheEnd = own->isCoverVisible();
            textAtTheEnd = own->statusText();
            starsAtTheEnd = stars->isVisible();
        });
        QVERIFY(click(m_room.get(), "btn_reset"));
        QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(m_room->curModalDialog()));
        QVERIFY(click(m_room->curModalDialog(), "okBtn"));
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
        QCOMPARE(traced.calls("leaveChannel").size(), 1);
        QCOMPARE(traced.calls("joinChannel").size(), 2);
        QVERIFY(!coverAtTheEnd);
        QCOMPARE(textAtTheEnd, QString());
        QVERIFY(starsAtTheEnd);

        // The engine tells the new capture's first frame, after the second join.
        QTRY_COMPARE(firstFrames.size(), 2);
        const QList<QJsonObject> frames = traced.callbacks("onFirstLocalVideoFrame");
        QCOMPARE(frames.size(), 2);
        QVERIFY(frames.last().value("seq").toInt() > traced.calls("joinChannel").last().value("seq").toInt());
        QVERIFY(!own->isCoverVisible());
        QCOMPARE(own->statusText(), QString());
        QVERIFY(stars->isVisible());
        QVERIFY(showsMovingPicture(own->findChild<QWidget*>("userVideo")));
    }

    // Network down: a warning, the worst quality until the rejoin, and reports of the network ignored meanwhile.
    void networkDownAndRejoin()
    {
        QVERIFY(enterRoom(1));
        auto* network = m_room->findChild<QAbstractButton*>("ButtonNetwork");
        QVERIFY(network);
        m_room->onAgora_Network_Quality(0, 1, 1);
        QCOMPARE(network->text(), QStringLiteral("GREAT"));
        m_room->onAgora_Network_Down();
        QCOMPARE(network->text(), QStringLiteral("POOR"));
        m_room->onAgora_Network_Quality(0, 1, 1);
        QCOMPARE(network->text(), QStringLiteral("POOR"));
        QCOMPARE(takeToast(m_room->courseware()), QStringLiteral("Broken network, reconnecting..."));
        m_room->onAgora_Network_Rejoin(0);
        QCOMPARE(takeToast(m_room->courseware()), QStringLiteral("Network connection success."));
        m_room->onAgora_Network_Quality(kTeacherId, 1, 1); // a remote user's: ignored
        QCOMPARE(network->text(), QStringLiteral("POOR"));
        m_room->onAgora_Network_Quality(0, 3, 3);
        QCOMPARE(network->text(), QStringLiteral("GOOD"));
    }

    // The selected device taken away starts the device re-check; other changes do not.
    void deviceStateChanges_data()
    {
        QTest::addColumn<bool>("camera");
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("rechecks");
        QTest::newRow("speaker not present") << false << "spk-1" << 4 << true;
        QTest::newRow("microphone unplugged") << false << "mic-1" << 8 << true;
        QTest::newRow("camera unplugged") << true << "cam-1" << 8 << true;
        QTest::newRow("camera not present") << true << "cam-1" << 4 << false;
        QTest::newRow("another speaker") << false << "spk-9" << 8 << false;
    }
    void deviceStateChanges()
    {
        QFETCH(bool, camera);
        QFETCH(QString, deviceId);
        QFETCH(int, state);
        QFETCH(bool, rechecks);
        QVERIFY(enterRoom(1));
        ConfigManager* settings = ConfigManager::instance();
        settings->ini_SetParam_String("SelectedDeviceID/Camera", "cam-1");
        settings->ini_SetParam_String("SelectedDeviceID/AudioIN", "mic-1");
        settings->ini_SetParam_String("SelectedDeviceID/AudioOUT", "spk-1");
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        if (camera)
            m_room->onAgora_VideoDeviceStateChanged(deviceId.toStdString(), 3, state);
        else
            m_room->onAgora_AudioDeviceStateChanged(deviceId.toStdString(), 0, state);
        if (rechecks) {
            QTRY_COMPARE(ended.count(), 1);
            QCOMPARE(m_script->attempts.mid(10), (QList<int>{2, 4, 8}));
        } else {
            ZmTest::letTimersFire(200);
            QCOMPARE(ended.count(), 0);
        }
    }

    // Volume records: 0 is the local user, the teacher's id the teacher's tile, any other the pupil's; trailing
    // bytes are ignored.
    void volumeBars()
    {
        QVERIFY(enterRoom(1));
        QByteArray data = volumeRecords({{0, 200}, {kTeacherId, 90}});
        data.append("\x01\x02\x03", 3);
        m_room->onAgora_VolumeIndication(data);
        QCOMPARE(micVolume(m_room->studentVideo()), 200);
        QCOMPARE(micVolume(m_room->teacherVideo()), 90);

        setUpLesson(2);
        m_room->onAgora_VolumeIndication(volumeRecords({{0, 40}, {kPupilId, 120}}));
        QCOMPARE(micVolume(m_room->teacherVideo()), 40);
        QCOMPARE(micVolume(m_room->studentVideo()), 120);
    }

    // One notice per thirty seconds of low level from a live microphone; a louder report starts over.
    void lowMicrophoneNotice()
    {
        TracedScenario traced;
        QVERIFY(enterRoom(1, over(traced)));
        RoomTest::ManualClock clock;
        const QByteArray low = volumeRecords({{0, 20}});  // 7 %
        const QByteArray loud = volumeRecords({{0, 26}}); // 10 %
        m_room->onAgora_VolumeIndication(low);
        clock.advance(31000);
        m_room->onAgora_VolumeIndication(low);
        QVERIFY2(takeToast(m_room->courseware(), 300).isEmpty(), "a muted microphone got the notice");

        m_room->channel()->setChannelMode(0); // publishes: the microphone is live
        QVERIFY(m_room->channel()->isLocalAudioLive());
        m_room->onAgora_VolumeIndication(low);
        clock.advance(20000);
        m_room->onAgora_VolumeIndication(loud);
        clock.advance(20000);
        m_room->onAgora_VolumeIndication(low);
        clock.advance(29000);
        m_room->onAgora_VolumeIndication(low);
        QVERIFY(takeToast(m_room->courseware(), 300).isEmpty());
        clock.advance(2000);
        m_room->onAgora_VolumeIndication(low);
        QCOMPARE(takeToast(m_room->courseware()),
                 QStringLiteral("Your microphone's voice is too small and the other person may not be able to hear "
                                "it."));
        clock.advance(1000);
        m_room->onAgora_VolumeIndication(low);
        QVERIFY(takeToast(m_room->courseware(), 300).isEmpty());
    }

    // Only a recording device muted by the system gets the notice.
    void microphoneDisabledBySystem_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<bool>("muted");
        QTest::addColumn<bool>("notice");
        QTest::newRow("recording device muted") << 1 << true << true;
        QTest::newRow("recording device unmuted") << 1 << false << false;
        QTest::newRow("playback device muted") << 0 << true << false;
    }
    void microphoneDisabledBySystem()
    {
        QFETCH(int, deviceType);
        QFETCH(bool, muted);
        QFETCH(bool, notice);
        QVERIFY(enterRoom(1));
        m_room->onAgora_AudioDeviceVolumeChanged(MEDIA_DEVICE_TYPE(deviceType), 0, muted);
        auto* dialog = qobject_cast<CancelOkWarningDlg*>(m_room->curModalDialog());
        QCOMPARE(dialog != nullptr, notice);
        if (notice)
            QCOMPARE(dialog->findChild<QLabel*>("title")->text(),
                     QStringLiteral("Microphone disabled by system\nPlease turn on microphone in system setting."));
    }

    // The teacher's star: one click a second (a refused click starts the second again), only below five points,
    // only when the service took it; the award goes out and plays over the courseware.
    void teacherAwardsAStar()
    {
        RoomTest::ManualClock clock;
        QVERIFY(enterRoomWithMessages(2, 3));
        StarDialog* stars = m_room->studentVideo()->starDialog();
        QCOMPARE(stars->starCount(), 3);

        m_room->onTeacher_AwardStarBtn_Clicked();
        QCOMPARE(waitForSent(40010001, "award", {"toUserId", "point", "total"}),
                 QStringList{QStringLiteral("toUserId=%1 point=1 total=4").arg(kPupilId)});
        QCOMPARE(sim().numberedRequests("80000005").size(), 1);
        QTRY_VERIFY(m_room->playingAward());
        QCOMPARE(stars->starCount(), 4);
        TranslucentDialog* overlay = m_room->awardOverlay();
        QCOMPARE(overlay->geometry(),
                 QRect(m_room->courseware()->mapToGlobal(QPoint(0, 0)), m_room->courseware()->size()));
        QCOMPARE(m_room->playingAward()->width(), overlay->width());
        QCOMPARE(m_room->playingAward()->height(), overlay->width() * 9 / 16);

        clock.advance(900);
        m_room->onTeacher_AwardStarBtn_Clicked(); // refused, and the second starts again
        clock.advance(900);
        m_room->onTeacher_AwardStarBtn_Clicked(); // refused
        QCOMPARE(sim().numberedRequests("80000005").size(), 1);
        clock.advance(1000);
        m_room->onTeacher_AwardStarBtn_Clicked();
        QCOMPARE(sim().numberedRequests("80000005").size(), 2);
        QCOMPARE(AppGlobalData::instance()->memberMap()->first().classPoint, 5);

        // At five points nothing more is asked or sent.
        clock.advance(1000);
        m_room->onTeacher_AwardStarBtn_Clicked();
        QCOMPARE(sim().numberedRequests("80000005").size(), 2);
        QCOMPARE(waitForSent(40010001, "award", {"total"}, 2), (QStringList{"total=4", "total=5"}));
    }

    // A refused star changes nothing.
    void refusedStar()
    {
        QVERIFY(enterRoomWithMessages(2, 1));
        ZmTest::Simulator::Route refuse;
        refuse.path = "/quillo/entrance";
        refuse.params = {{"FuncTag", "80000005"}};
        refuse.body = R"({"TagCode": "0", "isSuccess": 0})";
        QVERIFY(sim().program(refuse) >= 0);
        m_room->onTeacher_AwardStarBtn_Clicked();
        QCOMPARE(sim().numberedRequests("80000005").size(), 1);
        QCOMPARE(AppGlobalData::instance()->memberMap()->first().classPoint, 1);
        ZmTest::letTimersFire(200);
        QCOMPARE(m_messages.sentSoFar(40010001, "award"), 0);
        QVERIFY(!m_room->playingAward());
    }

    // Awards that arrive together play one after another in order, each showing its total; one for somebody who
    // is not a member is dropped and the rest go on.
    void awardsPlayInOrder()
    {
        QVERIFY(enterRoomWithMessages(1));
        StarDialog* stars = m_room->studentVideo()->starDialog();
        for (const QJsonObject& message : {award(kPupilId, 1), award(555, 2), award(kPupilId, 2), award(kPupilId, 3)})
            QVERIFY(m_messages.push(message));
        QTRY_VERIFY(m_room->playingAward());
        QTRY_COMPARE(m_room->awardQueue().size(), 3);
        QCOMPARE(stars->starCount(), 1);

        QList<int> shown;
        for (int i = 0; i < 2; ++i) {
            m_room->onAwardPoints_animationFinished();
            QVERIFY(!m_room->playingAward());
            QTRY_VERIFY(m_room->playingAward());
            shown << stars->starCount();
        }
        QCOMPARE(shown, (QList<int>{2, 3}));
        QVERIFY(m_room->awardQueue().isEmpty());
        const UserInfo pupil = AppGlobalData::instance()->memberMap()->value(kPupilId);
        QCOMPARE(pupil.starPoint, 3);
        QCOMPARE(pupil.classPoint, 3);
        m_room->onAwardPoints_animationFinished();
        ZmTest::letTimersFire(100);
        QVERIFY(!m_room->playingAward());
        QVERIFY(!m_room->awardOverlay());
    }

    // Award totals at the ends of int: the smallest leaves no count of stars before it and is refused with a log
    // line, the award behind it plays; the others play with their total.
    void awardTotalsAtTheEnds_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("plays");
        QTest::newRow("smallest int") << std::numeric_limits<int>::min() << false;
        QTest::newRow("zero") << 0 << true;
        QTest::newRow("largest int") << std::numeric_limits<int>::max() << true;
    }
    void awardTotalsAtTheEnds()
    {
        QFETCH(int, total);
        QFETCH(bool, plays);
        QVERIFY(enterRoomWithMessages(1));
        StarDialog* stars = m_room->studentVideo()->starDialog();
        LogCapture log;
        QVERIFY(m_messages.push(award(kPupilId, total)));
        QVERIFY(m_messages.push(award(kPupilId, 2)));
        QTRY_VERIFY(m_room->playingAward());
        QCOMPARE(stars->starCount(), plays ? total : 2);
        QCOMPARE(log.linesContaining("award refused").size(), plays ? 0 : 1);
        if (plays) {
            m_room->onAwardPoints_animationFinished();
            QTRY_VERIFY(m_room->playingAward());
            QCOMPARE(stars->starCount(), 2);
        }
    }

    // The teacher hands the pupil the whiteboard at the entry and takes it back; the pupil's page follows the
    // message.
    void whiteboardControl()
    {
        QVERIFY(enterRoomWithMessages(2));
        QCOMPARE(waitForSent(40010001, "enableControl", {"toUserId", "enabled"}),
                 QStringList{QStringLiteral("toUserId=%1 enabled=1").arg(kPupilId)});
        auto* control = m_room->studentVideo()->findChild<QAbstractButton*>("panButton");
        QVERIFY(control->isEnabled());
        control->click(); // checked -> unchecked
        QCOMPARE(waitForSent(40010001, "enableControl", {"enabled"}, 2), (QStringList{"enabled=1", "enabled=0"}));
        QVERIFY(!AppGlobalData::instance()->memberMap()->first().controlEnabled);
        m_room.reset();
        ClassMsgEngine::destroyInstance();

        LogCapture log;
        QVERIFY(enterRoomWithMessages(1));
        QVERIFY(!m_room->studentVideo()->findChild<QAbstractButton*>("panButton")->isEnabled());
        QVERIFY(m_messages.push(teacherCommand("enableControl", {{"toUserId", kPupilId}, {"enabled", 0}})));
        QTRY_VERIFY(!AppGlobalData::instance()->memberMap()->first().controlEnabled);
        QVERIFY(!m_room->studentVideo()->findChild<QAbstractButton*>("panButton")->isChecked());
        QVERIFY(log.linesContaining("Whiteboard::runScript showControlPanel(false)").size() >= 1);
    }

    // The teacher's microphone button sends the new state; the teacher's own microphone follows the echo.
    void teacherMicrophoneThroughTheEcho()
    {
        TracedScenario traced;
        QVERIFY(enterRoomWithMessages(2, 0, &traced));
        QVERIFY(sim().loadMessageScenario(QJsonObject{{"relay", true}, {"messages", QJsonArray()}}));
        auto* mic = m_room->teacherVideo()->findChild<QAbstractButton*>("micButton");
        QVERIFY(mic->isEnabled() && mic->isChecked());
        mic->click();
        QTRY_VERIFY(AppGlobalData::instance()->teacherAudioMuted);
        QCOMPARE(sent(40010001, "teacherAudio", {"isMute"}).last(), QStringLiteral("isMute=1"));
        QVERIFY(!mic->isChecked());
        QVERIFY(traced.parameterTexts().filter("mute_me").last().contains("\"rtc.audio.mute_me\":true"));

        mic->click();
        QTRY_VERIFY(!AppGlobalData::instance()->teacherAudioMuted);
        QCOMPARE(sent(40010001, "teacherAudio", {"isMute"}).last(), QStringLiteral("isMute=0"));
        QVERIFY(mic->isChecked());
        QVERIFY(traced.parameterTexts().filter("mute_me").last().contains("\"rtc.audio.mute_me\":false"));
    }

    // The pupil sees the teacher's desktop in the courseware's share surface; a share message during a reset
    // changes the flag only.
    void pupilSeesTheSharedDesktop()
    {
        TracedScenario traced;
        SimEvent teacherJoins;
        teacherJoins.type = SimEvent::UserJoined;
        teacherJoins.uid = kTeacherId;
        traced.scenario.events.push_back(teacherJoins);
        QVERIFY(enterRoomWithMessages(1, 0, &traced));
        m_room->channel()->setChannelMode(0); // video on, as the channel step does
        QCOMPARE(m_room->channel()->joinChannel("class-channel", "", kPupilId), 0);
        QTRY_COMPARE(traced.calls("setupRemoteVideo").size(), 1);
        QVERIFY(m_messages.push(teacherCommand("screenShare", {{"enabled", 1}})));
        QTRY_VERIFY(m_room->isDesktopShareMode());
        QVERIFY(AppGlobalData::instance()->screenShareOn);
        const QJsonObject share = traced.calls("setupRemoteVideo").last();
        QCOMPARE(viewOf(share), QString::number(m_room->courseware()->shareSurfaceWinId()));
        QCOMPARE(share.value("args").toObject().value("renderMode").toInt(), 2);
        QCOMPARE(takeToast(m_room->courseware()), QStringLiteral("The teacher is sharing desktop"));
        // The engine draws over the courseware: the share surface's window is where and as large as the surface.
        QWidget* surface = m_room->courseware()->findChild<QWidget*>("share_surface");
        const auto surfaceWindow = [surface] {
            const NativeWindowState state = queryNativeWindow(surface->internalWinId());
            return QRect(QPoint(state.left, state.top), QPoint(state.right - 1, state.bottom - 1));
        };
        QTRY_COMPARE(surfaceWindow(), QRect(surface->mapToGlobal(QPoint(0, 0)), surface->size()));
        QVERIFY2(showsMovingPicture(surface), "the shared desktop stays empty");

        QVERIFY(m_messages.push(teacherCommand("screenShare", {{"enabled", 0}})));
        QTRY_VERIFY(!m_room->isDesktopShareMode());
        QVERIFY(m_room->isVisible());
        QCOMPARE(viewOf(traced.calls("setupRemoteVideo").last()),
                 QString::number(m_room->teacherVideo()->videoWinId()));
        QCOMPARE(takeToast(m_room->courseware()), QStringLiteral("The teacher turned off desktop sharing"));

        // During a reset run only the flag changes.
        StepOutcome slow;
        slow.delayMs = 400;
        m_script->outcomes[64] = {StepOutcome::done(), slow};
        bool shareModeInRun = true;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!m_room->initTaskParams() || m_script->attempts.count(64) < 2)
                return;
            poll.stop();
            m_room->onWebSocket_ReceiveMsg_TeacherEnableScreenShare(kTeacherId, true);
            shareModeInRun = m_room->isDesktopShareMode();
        });
        poll.start(5);
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        m_room->onAgora2_Reset();
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(!shareModeInRun);
        QVERIFY(!m_room->isDesktopShareMode());
        QVERIFY(AppGlobalData::instance()->screenShareOn);
    }

    // While the courseware plays a video the pupil's microphone is muted; afterwards it is live again with the
    // volume it had.
    void courseVideoMutesThePupil()
    {
        TracedScenario traced;
        QVERIFY(enterRoom(1, over(traced)));
        m_room->channel()->setChannelMode(0);
        AgoraAudioDevice* audio = m_room->audioDevice();
        QCOMPARE(audio->Create(m_room->channel()->engine()), 0);
        QVERIFY(audio->SetRecordingVolume(60));
        const int volume = audio->GetRecordingVolume();
        auto* mic = m_room->studentVideo()->findChild<QAbstractButton*>("micButton");

        m_room->onWhiteboard_VideoIsPlaying(true);
        QVERIFY(!m_room->channel()->isLocalAudioLive());
        QVERIFY(!mic->isChecked());
        QCOMPARE(takeToast(m_room->courseware()),
                 QStringLiteral("Microphone is temporarily disabled while playing video"));
        QVERIFY(audio->SetRecordingVolume(10));

        m_room->onWhiteboard_VideoIsPlaying(false);
        QVERIFY(m_room->channel()->isLocalAudioLive());
        QVERIFY(mic->isChecked());
        QCOMPARE(audio->GetRecordingVolume(), volume);
    }

    // The settings dialog works on the room's engine: a changed microphone reaches the room's device, and a chosen
    // device on the not-recommended list gets the notice. Cancel changes nothing.
    void settingsDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("microphone");
        QTest::addColumn<QString>("notice");
        QTest::newRow("submitted")
            << "buttonOk"
            << "mic-2"
            << "The device (microphone) may affect classes. Please replace the new device in time.";
        QTest::newRow("cancelled") << "buttonCancel"
                                   << "mic-1"
                                   << "";
    }
    void settingsDialog()
    {
        QFETCH(QString, button);
        QFETCH(QString, microphone);
        QFETCH(QString, notice);
        TracedScenario traced;
        traced.scenario.microphones = {SimDeviceSpec{"Headset", "mic-1", false, -1},
                                       SimDeviceSpec{"Stereo Mix (Realtek)", "mic-2", false, -1}};
        QVERIFY(enterRoom(1, over(traced)));
        AgoraAudioDevice* audio = m_room->audioDevice();
        QCOMPARE(audio->Create(m_room->channel()->engine()), 0);
        QCOMPARE(audio->SetCurRecordingDevice("mic-1"), 0);

        QVERIFY(click(m_room.get(), "btn_setting"));
        auto* dialog = qobject_cast<ConfigeDlg_Imp*>(m_room->curModalDialog());
        QVERIFY(dialog && dialog->isVisible());
        auto* microphones = dialog->findChild<QComboBox*>("cboxMicrophone");
        QTRY_COMPARE(microphones->count(), 2);
        QTRY_COMPARE(microphones->currentIndex(), 0);
        microphones->setCurrentIndex(1);
        QVERIFY(click(dialog, qPrintable(button)));

        QCOMPARE(audio->GetCurRecordingDeviceID(), microphone);
        // The notice comes from the event loop, once the settings dialog is done.
        const auto shownText = [this] {
            auto* shown = qobject_cast<CancelOkWarningDlg*>(m_room->curModalDialog());
            return shown ? shown->findChild<QLabel*>("title")->text() : QString();
        };
        QTRY_COMPARE(shownText(), notice);
    }

    // Eight overloaded samples in a row give the notice once; the title bar shows the load.
    void cpuOverloadNotice()
    {
        QVERIFY(enterRoom(1));
        int usage = 75;
        RoomCpuLoad::setSource([&usage] { return usage; });
        for (int i = 0; i < CpuOverloadCounter::kSamplesInARow - 1; ++i)
            m_room->onTimerCpuUsage();
        QVERIFY(!m_room->curModalDialog());
        auto* load = m_room->findChild<QLabel*>("CpuUsage");
        QVERIFY(load->isVisible());
        m_room->onTimerCpuUsage();
        auto* notice = qobject_cast<CancelOkWarningDlg*>(m_room->curModalDialog());
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(notice->findChild<QLabel*>("title")->text(),
                 QStringLiteral("CPU overload, please close other software programs."));
        notice->done(CancelOkWarningDlg::ResultOk);
        for (int i = 0; i < 2 * CpuOverloadCounter::kSamplesInARow; ++i)
            m_room->onTimerCpuUsage();
        QCOMPARE(m_room->curModalDialog(), notice);
        QVERIFY(!notice->isVisible());
    }

    // Ten bad reports with both users online give one problem report; a guest's room checks nothing.
    void statisticsReports_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QStringList>("filed");
        QTest::newRow("pupil") << 1 << QStringList{"7 Video Error"};
        QTest::newRow("teacher") << 2 << QStringList{"7 Video Error"};
        QTest::newRow("guest") << 3 << QStringList{};
    }
    void statisticsReports()
    {
        QFETCH(int, accountType);
        QFETCH(QStringList, filed);
        LogCapture log;
        QVERIFY(enterRoom(accountType));
        AgoraChannel* channel = m_room->channel();
        channel->insertOnlineUserSet(kPupilId);
        channel->insertOnlineUserSet(kTeacherId);
        const QMapStrVar noVideo{{"cpuTotalUsage", 10},
                                 {"rxAudioKBitRate", 20},
                                 {"txAudioKBitRate", 20},
                                 {"rxVideoKBitRate", 0},
                                 {"txVideoKBitRate", 300}};
        for (int i = 0; i < 25; ++i)
            m_room->onAgora_RtcStats(noVideo);
        QCOMPARE(filedReports(sim()), filed);
        QCOMPARE(log.linesContaining("onAgora_RtcStats reports").size(), filed.size());
    }
};

ZM_TEST_MAIN(TestNormalRoomEvents)
#include "tst_normalroomevents.moc"
