// The normal class room's window over scripted class-entry steps: when the entry starts and which steps each role
// runs, the one dialog it holds (refused during a run), every way out (texts and orders per role and answer, an
// exit confirmed during the entry, the teacher's end of the lesson, Escape and the window's close), the re-runs
// after an unplug and for a reset, and the layout at a few window sizes.
#include "NormalRoomTestSupport.h"

#include "live/rtc/WindowDiagnostics.h"
#include "rooms/normal/NormalRoomLayout.h"
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/ZmAppEvents.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/sim/SimRtcEngine.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/TitleBarDialogs_Imp.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include "DialogAnswerer.h"
#include "FeedbackSimulator.h"
#include "LogCapture.h"
#include "MessageServerFixture.h"
#include "RtcTestSupport.h"
#include "ScriptedSteps.h"
#include "ZmTestMain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QJsonArray>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

using namespace NormalRoomTest;
using RtcTest::device;
using ZmTest::LogCapture;

namespace {

QList<int> pupilSteps()
{
    return {1, 16, 512, 2, 4, 8, 64, 32, 256, 128};
}

QString labelText(QWidget* dialog, const char* name)
{
    auto* label = dialog ? dialog->findChild<QLabel*>(QLatin1String(name)) : nullptr;
    return label ? label->text() : QString();
}

QString buttonText(QWidget* dialog, const char* name)
{
    auto* button = dialog ? dialog->findChild<QAbstractButton*>(QLatin1String(name)) : nullptr;
    return button ? button->text() : QString();
}

} // namespace

class TestNormalRoom : public QObject
{
    Q_OBJECT

private:
    RoomTestEnvironment m_env;
    MessageServerFixture& m_messages = m_env.messages;
    std::unique_ptr<ZmClassRoomDlg> m_room;
    std::unique_ptr<QObject> m_polls;

    ZmTest::Simulator& sim() { return m_env.sim(); }

    // A new room shown at the desktop's size; the entry runs over the script given and has ended when it returns.
    bool enterRoom()
    {
        m_room = std::make_unique<ZmClassRoomDlg>();
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        m_room->showRoom();
        return QTest::qWaitFor([&] { return ended.count() == 1; }, ZmTest::kWaitMs) && ended.first().first() == 0;
    }

    // Runs action once, from inside the run's own event loop (the test's code waits until a run has ended), as
    // soon as a run of the room is in progress and ready says so. Polls end with the test.
    void whileRunning(std::function<bool()> ready, std::function<void()> action)
    {
        auto* poll = new QTimer(m_polls.get());
        connect(poll, &QTimer::timeout, this, [this, poll, ready, action] {
            if (!m_room || !m_room->initTaskParams() || !ready())
                return;
            poll->stop();
            action();
        });
        poll->start(5);
    }

    // The same once the run has made its first step of that kind.
    void whileStepRuns(const StepScript& script, int kind, std::function<void()> action)
    {
        whileRunning([&script, kind] { return script.attempts.contains(kind); }, std::move(action));
    }

    CancelOkWarningDlg* heldConfirmation() const
    {
        return m_room ? qobject_cast<CancelOkWarningDlg*>(m_room->curModalDialog()) : nullptr;
    }

    // The parameters of the class service's exit requests: the teacherLeaveState of each ("" when not sent).
    QStringList exitRequests()
    {
        QStringList states;
        for (const QJsonValue& entry : sim().numberedRequests("50000102")) {
            const auto pairs = ZmTest::Simulator::pairsOf(entry.toObject().value("params"));
            QString state;
            for (const auto& pair : pairs) {
                if (pair.first == QLatin1String("teacherLeaveState"))
                    state = pair.second;
            }
            states << state;
        }
        return states;
    }

    // "<tag>" or "<tag> <subTag or type>" of each message the room sent.
    QStringList sentMessages()
    {
        QStringList sent;
        for (const QJsonObject& message : m_messages.sent()) {
            QString text = QString::number(message.value("messageTag").toInt());
            if (message.contains("subTag"))
                text +=
                    " " + message.value("subTag").toString() + "=" + QString::number(message.value("enabled").toInt());
            else if (message.value("messageTag").toInt() == 10010002)
                text += " type=" + QString::number(message.value("type").toInt());
            sent << text;
        }
        return sent;
    }

private slots:
    void initTestCase() { QVERIFY2(m_env.start(), qPrintable(m_messages.error())); }

