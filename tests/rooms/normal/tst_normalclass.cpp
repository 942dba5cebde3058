// A whole normal class, as scripts/run plays it: the window router opens the room of a pupil started for the lesson
// (the row main registers), the room enters through the real class-entry steps against the simulator and the
// simulated engine, the simulated teacher joins with video, awards a star, mutes the microphone, shares the desktop
// and ends the lesson; the pupil leaves, the router closes the room without a log upload. The engine paints into the
// tiles' native windows, so the tiles are checked on the screen's pixels.
#include "NormalRoomTestSupport.h"

#include "rooms/normal/NormalClassRoomRoute.h"
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/ZmAppEvents.h"
#include "app/tasks/QRunContextManager.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/OwedLogUpload.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/rtc/sim/SimEngineSetup.h"
#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ErrorDlg.h"

#include "EntryTestSupport.h"
#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Screenshots.h"
#include "ScriptedSteps.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include <algorithm>

using namespace NormalRoomTest;
using ZmTest::LogCapture;

namespace {

QString scenarioPath(const QString& name)
{
    return ZmTest::sourceDir() + QStringLiteral("/tests/sim/scenarios/") + name;
}

void saveScreen(const QWidget* window, const QString& name)
{
    QDir().mkpath(ZmTest::screenshotDir());
    ZmTest::grabScreen(*window).save(ZmTest::screenshotPath(name), "PNG");
}

// The share of black pixels in a picture, sampled every fourth pixel in both directions.
double blackShare(const QImage& image)
{
    int black = 0;
    int all = 0;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            ++all;
            if (qGray(image.pixel(x, y)) < 8)
                ++black;
        }
    }
    return all ? double(black) / all : 0;
}

} // namespace

