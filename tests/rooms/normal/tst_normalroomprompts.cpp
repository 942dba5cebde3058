// The normal class room's prompts in a program started for the lesson (app type 1), through the window router: the
// lesson's end is not displaced by what comes meanwhile (the processor-overload and microphone notices, a device
// re-check), notices replace notices and the exit question, the notice of a device the entry found not recommended
// shows once the entry has ended; and "Out of class" always ends the room and, with no window left, the program.
#include "NormalRoomTestSupport.h"

#include "rooms/normal/NormalClassRoomRoute.h"
#include "rooms/normal/ZmClassRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "rooms/common/CpuOverloadCounter.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"

#include "DialogAnswerer.h"
#include "LogCapture.h"
#include "ScriptedSteps.h"
#include "ZmTestMain.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <memory>

using namespace NormalRoomTest;
using ZmTest::LogCapture;

namespace {

const QString kLessonOver = QStringLiteral("This lesson is over~");
const QString kOverload = QStringLiteral("CPU overload, please close other software programs.");
const QString kMicrophoneOff =
    QStringLiteral("Microphone disabled by system\nPlease turn on microphone in system setting.");
const QString kCameraNotRecommended =
    QStringLiteral("The device (camera) may affect classes. Please replace the new device in time.");
const QString kExitQuestion = QStringLiteral("Are you sure you want to exit?");

// What a room dialog says: an error dialog's head line, a question's or notice's message; empty for others.
QString dialogText(QObject* object)
{
    const char* label = qobject_cast<ErrorDlg*>(object)             ? "label_L1"
                        : qobject_cast<CancelOkWarningDlg*>(object) ? "title"
                                                                    : nullptr;
    auto* text = label ? object->findChild<QLabel*>(QLatin1String(label)) : nullptr;
    return text ? text->text() : QString();
}

// The texts of the room dialogs on the screen now.
QStringList shownTexts()
{
    QStringList texts;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QString text = dialogText(window);
        if (window->isVisible() && !text.isEmpty())
            texts << text;
    }
    return texts;
}

// Records the text of every room dialog that comes on the screen, in order, while it lives.
class ShownDialogs : public QObject
{
public:
    QStringList texts;

    ShownDialogs() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
            const QString text = dialogText(watched);
            if (!text.isEmpty())
                texts << text;
        }
        return false;
    }
};

} // namespace

class TestNormalRoomPrompts : public QObject
{
    Q_OBJECT

private:
    RoomTestEnvironment m_env;
    std::unique_ptr<ZmRouteManager> m_router;
    QPointer<ZmClassRoomDlg> m_room;

    // The router opens the room of the lesson; true once its entry has ended well.
    bool enterThroughTheRouter()
    {
        LogCapture log;
        QCoreApplication::postEvent(m_router.get(), new ZmAppStatusEvent(AppStartStatus_NormalClassRoom));
        if (!log.waitFor(QStringLiteral("runTasks_awaitEnd: result 0")))
            return false;
        m_room = qobject_cast<ZmClassRoomDlg*>(m_router->routedWindow(AppStartStatus_NormalClassRoom));
        return m_room && !m_room->initTaskParams();
    }

    void endTheLesson() { m_room->onWebSocket_ReceiveMsg_TeacherLeaveClass(kTeacherId, true); }