    void init()
    {
        QVERIFY(m_env.reset());
        setUpLesson(1);
        m_polls = std::make_unique<QObject>();
    }

    void cleanup()
    {
        m_polls.reset();
        m_room.reset();
        m_env.cleanUp();
    }

    // The entry starts 100 ms after the first resize to the desktop's width, once; each role runs its own steps.
    void entryStepsPerRole_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("pupil") << 1 << pupilSteps();
        QTest::newRow("teacher") << 2 << pupilSteps();
        QTest::newRow("guest") << 3 << QList<int>{1, 16, 512, 8, 64, 32, 128};
    }
    void entryStepsPerRole()
    {
        QFETCH(int, accountType);
        QFETCH(QList<int>, steps);
        setUpLesson(accountType);
        StepScript script;
        m_room = std::make_unique<ZmClassRoomDlg>();
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        m_room->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_room.get(), ZmTest::kWaitMs));
        ZmTest::letTimersFire(300);
        QVERIFY2(script.attempts.isEmpty(), "a resize narrower than the desktop started the entry");

        m_room->showRoom();
        QCOMPARE(m_room->width(), ZmBaseDialog::availableDesktopArea().width());
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
        QCOMPARE(script.attempts, steps);
        QVERIFY(!m_room->initTaskParams());

        // Another resize to the full width starts nothing.
        m_room->onButtonRestoreClicked();
        m_room->onButtonMaxClicked();
        ZmTest::letTimersFire(300);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(script.attempts, steps);
    }

    // A failed entry ends the room right after its result, telling the router that the entry was given up.
    void failedEntryEndsTheRoom()
    {
        StepScript script;
        script.outcomes[16] = {StepOutcome::failed()};
        DialogAnswerer answerer({DialogAnswerer::Close});
        m_room = std::make_unique<ZmClassRoomDlg>();
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        bool exitingAtResult = true;
        connect(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded, this,
                [this, &exitingAtResult] { exitingAtResult = m_room->isExiting(); });
        m_room->showRoom();
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), -3);
        QVERIFY(!exitingAtResult); // not before the result is out
        QTRY_VERIFY(m_room->isExiting());
        QTRY_COMPARE(m_env.router->codes, QList<int>{AppEventCode_ClassEntryGivenUp});
        QCOMPARE(script.attempts, (QList<int>{1, 16}));
    }

    // While a run is in progress the room opens no dialog: the reset confirmation and the CPU notice are lost, and
    // a device unplug is ignored.
    void noDialogDuringARun()
    {
        StepScript script;
        StepOutcome slow;
        slow.delayMs = 300;
        script.outcomes[16] = {slow};
        RoomCpuLoad::setSource([] { return 95; });
        LogCapture log;
        bool dialogHeld = true;
        bool dialogShown = true;
        int overloadCount = 0;
        whileStepRuns(script, 16, [&] {
            m_room->onTitleBar_Reset_Cliecked();
            for (int i = 0; i < CpuOverloadCounter::kSamplesInARow; ++i)
                m_room->onTimerCpuUsage();
            m_room->onAgora2_DeviceUnplugged(1);
            QCoreApplication::processEvents();
            dialogHeld = m_room->curModalDialog() != nullptr;
            dialogShown = false;
            for (auto* dialog : m_room->findChildren<CancelOkWarningDlg*>())
                dialogShown = dialogShown || dialog->isVisible();
            overloadCount = m_room->cpuOverloadCount();
        });
        QVERIFY(enterRoom());
        QVERIFY(!dialogHeld);
        QVERIFY(!dialogShown);
        QCOMPARE(overloadCount, -1);
        QCOMPARE(log.linesContaining("onAgora2_DeviceUnplugged ( taskParams->forCase_ =  0 )").size(), 1);
        QCOMPARE(script.attempts, pupilSteps());
        // The notice was due once and is not offered again.
        m_room->onTimerCpuUsage();
        QVERIFY(!m_room->curModalDialog());
    }

    // An exit confirmed while the entry runs stops the run before its next step; the room leaves once the run's
    // result is out.
    void exitConfirmedDuringTheEntry()
    {
        StepScript script;
        StepOutcome slow;
        slow.delayMs = 300;
        script.outcomes[16] = {slow};
        m_room = std::make_unique<ZmClassRoomDlg>();
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        m_room->show();
        m_room->onTitleBar_CloseBtn_Clicked();
        CancelOkWarningDlg* confirmation = heldConfirmation();
        QVERIFY(confirmation);
        bool stopped = false;
        bool exitingInRun = true;
        whileStepRuns(script, 16, [&] {
            click(confirmation, "okBtn");
            stopped = m_room->initTaskParams()->stop_;
            exitingInRun = m_room->isExiting();
        });
        m_room->showRoom();
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(stopped);
        QVERIFY(!exitingInRun);
        QTRY_VERIFY(m_room->isExiting());
        QCOMPARE(script.attempts, (QList<int>{1, 16}));
        QTRY_COMPARE(m_env.router->codes, QList<int>{AppEventCode_ClassRoomEnded});
    }

    // The exit confirmation by role and answer: its texts, what is sent, the class service's exit request and
    // whether the room leaves.
    void leaving_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("sharing");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("texts"); // message, OK, Cancel
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("exitRequests");
        QTest::addColumn<bool>("stopsPage");
        QTest::addColumn<bool>("leaves");
        const QStringList teacherTexts{"Do you want to end this lesson?", "End the lesson", "Exit"};
        const QStringList pupilTexts{"Are you sure you want to exit?", "OK", "Cancel"};
        QTest::newRow("teacher ends the lesson") << 2 << false << "okBtn" << teacherTexts
                                                 << QStringList{"10010002 type=1"} << QStringList{"2"} << true << true;
        QTest::newRow("teacher only leaves") << 2 << false << "cancelBtn" << teacherTexts
                                             << QStringList{"10010002 type=0"} << QStringList{"1"} << false << true;
        QTest::newRow("teacher closes the question")
            << 2 << false << "closeBtn" << teacherTexts << QStringList{} << QStringList{} << false << false;
        QTest::newRow("teacher sharing the desktop ends the lesson")
            << 2 << true << "okBtn" << teacherTexts << QStringList{"40010001 screenShare=0", "10010002 type=1"}
            << QStringList{"2"} << true << true;
        QTest::newRow("pupil leaves") << 1 << false << "okBtn" << pupilTexts << QStringList{"10010002 type=1"}
                                      << QStringList{""} << false << true;
        QTest::newRow("pupil cancels") << 1 << false << "cancelBtn" << pupilTexts << QStringList{} << QStringList{}
                                       << false << false;
        QTest::newRow("pupil closes the question")
            << 1 << false << "closeBtn" << pupilTexts << QStringList{} << QStringList{} << false << false;
        QTest::newRow("guest leaves") << 3 << false << "okBtn" << pupilTexts << QStringList{"10010002 type=1"}
                                      << QStringList{""} << false << true;
    }
    void leaving()
    {
        QFETCH(int, accountType);
        QFETCH(bool, sharing);
        QFETCH(QString, button);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, exitRequests);
        QFETCH(bool, stopsPage);
        QFETCH(bool, leaves);
        setUpLesson(accountType);
        StepScript script;
        QVERIFY(enterRoom());
        QVERIFY2(m_messages.connectEngine(), qPrintable(m_messages.error()));
        AppGlobalData* data = AppGlobalData::instance();
        data->enteredClass = true;
        data->screenShareOn = sharing;
        LogCapture log;

        m_room->onTitleBar_CloseBtn_Clicked();
        CancelOkWarningDlg* confirmation = heldConfirmation();
        QVERIFY(confirmation && confirmation->isVisible());
        QCOMPARE((QStringList{labelText(confirmation, "title"), buttonText(confirmation, "okBtn"),
                              buttonText(confirmation, "cancelBtn")}),
                 texts);
        QVERIFY(click(confirmation, qPrintable(button)));

        if (!sent.isEmpty())
            m_messages.waitForSent(10010002);
        QCOMPARE(sentMessages(), sent);
        QCOMPARE(this->exitRequests(), exitRequests);
        QCOMPARE(log.linesContaining("Whiteboard::runScript stopPPT()").size(), stopsPage ? 1 : 0);
        QCOMPARE(m_room->isExiting(), leaves);
        QCoreApplication::processEvents();
        QCOMPARE(m_env.router->codes, leaves ? QList<int>{AppEventCode_ClassRoomEnded} : QList<int>{});
        if (leaves) {
            QVERIFY(!data->enteredClass);
            QVERIFY(!data->screenShareOn);
            QVERIFY(data->memberMap()->isEmpty());
        }
    }

    // Escape never closes the room; the window's close asks first and leaves the room open.
    void escapeAndWindowClose()
    {
        StepScript script;
        QVERIFY(enterRoom());
        QTest::keyClick(m_room.get(), Qt::Key_Escape);
        QVERIFY(m_room->isVisible());
        QVERIFY(!m_room->close());
        QVERIFY(m_room->isVisible());
        QTRY_VERIFY(heldConfirmation());
        QCOMPARE(labelText(heldConfirmation(), "title"), QStringLiteral("Are you sure you want to exit?"));

        // Once the room is leaving, the window closes.
        m_room->ExitMe();
        QVERIFY(m_room->close());
    }

    // The teacher stepping out marks the teacher's tile offline; the end of the lesson asks the pupil out.
    void teacherLeavesTheLesson_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("steps out") << 0;
        QTest::newRow("ends the lesson") << 1;
    }
    void teacherLeavesTheLesson()
    {
        QFETCH(int, type);
        StepScript script;
        QVERIFY2(m_messages.connectEngine(), qPrintable(m_messages.error()));
        QVERIFY(enterRoom());
        m_room->teacherVideo()->setUserOnline(false);
        QVERIFY(m_messages.push(QJsonObject{
            {"messageTag", 30010002}, {"userId", kTeacherId}, {"role", 1}, {"type", type}, {"teacherId", kTeacherId}}));
        QTRY_VERIFY(m_room->teacherVideo()->isOfflineLabelVisible());
        QVERIFY(m_room->teacherVideo()->isCoverVisible());
        if (type == 0) {
            ZmTest::letTimersFire(200);
            QVERIFY(!m_room->curModalDialog());
            QVERIFY(!m_room->isExiting());
            return;
        }
        QTRY_VERIFY(qobject_cast<ErrorDlg*>(m_room->curModalDialog()));
        ErrorDlg* over = qobject_cast<ErrorDlg*>(m_room->curModalDialog());
        QCOMPARE(labelText(over, "label_L1"), QStringLiteral("This lesson is over~"));
        QCOMPARE(buttonText(over, "iknowBtn"), QStringLiteral("Out of class"));
        QVERIFY(!m_room->isExiting());
        QVERIFY(click(over, "iknowBtn"));
        QVERIFY(m_room->isExiting());
        QTRY_COMPARE(m_env.router->codes, QList<int>{AppEventCode_ClassRoomEnded});
    }

    // An unplugged microphone clears its stored id and checks the three devices again over the room's channel; the
    // room then uses the device the check chose. When the check fails for good the room ends.
    void unplugChecksTheDevicesAgain()
    {
        RtcTest::TracedScenario traced;
        traced.scenario.microphones = {device("Headset", "mic-1"), device("Array", "mic-2")};
        traced.use();
        ConfigManager::instance()->ini_SetParam_String("SelectedDeviceID/AudioIN", "mic-1");
        {
            StepScript script;
            QVERIFY(enterRoom());
        }
        QCOMPARE(m_room->channel()->initialize(), 0);
        StepRecorder recorder;
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);
        SimEvent unplug;
        unplug.type = SimEvent::Unplug;
        unplug.fromJoin = false;
        unplug.kind = SimDeviceKind::Microphone;
        unplug.deviceId = "mic-1";
        RtcTest::simEngine(m_room->channel()->engine())->post(unplug, 0);

        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), 0);
        QCOMPARE(recorder.attempts, (QList<int>{2, 4, 8}));
        QVERIFY(m_room->audioDevice());
        QCOMPARE(m_room->audioDevice()->GetCurRecordingDeviceID(), QStringLiteral("mic-2"));
        QCOMPARE(RtcTest::storedSetting("SelectedDeviceID/AudioIN").toString(), QStringLiteral("mic-2"));
        QVERIFY(!m_room->isExiting());

        // The last microphone goes: the check fails and the room ends after its result, as given up.
        DialogAnswerer answerer({DialogAnswerer::Close});
        unplug.deviceId = "mic-2";
        RtcTest::simEngine(m_room->channel()->engine())->post(unplug, 0);
        QTRY_COMPARE(ended.count(), 2);
        QCOMPARE(ended.last().first().toInt(), -3);
        QTRY_VERIFY(m_room->isExiting());
        QTRY_COMPARE(m_env.router->codes, QList<int>{AppEventCode_ClassEntryGivenUp});
        m_room->releaseLiveResources();
    }

    // The reset asks first; then a tile that showed video gets its cover and "Reseting...", the join and the wiring
    // run again, and a tile still "Reseting..." two seconds after the local picture is marked offline.
    void reset()
    {
        StepScript script;
        QVERIFY(enterRoom());
        VideoDisplayWidget* teacherTile = m_room->teacherVideo();
        VideoDisplayWidget* pupilTile = m_room->studentVideo();
        teacherTile->setUserOnline(false);
        teacherTile->setOfflineLabelVisible(false);
        pupilTile->setOfflineLabelVisible(true);
        QSignalSpy ended(m_room.get(), &ZmClassRoomDlg::sigInitTasksEnded);

        QVERIFY(click(m_room.get(), "btn_reset"));
        QTRY_VERIFY(heldConfirmation());
        QVERIFY(labelText(heldConfirmation(), "title").startsWith("The reset will reconnect the camera and speakers"));
        int forCase = -1;
        bool coverUp = false;
        QStringList statusTexts;
        StepOutcome slow;
        slow.delayMs = 200;
        script.outcomes[64] = {StepOutcome::done(), slow};
        whileRunning([&] { return script.attempts.count(64) == 2; },
                     [&] {
                         forCase = m_room->initTaskParams()->forCase_;
                         coverUp = teacherTile->isCoverVisible();
                         statusTexts << teacherTile->statusText() << pupilTile->statusText();
                     });
        QVERIFY(click(heldConfirmation(), "okBtn"));
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(forCase, int(InitCase_Reset));
        QVERIFY(coverUp);
        // Only the tile that showed video.
        QCOMPARE(statusTexts, (QStringList{"Reseting...", ""}));
        QCOMPARE(ended.first().first().toInt(), 0);
        QCOMPARE(script.attempts.mid(pupilSteps().size()), (QList<int>{64, 128}));

        m_room->onAgora_LocalVideoIsReady();
        QVERIFY(!pupilTile->isCoverVisible());
        QTRY_VERIFY(teacherTile->isOfflineLabelVisible());
        QCOMPARE(teacherTile->statusText(), QString());
    }

    // Help opens the feedback form over the room; a submission the service refuses is told with the failure
    // notice, never acknowledged, and the notice's button brings the form back as the user left it.
    void helpFeedbackRefused()
    {
        TitleBarDialogs_Imp::installForProcess();
        QVERIFY(FeedbackSimulator::programIssues(
            sim(), QJsonObject{{"TagCode", "0"}, {"en", "Video is stuck;I cannot hear the teacher"}}));
        QVERIFY(FeedbackSimulator::programSubmissionReply(sim(), "{\"TagCode\":\"1001\"}"));
        StepScript script;
        QVERIFY(enterRoom());

        QVERIFY(click(m_room.get(), "btn_help"));
        QPointer<FeedbackOnlineDlg> form = m_room->findChild<FeedbackOnlineDlg*>();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->feedbackItems().size(), 2);
        form->feedbackItems().at(0)->setChecked(true);
        form->findChild<QTextEdit*>("other_textEdit")->setPlainText(QStringLiteral("the picture freezes"));
        QVERIFY(click(form, "okBtn"));

        QCOMPARE(FeedbackSimulator::submissions(sim()).size(), 1);
        QTRY_VERIFY(m_room->findChild<ConfigeTipDlg*>() && m_room->findChild<ConfigeTipDlg*>()->isVisible());
        QPointer<ConfigeTipDlg> notice = m_room->findChild<ConfigeTipDlg*>();
        QVERIFY(labelText(notice, "label").startsWith("Network exception, submission feedback failed."));
        QVERIFY(m_room->findChildren<FeedbackReceivedDlg*>().isEmpty());
        QTRY_VERIFY(!form);

        QVERIFY(click(notice, "okButton"));
        QTRY_VERIFY(!notice);
        QTRY_VERIFY(m_room->findChild<FeedbackOnlineDlg*>());
        form = m_room->findChild<FeedbackOnlineDlg*>();
        QVERIFY(form->isVisible());
        QVERIFY(form->feedbackItems().at(0)->isChecked());
        QVERIFY(!form->feedbackItems().at(1)->isChecked());
        QCOMPARE(form->findChild<QTextEdit*>("other_textEdit")->toPlainText(), QStringLiteral("the picture freezes"));
        form->reject();
        QTRY_VERIFY(!form);
    }

    // The room opens the not-recommended notice with the devices' names.
    void notRecommendedNotice()
    {
        StepScript script;
        QVERIFY(enterRoom());
        m_room->slot_initTask_selectedDeviceIsNotRecommend(NotRecommendDeviceType(6));
        CancelOkWarningDlg* notice = heldConfirmation();
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(labelText(notice, "title"),
                 QStringLiteral("The device (microphone,speaker) may affect classes. Please replace the new device in "
                                "time."));
        QCOMPARE(buttonText(notice, "okBtn"), QStringLiteral("Get it"));
        QVERIFY(!notice->findChild<QWidget*>("cancelBtn")->isVisible());
    }

    // The courseware and the video panel follow the window's size, in both views.
    void layout_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::newRow("smallest") << QSize(1366, 768);
        QTest::newRow("full HD") << QSize(1920, 1079);
        QTest::newRow("wide") << QSize(2400, 1000);
    }
    void layout()
    {
        QFETCH(QSize, window);
        StepScript script;
        QVERIFY(enterRoom());
        m_room->setFixedSize(window);
        QCoreApplication::processEvents();
        const int titleHeight = m_room->findChild<QLabel*>("lessonTitle")->height();
        QCOMPARE(titleHeight, 64);
        const NormalRoomLayout::Sizes sizes = NormalRoomLayout::normalView(window, titleHeight);
        QCOMPARE(m_room->courseware()->size(), sizes.courseware);
        auto* panel = m_room->findChild<QWidget*>("videoPanel");
        QTRY_COMPARE(panel->size(), sizes.videoPanel);
        // Two 4:3 tiles as wide as the panel, one under the other.
        auto* top = m_room->findChild<VideoDisplayWidget*>("topVideo");
        auto* bottom = m_room->findChild<VideoDisplayWidget*>("bottomVideo");
        const QSize tile(sizes.videoPanel.width(), sizes.videoPanel.width() * 3 / 4);
        QTRY_COMPARE(top->geometry(), QRect(QPoint(0, 0), tile));
        QTRY_COMPARE(bottom->geometry(), QRect(QPoint(0, tile.height() + 10), tile));
        QVERIFY(panel->rect().contains(bottom->geometry()));
        // The engine draws where the tile is: the video window of the lower tile is not left at the panel's top.
        const WId lowerVideo = bottom->videoWinId();
        const auto videoWindowAt = [lowerVideo] {
            const NativeWindowState state = queryNativeWindow(lowerVideo);
            return QPoint(state.left, state.top);
        };
        QTRY_COMPARE(videoWindowAt(), bottom->mapToGlobal(QPoint(0, 0)));
        QVERIFY(m_room->rect().contains(
            QRect(m_room->courseware()->mapTo(m_room.get(), QPoint()), m_room->courseware()->size())));
        QVERIFY(m_room->rect().contains(QRect(panel->mapTo(m_room.get(), QPoint()), panel->size())));

        // The pupil's view of the teacher's shared desktop: the courseware alone, 16:9.
        m_room->onWebSocket_ReceiveMsg_TeacherEnableScreenShare(kTeacherId, true);
        QVERIFY(m_room->isDesktopShareMode());
        const QSize shared = NormalRoomLayout::shareView(window, m_room->findChild<QWidget*>("titlePanel")->height());
        QCOMPARE(m_room->courseware()->size(), shared);
        QVERIFY(m_room->rect().contains(QRect(m_room->courseware()->mapTo(m_room.get(), QPoint()), shared)));
        QVERIFY(!panel->isVisible());
        QCOMPARE(m_room->courseware()->viewMode(), int(CoursewareViewer::ShareSurfaceView));
        m_room->onWebSocket_ReceiveMsg_TeacherEnableScreenShare(kTeacherId, false);
        QVERIFY(!m_room->isDesktopShareMode());
        QCOMPARE(m_room->courseware()->size(), sizes.courseware);
        QVERIFY(panel->isVisible());
        QCOMPARE(m_room->courseware()->viewMode(), int(CoursewareViewer::WhiteboardView));
    }
};

ZM_TEST_MAIN(TestNormalRoom)
#include "tst_normalroom.moc"