class TestNormalClass : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        ConfigManager::instance();
        registerNormalClassRoomRoute();
        useCalmProcessor();
    }

    void cleanupTestCase()
    {
        ClassMsgEngine::destroyInstance();
        SimEngineSetup::resetScenario();
        QTRY_VERIFY(!QRunContextManager::instance()->findRunContext(kApiStepRunContext));
        QVERIFY(waitForOwedLogUploads(ZmTest::kWaitMs));
    }

    void pupilLesson()
    {
        QVERIFY(m_sim.reset());
        m_sim.pointUrlConfig();
        // The scenario's teacher messages go out one at a time, each when the test is ready for it: played on the
        // scenario's own clock they would race the checks on a slow machine. The relay stays on.
        QFile messages(scenarioPath("normal_class.json"));
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QJsonObject scenario = QJsonDocument::fromJson(messages.readAll()).object();
        const QJsonArray teacher = scenario.take("messages").toArray();
        QCOMPARE(teacher.size(), 6);
        scenario["messages"] = QJsonArray();
        QVERIFY(m_sim.loadMessageScenario(scenario));
        const auto teacherSends = [this, &teacher](int index) {
            return m_sim.pushMessage(QJsonObject{{"json", teacher.at(index).toObject().value("json")}}) == 1;
        };
        SimScenario engine;
        QString error;
        QVERIFY2(SimScenario::fromFile(scenarioPath("rtc/normal_class.json"), engine, &error), qPrintable(error));
        // The teacher stays in the channel until the lesson's end, however long the checks take.
        engine.events.erase(std::remove_if(engine.events.begin(), engine.events.end(),
                                           [](const SimEvent& event) { return event.type == SimEvent::UserOffline; }),
                            engine.events.end());
        RtcTest::TracedScenario traced;
        traced.scenario = engine;
        traced.use();
        setUpEntryLesson(1);
        LogCapture log;
        StepRecorder steps;

        ZmRouteManager router;
        QCoreApplication::postEvent(&router, new ZmAppStatusEvent(AppStartStatus_NormalClassRoom));
        QTRY_VERIFY(router.routedWindow(AppStartStatus_NormalClassRoom));
        QPointer<ZmClassRoomDlg> room = qobject_cast<ZmClassRoomDlg*>(router.routedWindow(2));
        QVERIFY(room);

        // The entry: every step once and done, in the pupil's order, then the class messages.
        QVERIFY(log.waitFor("runTasks_awaitEnd: result 0 left (1024)"));
        QCOMPARE(steps.attempts, (QList<int>{1, 16, 512, 2, 4, 8, 64, 32, 256, 128}));
        QCOMPARE(steps.results, QVector<int>(10, 1).toList());
        QCOMPARE(log.linesContaining("runTasks_awaitEnd: task_succed:").size(), 10);
        QCOMPARE(router.currentStatus(), int(AppStartStatus_NormalClassRoom));
        QCOMPARE(room->findChild<QLabel*>("lessonTitle")->text(), QStringLiteral("Unit 3 · At the Zoo"));
        QVERIFY(!m_sim.waitForMessageFrames(1, "text").isEmpty());
        QCOMPARE(m_sim.messageFrames("text").first().toObject().value("json").toObject().value("messageTag").toInt(),
                 10010001);
        QVERIFY(teacherSends(0)); // the talk list

        // The teacher joined with video: both tiles show the engine's pictures.
        VideoDisplayWidget* teacherTile = room->teacherVideo();
        VideoDisplayWidget* pupilTile = room->studentVideo();
        QTRY_VERIFY(!teacherTile->isCoverVisible());
        QTRY_VERIFY(!pupilTile->isCoverVisible());
        QVERIFY2(showsMovingPicture(teacherTile->findChild<QWidget*>("userVideo")), "the teacher's tile stays empty");
        QVERIFY2(showsMovingPicture(pupilTile->findChild<QWidget*>("userVideo")), "the pupil's tile stays empty");
        QCOMPARE(teacherTile->findChild<QLabel*>("userName")->text(), QStringLiteral("Ms. Clara Whitfield"));
        saveScreen(room, "normalclass_lesson");

        // The star arrives and plays over the courseware.
        QVERIFY(teacherSends(1));
        QTRY_VERIFY(room->playingAward());
        QCOMPARE(pupilTile->starDialog()->starCount(), 1);
        QCOMPARE(AppGlobalData::instance()->memberMap()->value(kPupilId).classPoint, 1);
        QTest::qWait(1500); // the card has come in: the picture is for a person to look at
        saveScreen(room, "normalclass_award");
        // Around the card the courseware still shows (the test's X server has no compositing manager).
        const double black = blackShare(ZmTest::grabScreen(*room->courseware()));
        QVERIFY2(black < 0.2, qPrintable(QString("%1 % of the courseware is black").arg(black * 100)));
        // As in the lesson's own time, the card has gone before the teacher's next message.
        QTRY_VERIFY(!room->playingAward());

        // The teacher's microphone is muted.
        QVERIFY(teacherSends(2));
        QTRY_VERIFY(AppGlobalData::instance()->teacherAudioMuted);
        QVERIFY(!teacherTile->findChild<QAbstractButton*>("micButton")->isChecked());

        // The teacher's desktop fills the courseware, then the tiles come back.
        QVERIFY(teacherSends(3));
        QTRY_VERIFY(room->isDesktopShareMode());
        QWidget* shareSurface = room->courseware()->findChild<QWidget*>("share_surface");
        QVERIFY(shareSurface->isVisible());
        const bool sharePainted = showsMovingPicture(shareSurface);
        saveScreen(room, "normalclass_share");
        QVERIFY2(sharePainted, "the shared desktop stays empty");
        QVERIFY(teacherSends(4));
        QTRY_VERIFY(!room->isDesktopShareMode());
        QVERIFY(teacherTile->isVisible());

        // The teacher ends the lesson; the pupil leaves with the dialog's button.
        QVERIFY(teacherSends(5));
        QTRY_VERIFY(qobject_cast<ErrorDlg*>(room->curModalDialog()));
        auto* over = qobject_cast<ErrorDlg*>(room->curModalDialog());
        QCOMPARE(over->findChild<QLabel*>("label_L1")->text(), QStringLiteral("This lesson is over~"));
        QVERIFY(teacherTile->isOfflineLabelVisible());
        QVERIFY(click(over, "iknowBtn"));

        // The router closes the room of a program started for the lesson: no log upload, no window left.
        QTRY_VERIFY(room.isNull());
        QVERIFY(!router.routedWindow(AppStartStatus_NormalClassRoom));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        QCOMPARE(m_sim.numberedRequests("50000101").size(), 1);
        QCOMPARE(m_sim.numberedRequests("50000102").size(), 1);
        QVERIFY(m_sim.numberedRequests("30110102").isEmpty());
        QVERIFY(m_sim.ossObjects().isEmpty());
        QVERIFY(filedReports(m_sim).isEmpty());

        // The engine drew the teacher into the tile and, while shared, into the courseware's surface.
        QStringList teacherViews;
        for (const QJsonObject& call : traced.calls("setupRemoteVideo")) {
            const QJsonObject canvas = call.value("args").toObject();
            if (canvas.value("uid").toInt() == kTeacherId)
                teacherViews << QString::number(canvas.value("renderMode").toInt());
        }
        QCOMPARE(teacherViews, (QStringList{"1", "2", "1"}));
        QVERIFY(!traced.calls("leaveChannel").isEmpty());
        QVERIFY(!traced.calls("release").isEmpty());
    }
};

ZM_TEST_MAIN(TestNormalClass)
#include "tst_normalclass.moc"
