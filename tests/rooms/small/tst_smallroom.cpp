// The small class room with the real browser and the installed small-class page, entering through the real steps
// against the class service simulator and the simulated RTC engine: the entry and its page address, the page's
// requests (environment, microphone, video size, buttons, close), statistics and volumes to the page, the
// dialogs, device loss, and release.
#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"
#include "app/ZmAppEvents.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/sim/SimRtcEngine.h"
#include "net/api/ZmNetAPI.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/small/SmallClassRoom.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "settings/ConfigeDlg_Imp.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/MyTitleBar.h"
#include "web/whiteboard/Whiteboard.h"

#include "DialogAnswerer.h"
#include "EntryTestSupport.h"
#include "FeedbackSimulator.h"
#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "ScriptedSteps.h"
#include "Simulator.h"
#include "SmallRoomTestSupport.h"
#include "ZmTestMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtEndian>

#include <memory>

using namespace SmallRoomTest;
using RtcTest::device;
using RtcTest::storedDeviceId;
using ZmTest::LogCapture;

namespace {

constexpr int kEntryWaitMs = 60000;
const QList<int> kEntrySteps{1, 16, 2, 4, 8, 64, 32, 256};
const QList<int> kDeviceSteps{2, 4, 8};

// A room over a traced scenario, with the steps it makes recorded and the log captured.
struct Room
{
    explicit Room(const SimScenario& scenario = lessonScenario())
    {
        rtc.scenario = scenario;
        rtc.use();
    }

    RtcTest::TracedScenario rtc;
    LogCapture log;
    StepRecorder steps;
    SmallClassRoom room;
    QSignalSpy ended{&room, &SmallClassRoom::sigInitTasksEnded};

    // Shows the room; true once its entry has ended with result.
    bool enter(int result = 0)
    {
        room.showRoom();
        return QTest::qWaitFor([this] { return !ended.isEmpty(); }, kEntryWaitMs) && ended.size() == 1 &&
               ended.at(0).at(0).toInt() == result;
    }

    // Enters, and waits until the page shows the own and the teacher's video.
    bool enterAndShowVideos()
    {
        return enter() && log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kPupilId)) &&
               log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kTeacherId));
    }

    // The feedback form the page's button opens over the room, once it shows the three issue rows; null when none
    // comes.
    FeedbackOnlineDlg* openFeedbackForm()
    {
        pagePosts(QStringLiteral("{key: 'msg-w2n-btn-clicked', domId: 'feedback'}"));
        const auto form = [this] { return qobject_cast<FeedbackOnlineDlg*>(room.curModalDialog()); };
        if (!QTest::qWaitFor([&form] { return form() && form()->feedbackItems().size() == 3; }, ZmTest::kWaitMs))
            return nullptr;
        return form();
    }

    // The page sends message (a JavaScript object literal) as it would by itself.
    void pagePosts(const QString& message)
    {
        room.whiteboard()->runScript(QStringLiteral("boardFixture.post(%1)").arg(message), false);
    }

    QList<int> profilesSet() const
    {
        QList<int> profiles;
        for (const QJsonObject& line : rtc.calls(QStringLiteral("setVideoProfile")))
            profiles << RtcTest::argOf(line, "profile").toInt();
        return profiles;
    }

    SimRtcEngine* engine() const { return RtcTest::simEngine(room.channel()->engine()); }

    QString titleText() const
    {
        auto* title = room.titleBar()->findChild<QLabel*>(QStringLiteral("TitleContent"));
        return title ? title->text() : QStringLiteral("<no title>");
    }
};

// The text of a notice dialog's message.
QStringList labelTexts(QWidget* dialog)
{
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

// Volume records as the channel sends them: uid and volume, 32 bits little-endian each.
QByteArray volumeRecords(const QList<QPair<quint32, qint32>>& records)
{
    QByteArray data;
    for (const auto& record : records) {
        char bytes[8];
        qToLittleEndian<quint32>(record.first, bytes);
        qToLittleEndian<qint32>(record.second, bytes + 4);
        data.append(bytes, 8);
    }
    return data;
}

} // namespace