    // The pupil answers the lesson's end with its only button.
    bool leaveTheLesson()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* over = qobject_cast<ErrorDlg*>(window);
            if (over && over->isVisible())
                return click(over, "iknowBtn");
        }
        return false;
    }

    void happen(const QString& event)
    {
        if (event == "lesson end") {
            endTheLesson();
        } else if (event == "overload") {
            RoomCpuLoad::setSource([] { return 95; });
            for (int i = 0; i < CpuOverloadCounter::kSamplesInARow; ++i)
                m_room->onTimerCpuUsage();
            useCalmProcessor();
        } else if (event == "microphone off") {
            m_room->onAgora_AudioDeviceVolumeChanged(agora::rtc::AUDIO_RECORDING_DEVICE, 0, true);
        } else if (event == "exit question") {
            m_room->onTitleBar_CloseBtn_Clicked();
        } else if (event == "device re-check") {
            m_room->onAgora2_DeviceUnplugged(1);
        } else {
            QFAIL(qPrintable("unknown event " + event));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_env.start(), qPrintable(m_env.messages.error()));
        registerNormalClassRoomRoute();
    }

    void init()
    {
        QVERIFY(m_env.reset());
        setUpLesson(1);
        QCOMPARE(AppGlobalData::instance()->lessonContext().appType(), int(AppType_JoinClass));
        // A router of its own for each test: a program started for the lesson ends with its room.
        m_router = std::make_unique<ZmRouteManager>();
    }

    void cleanup()
    {
        m_router.reset();
        m_env.cleanUp();
    }

    // Each case: what happens over the room, what the user sees then, and what the user has seen from the entry to
    // the room's end. Then the lesson ends, where the case has not ended it, and the pupil leaves with "Out of class".
    void lessonEndIsNeverLost_data()
    {
        QTest::addColumn<bool>("cameraNotRecommended"); // the entry finds the one camera not recommended
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("showing"); // empty: the room is leaving already
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("lesson end, then the overload notice")
            << false << QStringList{"lesson end", "overload"} << kLessonOver << QStringList{kLessonOver};
        QTest::newRow("lesson end, then the microphone notice")
            << false << QStringList{"lesson end", "microphone off"} << kLessonOver << QStringList{kLessonOver};
        QTest::newRow("lesson end, then a device re-check")
            << false << QStringList{"lesson end", "device re-check"} << kLessonOver << QStringList{kLessonOver};
        QTest::newRow("lesson end inside a device re-check")
            << false << QStringList{"device re-check ending the lesson"} << kLessonOver << QStringList{kLessonOver};
        QTest::newRow("out of class inside a device re-check")
            << false << QStringList{"device re-check leaving the lesson"} << QString() << QStringList{kLessonOver};
        QTest::newRow("overload, then the microphone notice")
            << false << QStringList{"overload", "microphone off"} << kMicrophoneOff
            << QStringList{kOverload, kMicrophoneOff, kLessonOver};
        QTest::newRow("exit question, then the overload notice")
            << false << QStringList{"exit question", "overload"} << kOverload
            << QStringList{kExitQuestion, kOverload, kLessonOver};
        QTest::newRow("overload, then the lesson end")
            << false << QStringList{"overload", "lesson end"} << kLessonOver << QStringList{kOverload, kLessonOver};
        QTest::newRow("overload inside a device re-check") << false << QStringList{"device re-check with the overload"}
                                                           << kOverload << QStringList{kOverload, kLessonOver};
        QTest::newRow("overload inside a re-check given up")
            << false << QStringList{"device re-check with the overload, given up"} << QString() << QStringList{};
        QTest::newRow("notice found by the entry")
            << true << QStringList{} << kCameraNotRecommended << QStringList{kCameraNotRecommended, kLessonOver};
    }
    void lessonEndIsNeverLost()
    {
        QFETCH(bool, cameraNotRecommended);
        QFETCH(QStringList, events);
        QFETCH(QString, showing);
        QFETCH(QStringList, seen);
        StepScript script;
        StepOutcome camera;
        if (cameraNotRecommended)
            camera.beforeReport = [](s_InitTask_Params& block) { block.notRecommendDevices_ |= 1; };
        // The camera's second attempt is the device re-check's: the lesson may end, and be left, inside it.
        StepOutcome recheck;
        recheck.beforeReport = [this, &events](s_InitTask_Params&) {
            if (events.contains("device re-check ending the lesson") ||
                events.contains("device re-check leaving the lesson"))
                endTheLesson();
            if (events.contains("device re-check leaving the lesson"))
                QVERIFY(leaveTheLesson());
            if (!events.isEmpty() && events.first().startsWith("device re-check with the overload"))
                happen("overload");
        };
        // A re-check given up: its camera step fails and the user closes the retry dialog.
        const bool givenUp = !events.isEmpty() && events.first().endsWith(", given up");
        if (givenUp)
            recheck.code = -1;
        script.outcomes[Agora_CheckCamera] = {camera, recheck};
        std::unique_ptr<DialogAnswerer> answerer;
        ShownDialogs shown;
        QVERIFY(enterThroughTheRouter());
        const QPointer<ZmClassRoomDlg> room = m_room;

        if (givenUp)
            answerer = std::make_unique<DialogAnswerer>(QList<DialogAnswerer::Answer>{DialogAnswerer::Close});
        for (const QString& event : events)
            happen(event.startsWith("device re-check") ? QStringLiteral("device re-check") : event);
        QTRY_COMPARE(shownTexts(), showing.isEmpty() ? QStringList{} : QStringList{showing});
        if (!showing.isEmpty()) {
            if (showing != kLessonOver) {
                endTheLesson();
                QCOMPARE(shownTexts(), QStringList{kLessonOver});
            }
            QVERIFY(leaveTheLesson());
        }

        // The router closes and deletes the room; no window is left, so the program ends. Nothing showed after the
        // lesson's end.
        QTRY_VERIFY(room.isNull());
        QVERIFY(!m_router->routedWindow(AppStartStatus_NormalClassRoom));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->metaObject()->className()));
        QCOMPARE(shown.texts, seen);
        if (givenUp) {
            // The router ended the program's loop (with the given-up status); the next case starts a new one.
            QApplication::setQuitOnLastWindowClosed(true);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    }
};

ZM_TEST_MAIN(TestNormalRoomPrompts)
#include "tst_normalroomprompts.moc"