class TestSmallRoom : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    std::unique_ptr<RouterProbe> m_router;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        QVERIFY(installOfflinePage());
        QVERIFY(makeLessonFolder(kLessonId));
        Whiteboard::setStopAllWaitForTesting(100);
        m_router = std::make_unique<RouterProbe>();
    }

    void cleanupTestCase()
    {
        m_router.reset();
        RoomCpuLoad::setSource({});
    }

    void init()
    {
        setUpLesson();
        m_router->codes.clear();
        QVERIFY(m_sim.clearRoutes());
        QVERIFY(m_sim.clearHolds());
        QVERIFY(m_sim.clearRequests());
        for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
            ConfigManager::instance()->ini_SetParam_String(key, QByteArray());
        useCalmProcessor();
    }

    // The entry starts once, 100 ms after the window first reaches the desktop's full width, runs its steps over
    // the installed page (token masked in the log) and ends with the lesson's name in the title; the frames of the
    // own camera and of the teacher reach the page's video views; the page's environment request is answered.
    void entryRunsOnceOverTheOfflinePage()
    {
        Room r;
        r.room.resize(900, 600);
        r.room.show();
        ZmTest::letTimersFire(300);
        QVERIFY(!r.room.isEntryStarted());
        QCOMPARE(r.ended.size(), 0);

        QVERIFY(r.enterAndShowVideos());
        QCOMPARE(r.steps.attempts, kEntrySteps);
        QCOMPARE(r.titleText(), AppGlobalData::instance()->lesson.lessonName);
        QVERIFY(!r.titleText().isEmpty());
        QVERIFY(!r.room.initTaskParams());

        const QStringList loaded = r.log.linesContaining(QStringLiteral("Whiteboard url = "));
        QCOMPARE(loaded.size(), 1);
        QVERIFY2(loaded.first().contains(QStringLiteral("/vroom/vroom.html?periodId=20240611093&userId=100234&token=***"
                                                        "&mode=production&ppt_path=file%3A%2F%2F")),
                 qPrintable(loaded.first()));
        QVERIFY2(loaded.first().endsWith(QStringLiteral("%2F880213&language=en&accountType=1")),
                 qPrintable(loaded.first()));
        QVERIFY(!r.log.text().contains(QStringLiteral("lesson-token")));

        // Live broadcasting, the frame observer registered: both users' frames are in their views' sections.
        QTRY_VERIFY(!r.room.videoViews()->sectionNameOf(kPupilId).isEmpty());
        QTRY_VERIFY(!r.room.videoViews()->sectionNameOf(kTeacherId).isEmpty());
        QCOMPARE(RtcTest::argOf(r.rtc.calls(QStringLiteral("setChannelProfile")).value(0), "profile").toInt(), 1);

        // The environment, in the exact compact message the page receives.
        const QString environment = QStringLiteral(R"({"appVersion":"%1","deviceUid":"%2","key":"msg-n2w-post-env",)"
                                                   R"("systemVersion":"%3","userId":"100234"})")
                                        .arg(getExeFileVersion(4), getDeviceUid(), getOsName());
        QTRY_COMPARE(pageMessages(r.log.lines(), QStringLiteral("msg-n2w-post-env")), QStringList{environment});
        QCOMPARE(r.log.linesContaining(QStringLiteral("Whiteboard::runScript passMessage(%1)").arg(environment)).size(),
                 1);

        // A second stretch to the full width starts nothing.
        r.room.resize(900, 600);
        r.room.showRoom();
        ZmTest::letTimersFire(300);
        QCOMPARE(r.ended.size(), 1);
        QCOMPARE(r.steps.attempts, kEntrySteps);
    }

    // A failed entry ends the room once the run has ended: the router hears of it, the channel is left, the title
    // stays empty.
    void failedEntryEndsTheRoom_data()
    {
        QTest::addColumn<bool>("lessonRefused");
        QTest::newRow("lesson information refused") << true;
        QTest::newRow("channel join refused") << false;
    }

    void failedEntryEndsTheRoom()
    {
        QFETCH(bool, lessonRefused);
        SimScenario scenario = lessonScenario();
        if (lessonRefused) {
            ZmTest::Simulator::Route refused;
            refused.path = QStringLiteral("/classroom/lesson/");
            refused.prefix = true;
            refused.status = 500;
            QVERIFY(m_sim.program(refused) > 0);
        } else {
            scenario.results["joinChannel"] = {-17};
        }
        DialogAnswerer answerer({DialogAnswerer::Close});
        Room r(scenario);
        QVERIFY(r.enter(-3));
        QCOMPARE(answerer.retryTitles.size(), 1);
        QTRY_COMPARE(m_router->codes, QList<int>{AppEventCode_ClassEntryGivenUp});
        QVERIFY(r.room.isExiting());
        QCOMPARE(r.titleText(), QString());
        QVERIFY(!r.room.initTaskParams());
    }

    // Leaving while the entry runs: the run stops before its next step and the room ends once, after the run.
    void exitDuringTheEntryWaitsForTheRun()
    {
        ZmTest::Simulator::Route slowLesson;
        slowLesson.path = QStringLiteral("/classroom/lesson/");
        slowLesson.prefix = true;
        slowLesson.hold = QStringLiteral("lesson");
        slowLesson.headers = {{QStringLiteral("Content-Type"), QStringLiteral("application/json")}};
        slowLesson.body = lessonReply(m_sim);
        QVERIFY(m_sim.program(slowLesson) > 0);
        Room r;
        // The test's own code waits beneath the run's event loop: the user acts from a timer.
        QTimer user;
        user.setInterval(20);
        QPointer<ModalDialog> dialogDuringRun;
        // The lesson's reply waits until the user has acted and the room (its close not answered by the page) has
        // asked the run to stop.
        bool clicked = false;
        connect(&user, &QTimer::timeout, this, [this, &r, &user, &dialogDuringRun, &clicked] {
            if (!clicked) {
                if (r.steps.attempts != QList<int>{1, 16} || !r.room.initTaskParams())
                    return;
                clicked = true;
                // No dialog opens over a run.
                r.room.popupFeedbackDlg();
                dialogDuringRun = r.room.curModalDialog();
                QTest::mouseClick(r.room.titleBar()->findChild<QPushButton*>(QStringLiteral("ButtonClose")),
                                  Qt::LeftButton);
                return;
            }
            if (r.log.linesContaining(QStringLiteral("SmallClassRoom::ExitMe after the step run in progress"))
                    .isEmpty())
                return;
            user.stop();
            m_sim.releaseHold(QStringLiteral("lesson"));
        });
        user.start();
        QList<int> codesAtRunEnd{-1};
        connect(&r.room, &SmallClassRoom::sigInitTasksEnded, this,
                [this, &codesAtRunEnd] { codesAtRunEnd = m_router->codes; });
        r.room.showRoom();

        QTRY_COMPARE(r.ended.size(), 1);
        QVERIFY(r.log.waitFor(QStringLiteral("SmallClassRoom::ExitMe after the step run in progress")));
        QCOMPARE(codesAtRunEnd, QList<int>());
        QVERIFY(!dialogDuringRun);
        QVERIFY(r.room.findChildren<FeedbackOnlineDlg*>().isEmpty());
        QTRY_COMPARE(m_router->codes, QList<int>{AppEventCode_ClassRoomEnded});
        QCOMPARE(r.steps.attempts, (QList<int>{1, 16}));
        QVERIFY(r.room.isExiting());
        QVERIFY(!r.room.isCloseTimerActive());
        ZmTest::letTimersFire(3500);
        QCOMPARE(m_router->codes, QList<int>{AppEventCode_ClassRoomEnded});
    }

    // Without the lesson's offline folder no run takes place; the room stays, with an empty title.
    void noRunWithoutTheLessonFolder()
    {
        AppGlobalData::instance()->lesson.lessonId = QStringLiteral("880299");
        QVERIFY(removeLessonFolder(QStringLiteral("880299")));
        Room r;
        r.room.showRoom();
        QVERIFY(r.log.waitFor(QStringLiteral("SmallClassRoom::initTasks no offline folder for lesson \"880299\"")));
        QCOMPARE(r.room.initTasks(), 0);
        ZmTest::letTimersFire(200);
        QCOMPARE(r.ended.size(), 0);
        QVERIFY(r.steps.attempts.isEmpty());
        QVERIFY(!r.room.initTaskParams());
        QVERIFY(m_router->codes.isEmpty());
        QVERIFY(r.room.isVisible());
        QCOMPARE(r.titleText(), QString());
    }

    // The page turns the microphone on and off; a request that matches the microphone's state does nothing.
    void microphoneFollowsThePage()
    {
        Room r;
        QVERIFY(r.enter());
        QVERIFY(r.room.channel()->isLocalAudioLive());
        const struct
        {
            const char* message;
            bool liveAfter;
            QString toast;
        } requests[] = {
            {"msg-w2n-device-mic-open", true, QString()},
            {"msg-w2n-device-mic-close", false, QStringLiteral("Micphone is turned off")},
            {"msg-w2n-device-mic-close", false, QString()},
            {"msg-w2n-device-mic-open", true, QStringLiteral("Micphone is turned on")},
        };
        for (const auto& request : requests) {
            // Once the room has taken the request in, a notice is shown or queued (behind the gap after the one
            // before), or there is none.
            const QString handled = QStringLiteral("W2N_Msg: ") + QLatin1String(request.message);
            const int before = r.log.linesContaining(handled).size();
            r.pagePosts(QStringLiteral("{key: '%1'}").arg(QLatin1String(request.message)));
            QVERIFY(r.log.waitFor(handled, before + 1));
            QCOMPARE(takeToast(r.room.courseware(), request.toast.isEmpty() ? 0 : ZmTest::kWaitMs), request.toast);
            QCOMPARE(r.room.channel()->isLocalAudioLive(), request.liveAfter);
        }
    }

    // An auditor publishes nothing: the page's microphone requests change nothing, and no notice says the
    // microphone is on.
    void auditorMicrophoneRequestsChangeNothing()
    {
        AppGlobalData::instance()->launch.accountType = 3;
        Room r;
        QVERIFY(r.enter());
        QVERIFY(!r.room.channel()->isPublishing());
        const auto muteCalls = [&r] { return r.rtc.parameterTexts().filter(QStringLiteral("mute_me")).size(); };
        const int mutesAtEntry = muteCalls();
        for (const char* message : {"msg-w2n-device-mic-open", "msg-w2n-device-mic-open", "msg-w2n-device-mic-close"})
            r.pagePosts(QStringLiteral("{key: '%1'}").arg(QLatin1String(message)));
        QVERIFY(r.log.waitFor(QStringLiteral("ignored: the local user does not publish"), 3));
        QCOMPARE(takeToast(r.room.courseware(), 0), QString());
        QVERIFY(!r.room.channel()->isLocalAudioLive());
        QCOMPARE(muteCalls(), mutesAtEntry);
    }

    // The channel's network state shows as notices over the page.
    void networkStateNotices()
    {
        Room r;
        QVERIFY(r.enter());
        SimEvent down;
        down.type = SimEvent::ConnectionInterrupted;
        down.fromJoin = false;
        r.engine()->post(down);
        QCOMPARE(takeToast(r.room.courseware()), QStringLiteral("Broken network, reconnecting..."));
        SimEvent rejoin;
        rejoin.type = SimEvent::Rejoin;
        rejoin.fromJoin = false;
        r.engine()->post(rejoin);
        QCOMPARE(takeToast(r.room.courseware()), QStringLiteral("Network connection success."));
    }

    // The page's picture sizes 120, 240 and 480 set the video profiles 0, 20 and 40; other sizes are ignored.
    void videoProfileFollowsThePage()
    {
        Room r;
        QVERIFY(r.enter());
        const QList<int> before = r.profilesSet();
        for (int size : {360, 120, 240, 480, 20})
            r.pagePosts(QStringLiteral("{key: 'msg-w2n-set-video-profile', size: %1}").arg(size));
        QVERIFY(r.log.waitFor(QStringLiteral("SmallClassRoom set-video-profile 20 -> profile -1")));
        QCOMPARE(r.profilesSet().mid(before.size()), (QList<int>{0, 20, 40}));
    }

    // Leaving goes through the page: a page that takes the close over keeps the room until it closes it; one that
    // does not answer within 3000 ms leaves the room ended by the timer, once.
    void closeHandshake_data()
    {
        QTest::addColumn<QString>("pageClose");
        QTest::addColumn<bool>("byWindowClose");
        QTest::addColumn<bool>("staysPastTimer");

        // "respond": the page answers; the test has it close the room later.
        QTest::newRow("answered, closed later") << "respond" << false << true;
        QTest::newRow("answered, window closed") << "respond" << true << true;
        QTest::newRow("not answered") << "silent" << false << false;
        QTest::newRow("not answered, window closed") << "silent" << true << false;
        QTest::newRow("closed at once") << "now" << false << false;
    }

    void closeHandshake()
    {
        QFETCH(QString, pageClose);
        QFETCH(bool, byWindowClose);
        QFETCH(bool, staysPastTimer);

        Room r;
        QVERIFY(r.enter());
        UserInfo member;
        QVERIFY(AppGlobalData::instance()->findUser(100871, member));
        // Scripts run in the page in the order they were sent: the option is set before the close is asked.
        r.room.whiteboard()->runScript(QStringLiteral("boardFixture.set({close: '%1'})").arg(pageClose), false);
        if (byWindowClose) {
            QVERIFY(!r.room.close()); // refused: the page is asked first
            QVERIFY(r.room.isVisible());
        } else {
            QTest::mouseClick(r.room.titleBar()->findChild<QPushButton*>(QStringLiteral("ButtonClose")),
                              Qt::LeftButton);
        }
        QVERIFY(r.log.waitFor(kPageCall + QStringLiteral("N2WCloseWindow")));

        if (staysPastTimer) {
            // The answer stopped the timer: the room stays until the page closes it.
            QVERIFY(r.log.waitFor(QStringLiteral("W2N_Msg: msg-w2n-close-window-response")));
            QVERIFY(!r.room.isCloseTimerActive());
            QVERIFY(m_router->codes.isEmpty());
            QVERIFY(!r.room.isExiting());
            r.pagePosts(QStringLiteral("{key: 'msg-w2n-close-window'}"));
        }
        QTRY_COMPARE(m_router->codes, QList<int>{AppEventCode_ClassRoomEnded});
        QVERIFY(r.room.isExiting());
        QVERIFY(!r.room.isCloseTimerActive());
        QCOMPARE(r.rtc.calls(QStringLiteral("leaveChannel")).size(), 1);
        QVERIFY(!AppGlobalData::instance()->findUser(100871, member));

        // Once ended it ends no second time, and the window closes normally.
        const int closes = r.log.linesContaining(QStringLiteral("W2N_Msg: msg-w2n-close-window")).size();
        r.pagePosts(QStringLiteral("{key: 'msg-w2n-close-window'}"));
        QVERIFY(r.log.waitFor(QStringLiteral("W2N_Msg: msg-w2n-close-window"), closes + 1));
        QCOMPARE(m_router->codes, QList<int>{AppEventCode_ClassRoomEnded});
        QCOMPARE(r.rtc.calls(QStringLiteral("leaveChannel")).size(), 1);
        QVERIFY(r.room.close());
    }

    // The page's buttons by dom id, compared case-sensitively: "reset" reloads the page, forgets the video views
    // and checks the devices again (after which the page shows the videos anew), "setting" opens the device
    // settings, "feedback" the feedback form; anything else does nothing.
    void pageButtons()
    {
        Room r;
        QVERIFY(r.enterAndShowVideos());
        QSignalSpy loadStarts(r.room.whiteboard(), &Whiteboard::sigWebEngineLoadStarted);
        for (const char* ignored : {"Reset", "RESET", "", "share", "Setting"})
            r.pagePosts(QStringLiteral("{key: 'msg-w2n-btn-clicked', domId: '%1'}").arg(QLatin1String(ignored)));
        QVERIFY(r.log.waitFor(QStringLiteral("SmallClassRoom::onWbWebBtnClicked \"Setting\"")));
        ZmTest::letTimersFire(200);
        QVERIFY(r.log.linesContaining(QStringLiteral("Whiteboard::reloadPage")).isEmpty());
        QCOMPARE(loadStarts.size(), 0);
        QVERIFY(!r.room.curModalDialog());
        QCOMPARE(r.steps.attempts, kEntrySteps);

        r.pagePosts(QStringLiteral("{key: 'msg-w2n-btn-clicked', domId: 'setting'}"));
        QTRY_VERIFY(qobject_cast<ConfigeDlg_Imp*>(r.room.curModalDialog()));
        QVERIFY(r.room.curModalDialog()->isVisible());
        r.pagePosts(QStringLiteral("{key: 'msg-w2n-btn-clicked', domId: 'feedback'}"));
        QTRY_VERIFY(qobject_cast<FeedbackOnlineDlg*>(r.room.curModalDialog()));

        r.log.clear();
        r.pagePosts(QStringLiteral("{key: 'msg-w2n-btn-clicked', domId: 'reset'}"));
        QTRY_COMPARE(loadStarts.size(), 1);
        QTRY_COMPARE(r.ended.size(), 2);
        QCOMPARE(r.ended.at(1).at(0).toInt(), 0);
        QCOMPARE(r.steps.attempts, kEntrySteps + kDeviceSteps);
        QVERIFY(!r.room.curModalDialog()); // the re-run closed the held form
        QVERIFY(r.log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kPupilId)));
        QVERIFY(r.log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kTeacherId)));
        QTRY_VERIFY(!r.room.videoViews()->sectionNameOf(kTeacherId).isEmpty());
    }

    // The feedback form sends its checked rows and the "Others" text percent-encoded, then the acknowledgement
    // replaces it.
    void feedbackIsSentEncoded_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("otherText");
        QTest::addColumn<QString>("common");
        QTest::addColumn<QString>("other");

        QTest::newRow("two rows, no others")
            << QList<int>{0, 1} << QString() << "Video%20is%20stuck;I%20cannot%20hear%20the%20teacher;"
            << "";
        QTest::newRow("a row and others") << QList<int>{2} << "50% & more?"
                                          << "%E8%AF%BE%E4%BB%B6%20%26%20%E7%99%BD%E6%9D%BF;"
                                          << "50%25%20%26%20more%3F";
    }

    void feedbackIsSentEncoded()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, otherText);
        QFETCH(QString, common);
        QFETCH(QString, other);

        QVERIFY(FeedbackSimulator::programIssues(
            m_sim, QJsonObject{{"TagCode", "0"}, {"en", "Video is stuck;I cannot hear the teacher;课件 & 白板"}}));
        Room r;
        QVERIFY(r.enter());
        QPointer<FeedbackOnlineDlg> form = r.openFeedbackForm();
        QVERIFY(form);
        for (int row : rows)
            form->feedbackItems().at(row)->setChecked(true);
        if (!otherText.isNull()) {
            form->findChild<QCheckBox*>(QStringLiteral("other_checkBox"))->setChecked(true);
            form->findChild<QTextEdit*>(QStringLiteral("other_textEdit"))->setPlainText(otherText);
        }
        QVERIFY(m_sim.clearRequests());
        form->done(1);

        const auto submissions = FeedbackSimulator::submissions(m_sim);
        QCOMPARE(submissions.size(), 1);
        QCOMPARE(FeedbackSimulator::valueOf(submissions.first(), QStringLiteral("common")), common);
        QCOMPARE(FeedbackSimulator::valueOf(submissions.first(), QStringLiteral("other")), other);
        QTRY_VERIFY(qobject_cast<FeedbackReceivedDlg*>(r.room.curModalDialog()));
        QTRY_VERIFY(!form);
    }

    // A submission the service refuses is told with the failure notice, not acknowledged; the notice's button
    // brings the form back as the user left it, and the next try is taken.
    void refusedFeedbackKeepsTheForm()
    {
        QVERIFY(FeedbackSimulator::programIssues(
            m_sim, QJsonObject{{"TagCode", "0"}, {"en", "Video is stuck;I cannot hear the teacher;课件 & 白板"}}));
        QVERIFY(FeedbackSimulator::programSubmissionReply(m_sim, "{\"TagCode\":\"1001\"}", 200, 1));
        Room r;
        QVERIFY(r.enter());
        QPointer<FeedbackOnlineDlg> form = r.openFeedbackForm();
        QVERIFY(form);
        form->feedbackItems().at(2)->setChecked(true);
        form->findChild<QTextEdit*>(QStringLiteral("other_textEdit"))->setPlainText(QStringLiteral("no sound"));
        QVERIFY(m_sim.clearRequests());
        form->done(1);

        QTRY_VERIFY(qobject_cast<ConfigeTipDlg*>(r.room.curModalDialog()));
        QPointer<ModalDialog> notice = r.room.curModalDialog();
        QVERIFY(notice->isVisible());
        QVERIFY(
            labelTexts(notice).join('\n').contains(QStringLiteral("Network exception, submission feedback failed.")));
        QVERIFY(r.room.findChildren<FeedbackReceivedDlg*>().isEmpty());
        QTRY_VERIFY(!form);

        QPushButton* getIt = nullptr;
        for (QPushButton* button : notice->findChildren<QPushButton*>()) {
            if (button->isVisible())
                getIt = button;
        }
        QVERIFY(getIt);
        QTest::mouseClick(getIt, Qt::LeftButton);
        QTRY_VERIFY(qobject_cast<FeedbackOnlineDlg*>(r.room.curModalDialog()));
        form = qobject_cast<FeedbackOnlineDlg*>(r.room.curModalDialog());
        QVERIFY(form->isVisible());
        QTRY_VERIFY(!notice);
        QVERIFY(form->feedbackItems().at(2)->isChecked());
        QCOMPARE(form->findChild<QTextEdit*>(QStringLiteral("other_textEdit"))->toPlainText(),
                 QStringLiteral("no sound"));

        form->done(1);
        const auto submissions = FeedbackSimulator::submissions(m_sim);
        QCOMPARE(submissions.size(), 2);
        QCOMPARE(FeedbackSimulator::valueOf(submissions.last(), QStringLiteral("common")),
                 FeedbackSimulator::valueOf(submissions.first(), QStringLiteral("common")));
        QCOMPARE(FeedbackSimulator::valueOf(submissions.last(), QStringLiteral("other")), QStringLiteral("no%20sound"));
        QTRY_VERIFY(qobject_cast<FeedbackReceivedDlg*>(r.room.curModalDialog()));
    }

    // Statistics go to the page with the own id, every key as text; voice volumes go on the page's scale for the
    // users the page shows, the local user (uid 0) under the own id. Neither leaves a line in the log.
    void statisticsAndVolumesReachThePage()
    {
        SimScenario scenario = lessonScenario();
        scenario.statsIntervalMs = 300;
        scenario.fixedStats["txKBitRate"] = 321;
        scenario.microphones.front().level = 0;
        scenario.events.front().volume = 0;
        Room r(scenario);
        QVERIFY(r.enterAndShowVideos());

        const QString statsKey = QStringLiteral("msg-n2w-post-rtc-stats");
        QVERIFY(
            QTest::qWaitFor([&] { return !messagesOnPage(r.room.whiteboard(), statsKey).isEmpty(); }, ZmTest::kWaitMs));
        const QString stats = messagesOnPage(r.room.whiteboard(), statsKey).value(0);
        const QJsonObject message = QJsonDocument::fromJson(stats.toUtf8()).object();
        QCOMPARE(message.value("userId").toString(), QString::number(kPupilId));
        QCOMPARE(message.value("txKBitRate").toString(), QStringLiteral("321"));
        for (const char* key :
             {"duration", "txBytes", "rxBytes", "txKBitRate", "rxKBitRate", "rxAudioKBitRate", "txAudioKBitRate",
              "rxVideoKBitRate", "txVideoKBitRate", "lastmileDelay", "userCount", "cpuAppUsage", "cpuTotalUsage"})
            QVERIFY2(message.value(QLatin1String(key)).isString(), key);

        const quint32 stranger = 777;
        QByteArray records = volumeRecords({{0, 255}, {kTeacherId, 254}, {stranger, 128}});
        records.append("\x01\x02\x03\x04\x05", 5); // a partial record
        r.room.onAgora_VolumeIndication(records);
        const auto volumes = [&r] {
            QStringList found;
            for (const QString& text :
                 messagesOnPage(r.room.whiteboard(), QStringLiteral("msg-n2w-user-volume-changed"))) {
                const QJsonObject volume = QJsonDocument::fromJson(text.toUtf8()).object();
                if (volume.value("volume").toString() != QLatin1String("0"))
                    found << volume.value("userId").toString() + ' ' + volume.value("volume").toString();
            }
            return found;
        };
        // The page runs scripts in the order they were sent: asked after the program's messages, it has them all.
        QCOMPARE(volumes(), (QStringList{"100234 100", "300451 99"}));
        QVERIFY(messagesOnPage(r.room.whiteboard(), QStringLiteral("msg-n2w-user-volume-changed"))
                    .filter("\"777\"")
                    .isEmpty());
        // Neither the program nor the page writes statistics or volumes to the log.
        for (const char* key : {"msg-n2w-post-rtc-stats", "msg-n2w-user-volume-changed"})
            QVERIFY2(r.log.linesContaining(QLatin1String(key)).isEmpty(), key);
    }

    // A selected device that goes away (a microphone or speaker unplugged or not present, a camera unplugged) runs
    // the device checks again, which select what is there; other changes run nothing.
    void deviceLoss_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<int>("state"); // 0: the device is unplugged (it goes away, state 8)
        QTest::addColumn<bool>("rerun");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("selectedAfter");

        const int camera = int(SimDeviceKind::Camera);
        const int microphone = int(SimDeviceKind::Microphone);
        const int speaker = int(SimDeviceKind::Speaker);
        QTest::newRow("microphone unplugged") << microphone << "mic-a" << 0 << true << "SelectedDeviceID/AudioIN"
                                              << "mic-b";
        QTest::newRow("microphone not present") << microphone << "mic-a" << 4 << true << "SelectedDeviceID/AudioIN"
                                                << "mic-a";
        QTest::newRow("speaker unplugged") << speaker << "spk-a" << 0 << true << "SelectedDeviceID/AudioOUT"
                                           << "spk-b";
        QTest::newRow("camera unplugged") << camera << "cam-a" << 0 << true << "SelectedDeviceID/Camera"
                                          << "cam-b";
        QTest::newRow("camera not present") << camera << "cam-a" << 4 << false << "SelectedDeviceID/Camera"
                                            << "cam-a";
        QTest::newRow("microphone disabled") << microphone << "mic-a" << 2 << false << "SelectedDeviceID/AudioIN"
                                             << "mic-a";
        QTest::newRow("unselected microphone unplugged")
            << microphone << "mic-b" << 0 << false << "SelectedDeviceID/AudioIN"
            << "mic-a";
    }

    void deviceLoss()
    {
        QFETCH(int, kind);
        QFETCH(QString, deviceId);
        QFETCH(int, state);
        QFETCH(bool, rerun);
        QFETCH(QString, key);
        QFETCH(QString, selectedAfter);

        SimScenario scenario = lessonScenario();
        scenario.cameras = {device("Camera A", "cam-a"), device("Camera B", "cam-b")};
        scenario.microphones = {device("Microphone A", "mic-a"), device("Microphone B", "mic-b")};
        scenario.speakers = {device("Speaker A", "spk-a"), device("Speaker B", "spk-b")};
        Room r(scenario);
        QVERIFY(r.enter());
        QCOMPARE(storedDeviceId("SelectedDeviceID/Camera"), QStringLiteral("cam-a"));
        QCOMPARE(storedDeviceId("SelectedDeviceID/AudioIN"), QStringLiteral("mic-a"));
        QCOMPARE(storedDeviceId("SelectedDeviceID/AudioOUT"), QStringLiteral("spk-a"));

        SimEvent event;
        event.type = state == 0 ? SimEvent::Unplug : SimEvent::DeviceState;
        event.fromJoin = false;
        event.kind = SimDeviceKind(kind);
        event.deviceId = deviceId.toStdString();
        event.state = state;
        r.engine()->post(event);
        if (rerun) {
            QTRY_COMPARE(r.ended.size(), 2);
            QCOMPARE(r.ended.at(1).at(0).toInt(), 0);
            QCOMPARE(r.steps.attempts, kEntrySteps + kDeviceSteps);
        } else {
            QVERIFY(r.log.waitFor(QStringLiteral("device state change id = %1").arg(deviceId)));
            ZmTest::letTimersFire(500);
            QVERIFY(r.log.linesContaining(QStringLiteral("onAgora2_DeviceUnplugged")).isEmpty());
            QCOMPARE(r.ended.size(), 1);
            QCOMPARE(r.steps.attempts, kEntrySteps);
        }
        QCOMPARE(storedDeviceId(qPrintable(key)), selectedAfter);
        QCOMPARE(QString::fromStdString(r.engine()->devices().current(SimDeviceKind(kind))), selectedAfter);
        QVERIFY(m_router->codes.isEmpty());
    }

    // The settings dialog's accepted changes select the chosen devices.
    void settingsSelectTheChosenDevices()
    {
        SimScenario scenario = lessonScenario();
        scenario.microphones = {device("Microphone A", "mic-a"), device("Microphone B", "mic-b")};
        scenario.speakers = {device("Speaker A", "spk-a"), device("Speaker B", "spk-b")};
        Room r(scenario);
        QVERIFY(r.enter());
        r.room.popupConfigeDlg(true);
        auto* settings = qobject_cast<ConfigeDlg_Imp*>(r.room.curModalDialog());
        QVERIFY(settings && settings->isVisible());
        settings->changedDevices() = {{"SelectedDeviceID/AudioIN", "mic-b"}, {"SelectedDeviceID/Other", "x"}};
        settings->done(1);
        QCOMPARE(QString::fromStdString(r.engine()->devices().current(SimDeviceKind::Microphone)),
                 QStringLiteral("mic-b"));
        QCOMPARE(QString::fromStdString(r.engine()->devices().current(SimDeviceKind::Speaker)),
                 QStringLiteral("spk-a"));
        QCOMPARE(storedDeviceId("SelectedDeviceID/AudioIN"), QStringLiteral("mic-b"));
    }

    // A camera on the not-recommended list is named in a notice once the entry has ended.
    void notRecommendedDeviceNoticeAfterEntry()
    {
        SimScenario scenario = lessonScenario();
        scenario.cameras = {device("OBS Virtual Camera", "obs-camera")};
        Room r(scenario);
        QVERIFY(r.enter());
        QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(r.room.curModalDialog()));
        QVERIFY(r.room.curModalDialog()->isVisible());
        QVERIFY2(labelTexts(r.room.curModalDialog())
                     .contains(QStringLiteral(
                         "The device (camera) may affect classes. Please replace the new device in time.")),
                 qPrintable(labelTexts(r.room.curModalDialog()).join('|')));
    }

    // The processor load shows in the title bar; eight samples in a row at 70 % or more bring one notice in the
    // room's life.
    void processorOverloadNotice()
    {
        Room r;
        QVERIFY(r.enter());
        QList<int> samples{70, 71, 90, 70, 70, 70, 70, 69, 70, 70, 70, 70,
                           70, 70, 70, 70, 99, 99, 99, 99, 99, 99, 99, 99};
        RoomCpuLoad::setSource([&samples] { return samples.isEmpty() ? 99 : samples.takeFirst(); });
        for (int i = 0; i < 15; ++i)
            r.room.onTimerCpuUsage();
        QVERIFY(!r.room.curModalDialog());
        auto* label = r.room.titleBar()->findChild<QLabel*>(QStringLiteral("CpuUsage"));
        QVERIFY(label && label->isVisibleTo(r.room.titleBar()));
        r.room.onTimerCpuUsage();
        QPointer<ModalDialog> notice = r.room.curModalDialog();
        QVERIFY(qobject_cast<CancelOkWarningDlg*>(notice));
        QVERIFY(labelTexts(notice).contains(QStringLiteral("CPU overload, please close other software programs.")));
        notice->done(CancelOkWarningDlg::ResultOk);
        for (int i = 0; i < 8; ++i)
            r.room.onTimerCpuUsage();
        QCOMPARE(r.room.curModalDialog(), notice.data());
        QCOMPARE(r.room.cpuOverloadCount(), -1);
        useCalmProcessor();
    }

    // Release before deletion gives the engine back and cuts the room off from the channel and the page; a room
    // deleted without release gives its engine back itself, with frames still arriving.
    void releaseAndDeletion_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("released first") << true;
        QTest::newRow("deleted without release") << false;
    }

    void releaseAndDeletion()
    {
        QFETCH(bool, released);
        RtcTest::TracedScenario rtc;
        rtc.scenario = lessonScenario();
        rtc.use();
        LogCapture log;
        auto room = std::make_unique<SmallClassRoom>();
        QSignalSpy ended(room.get(), &SmallClassRoom::sigInitTasksEnded);
        room->showRoom();
        QTRY_COMPARE(ended.size(), 1);
        QVERIFY(log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kTeacherId)));
        QTRY_VERIFY(!room->videoViews()->sectionNameOf(kTeacherId).isEmpty());
        if (released) {
            room->releaseLiveResources();
            QVERIFY(!room->channel()->engine());
            QCOMPARE(rtc.calls(QStringLiteral("release")).size(), 1);
            emit room->whiteboard()->sigWebBtn_Clicked(QStringLiteral("setting"));
            emit room->channel()->signal_network_down();
            ZmTest::letTimersFire(100);
            QVERIFY(!room->curModalDialog());
            QCOMPARE(takeToast(room->courseware(), 500), QString());
        }
        room.reset();
        QCOMPARE(rtc.calls(QStringLiteral("release")).size(), 1);
        QVERIFY(m_router->codes.isEmpty());
    }
};

ZM_TEST_MAIN(TestSmallRoom)
#include "tst_smallroom.moc"
