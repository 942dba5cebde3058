// The in-class device settings dialog over the simulated RTC engine: lists filled kind by kind with their retries,
// saved choices shown, Submit's not-recommended flags, changed devices and settings writes, the engine it works on
// (the room's, or its own made and released), and dragging by the title bar.
#include "settings/ConfigeDlg_Imp.h"

#include "app/ConfigManager.h"
#include "live/rtc/AgoraChannel.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

#include <memory>

using namespace RtcTest;

namespace {

const char* const kKeys[] = {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"};
const char* const kBoxes[] = {"cBoxCamera", "cboxMicrophone", "cBoxSpeaker"};

// Two devices of each kind; the second of each is on the simulator's not-recommended lists.
void useTwoOfEach(SimScenario& scenario)
{
    scenario.cameras = {device("HD Webcam", "cam-a"), device("OBS Virtual Camera", "cam-obs")};
    scenario.microphones = {device("USB Microphone", "mic-a"), device("Stereo Mix (Realtek)", "mic-mix")};
    scenario.speakers = {device("Speakers (USB)", "spk-a"), device("CABLE Input (VB-Audio)", "spk-cable")};
}

// The saved device id of each kind; an empty id saves none.
void saveIds(const QStringList& ids)
{
    for (int kind = 0; kind < 3; ++kind) {
        if (!ids[kind].isEmpty())
            ConfigManager::instance()->ini_SetParam_String(kKeys[kind], ids[kind].toUtf8());
    }
}

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList changedOf(ConfigeDlg& dialog)
{
    QStringList changed;
    for (const auto& entry : dialog.changedDevices())
        changed << QString::fromStdString(entry.first + '=' + entry.second);
    return changed;
}

// What the opener's done callback saw.
struct DoneRecord
{
    int calls = 0;
    int result = -1;
    int flags = -1;
    QStringList changed;
};

} // namespace

class TestConfigeDlg : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_simulator;
    std::unique_ptr<AgoraChannel> m_room;

    // The room's channel over the traced scenario.
    AgoraChannel* startRoom(TracedScenario& traced)
    {
        traced.use();
        m_room = std::make_unique<AgoraChannel>();
        return m_room->initialize() == 0 ? m_room.get() : nullptr;
    }

    static ConfigeDlg_Imp* open(agora::rtc::IRtcEngine* engine, DoneRecord& record, bool hideCancel = false)
    {
        ConfigeDlg_Imp* dialog = ConfigeDlg_Imp::create(engine, hideCancel, nullptr);
        dialog->setDoneCallback(
            [&record](QObject* context, int result) {
                auto* done = qobject_cast<ConfigeDlg_Imp*>(context);
                ++record.calls;
                record.result = result;
                record.flags = done ? done->notRecommendDeviceTypes() : -1;
                record.changed = done ? changedOf(*done) : QStringList();
            },
            dialog);
        return dialog;
    }

    // Runs the dialog's device checks to their end.
    static bool checksEnded(const ZmTest::LogCapture& log)
    {
        return log.waitFor(QStringLiteral("ConfigerStatus::CFG_AudioOutValidate_"));
    }

    static QComboBox* box(QDialog& dialog, int kind) { return dialog.findChild<QComboBox*>(kBoxes[kind]); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_simulator.start(), qPrintable(m_simulator.errorString()));
        m_simulator.pointUrlConfig();
        ConfigManager::instance();
    }

    void init()
    {
        for (const char* key : kKeys)
            ConfigManager::instance()->ini_RemoveParam(key);
    }

    void cleanup()
    {
        if (m_room)
            m_room->uninitialize();
        m_room.reset();
    }

    void savedChoicesShown_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QList<int>>("current");
        QTest::newRow("nothing saved") << QStringList{"", "", ""} << QList<int>{0, 0, 0};
        QTest::newRow("second camera saved") << QStringList{"cam-b", "", ""} << QList<int>{1, 0, 0};
        QTest::newRow("each kind saved") << QStringList{"cam-c", "mic-b", "spk-b"} << QList<int>{2, 1, 1};
        QTest::newRow("saved ids no longer present") << QStringList{"cam-x", "mic-x", "spk-x"} << QList<int>{0, 0, 0};
        QTest::newRow("ids differing in case") << QStringList{"CAM-B", "Mic-B", "spk-B"} << QList<int>{0, 0, 0};
    }

    // Every device is listed by name, and the saved choice of each kind is current once the checks have ended.
    void savedChoicesShown()
    {
        QFETCH(QStringList, saved);
        QFETCH(QList<int>, current);
        saveIds(saved);
        TracedScenario traced;
        traced.scenario.cameras = {device("Front", "cam-a"), device("Rear", "cam-b"), device("USB", "cam-c")};
        traced.scenario.microphones = {device("Mic A", "mic-a"), device("Mic B", "mic-b")};
        traced.scenario.speakers = {device("Spk A", "spk-a"), device("Spk B", "spk-b")};
        QVERIFY(startRoom(traced));

        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record));
        QVERIFY(checksEnded(log));
        QCOMPARE(itemsOf(box(*dialog, 0)), (QStringList{"Front", "Rear", "USB"}));
        QCOMPARE(itemsOf(box(*dialog, 1)), (QStringList{"Mic A", "Mic B"}));
        QCOMPARE(itemsOf(box(*dialog, 2)), (QStringList{"Spk A", "Spk B"}));
        for (int kind = 0; kind < 3; ++kind)
            QCOMPARE(box(*dialog, kind)->currentIndex(), current[kind]);
        // The kinds were asked in their order, each once.
        const QStringList statuses = log.linesContaining("ConfigerStatus::");
        QCOMPARE(statuses.size(), 3);
        QVERIFY(statuses[0].contains("CFG_CameraValidate_Succed"));
        QVERIFY(statuses[1].contains("CFG_AudioInValidate_Succed"));
        QVERIFY(statuses[2].contains("CFG_AudioOutValidate_Succed"));
    }

    void devicesLateOrMissing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QStringList>("notReady");
        QTest::addColumn<QString>("failedStatus");
        // The engine refuses the camera count twice: the third try finds both cameras.
        QTest::newRow("cameras ready at the third try")
            << "late cameras" << QList<int>{2, 2, 2} << QStringList{"2", "0", "0"} << QString();
        QTest::newRow("no microphone within three tries")
            << "no microphones" << QList<int>{2, 0, 2} << QStringList{"0", "3", "0"} << "CFG_AudioInValidate_Failed";
        QTest::newRow("no speaker within three tries")
            << "no speakers" << QList<int>{2, 2, 0} << QStringList{"0", "0", "3"} << "CFG_AudioOutValidate_Failed";
        QTest::newRow("no camera manager")
            << "no camera manager" << QList<int>{0, 2, 2} << QStringList{"3", "0", "0"} << "CFG_CameraValidate_Failed";
    }

    // A kind that stays empty after its three tries does not stop the others; a kind that becomes ready late is
    // listed.
    void devicesLateOrMissing()
    {
        QFETCH(QString, fault);
        QFETCH(QList<int>, counts);
        QFETCH(QStringList, notReady);
        QFETCH(QString, failedStatus);
        TracedScenario traced;
        useTwoOfEach(traced.scenario);
        if (fault == "late cameras")
            traced.scenario.results["videoDevices.getCount"] = {-1, -1, 0};
        else if (fault == "no microphones")
            traced.scenario.microphones.clear();
        else if (fault == "no speakers")
            traced.scenario.speakers.clear();
        else if (fault == "no camera manager")
            traced.scenario.videoDeviceManager = false;
        QVERIFY(startRoom(traced));

        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record));
        QVERIFY(checksEnded(log));
        for (int kind = 0; kind < 3; ++kind)
            QCOMPARE(box(*dialog, kind)->count(), counts[kind]);
        QCOMPARE(log.linesAfter("asyncIsReady Try Times is "), notReady);
        const QStringList failures = log.linesContaining("Validate_Failed");
        QCOMPARE(failures.size(), failedStatus.isEmpty() ? 0 : 1);
        if (!failedStatus.isEmpty())
            QVERIFY(failures[0].contains(failedStatus));
        if (fault == "no camera manager")
            QCOMPARE(log.linesContaining("mVideoManager.Create Failed!").size(), 1);
        if (fault == "no microphones")
            QCOMPARE(traced.calls("recordingDevices.getCount").size(), 3);
    }

    void submit_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("saved devices kept")
            << QStringList{"cam-a", "mic-a", "spk-a"} << QList<int>{0, 0, 0} << 0 << QStringList{};
        QTest::newRow("camera changed") << QStringList{"cam-a", "mic-a", "spk-a"} << QList<int>{1, 0, 0} << 1
                                        << QStringList{"SelectedDeviceID/Camera=cam-obs"};
        QTest::newRow("not-recommended microphone and speaker")
            << QStringList{"cam-a", "mic-a", "spk-a"} << QList<int>{0, 1, 1} << 6
            << QStringList{"SelectedDeviceID/AudioIN=mic-mix", "SelectedDeviceID/AudioOUT=spk-cable"};
        // The shown first devices differ from nothing saved: all three are stored.
        QTest::newRow("nothing saved") << QStringList{"", "", ""} << QList<int>{0, 0, 0} << 0
                                       << QStringList{"SelectedDeviceID/AudioIN=mic-a",
                                                      "SelectedDeviceID/AudioOUT=spk-a",
                                                      "SelectedDeviceID/Camera=cam-a"};
        QTest::newRow("saved id gone, first shown") << QStringList{"cam-gone", "mic-a", "spk-a"} << QList<int>{0, 0, 0}
                                                    << 0 << QStringList{"SelectedDeviceID/Camera=cam-a"};
    }

    // Submit notes the chosen devices that are not recommended, stores only the ids that changed and hands the
    // changes to the opener with result 1.
    void submit()
    {
        QFETCH(QStringList, saved);
        QFETCH(QList<int>, chosen);
        QFETCH(int, flags);
        QFETCH(QStringList, changed);
        saveIds(saved);
        TracedScenario traced;
        useTwoOfEach(traced.scenario);
        QVERIFY(startRoom(traced));

        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record));
        QVERIFY(checksEnded(log));
        for (int kind = 0; kind < 3; ++kind)
            box(*dialog, kind)->setCurrentIndex(chosen[kind]);
        log.clear();
        QTest::mouseClick(dialog->findChild<QPushButton*>("buttonOk"), Qt::LeftButton);

        QCOMPARE(record.calls, 1);
        QCOMPARE(record.result, 1);
        QCOMPARE(record.flags, flags);
        QCOMPARE(record.changed, changed);
        QCOMPARE(log.linesContaining("ConfigManager::ini_SetParam_String").size(), changed.size());
        const QStringList ids[] = {{"cam-a", "cam-obs"}, {"mic-a", "mic-mix"}, {"spk-a", "spk-cable"}};
        for (int kind = 0; kind < 3; ++kind)
            QCOMPARE(storedSetting(kKeys[kind]).toString(), ids[kind][chosen[kind]]);
        // The room's engine is the room's: the dialog gives back only its device managers.
        QVERIFY(traced.calls("release").isEmpty());
    }

    // Submit before any list was filled stores nothing; the checks still queued then ask nothing more.
    void submitBeforeTheChecks()
    {
        TracedScenario traced;
        useTwoOfEach(traced.scenario);
        QVERIFY(startRoom(traced));
        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record));
        QTest::mouseClick(dialog->findChild<QPushButton*>("buttonOk"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        QCOMPARE(record.result, 1);
        QCOMPARE(record.flags, 0);
        QCOMPARE(record.changed, QStringList());
        for (const char* key : kKeys)
            QVERIFY(storedSetting(key).isNull());
        QVERIFY(log.linesContaining("asyncIsReady").isEmpty());
        QVERIFY(traced.calls("videoDevices.getCount").isEmpty());
    }

    void engineOfItsOwn_data()
    {
        QTest::addColumn<bool>("roomEngine");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("result");
        QTest::newRow("room's engine, Submit") << true << "buttonOk" << 1;
        QTest::newRow("room's engine, Cancel") << true << "buttonCancel" << 0;
        QTest::newRow("own engine, Submit") << false << "buttonOk" << 1;
        QTest::newRow("own engine, Cancel") << false << "buttonCancel" << 0;
        QTest::newRow("own engine, close button") << false << "btn_close" << 0;
        QTest::newRow("own engine, Escape") << false << "escape" << 0;
        QTest::newRow("own engine, deleted") << false << "delete" << -1;
    }

    // Without the room's engine the dialog starts one of its own and releases it when it ends; the room's engine
    // is never released by the dialog.
    void engineOfItsOwn()
    {
        QFETCH(bool, roomEngine);
        QFETCH(QString, end);
        QFETCH(int, result);
        TracedScenario traced;
        useTwoOfEach(traced.scenario);
        if (roomEngine)
            QVERIFY(startRoom(traced));
        else
            traced.use();

        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(roomEngine ? m_room->engine() : nullptr, record));
        QVERIFY(checksEnded(log));
        QCOMPARE(traced.calls("initialize").size(), 1);
        QCOMPARE(box(*dialog, 0)->count(), 2);
        QVERIFY(traced.calls("release").isEmpty());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), ZmTest::kWaitMs));

        if (end == "escape")
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else if (end == "delete")
            dialog.reset();
        else if (auto* button = dialog->findChild<QAbstractButton*>(end))
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(record.result, result);
        QCOMPARE(traced.calls("release").size(), roomEngine ? 0 : 1);
        // The device managers went back before the engine.
        QCOMPARE(traced.calls("IAudioDeviceManager.release").size(), 1);
        QCOMPARE(traced.calls("IVideoDeviceManager.release").size(), 1);
        const QStringList calls = traced.callNames();
        if (!roomEngine)
            QVERIFY(calls.lastIndexOf("IVideoDeviceManager.release") < calls.indexOf("release"));
        dialog.reset();
        QCOMPARE(traced.calls("release").size(), roomEngine ? 0 : 1);
    }

    // Without any engine (its own one cannot start) the lists stay empty and Submit changes nothing.
    void withoutAnyEngine()
    {
        TracedScenario traced;
        traced.scenario.results["initialize"] = {-1};
        traced.use();
        ZmTest::LogCapture log;
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(nullptr, record));
        ZmTest::letTimersFire(50);
        for (int kind = 0; kind < 3; ++kind)
            QCOMPARE(box(*dialog, kind)->count(), 0);
        QVERIFY(log.linesContaining("asyncIsReady").isEmpty());
        QTest::mouseClick(dialog->findChild<QPushButton*>("buttonOk"), Qt::LeftButton);
        QCOMPARE(record.result, 1);
        QCOMPARE(record.flags, 0);
        QCOMPARE(record.changed, QStringList());
        for (const char* key : kKeys)
            QVERIFY(storedSetting(key).isNull());
    }

    // hideCancel hides Cancel only; the close button stays.
    void hideCancel()
    {
        TracedScenario traced;
        QVERIFY(startRoom(traced));
        for (bool hide : {false, true}) {
            DoneRecord record;
            std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record, hide));
            dialog->show();
            QCOMPARE(dialog->findChild<QPushButton*>("buttonCancel")->isVisible(), !hide);
            QVERIFY(dialog->findChild<QToolButton*>("btn_close")->isVisible());
            QVERIFY(dialog->findChild<QPushButton*>("buttonOk")->isVisible());
            QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
        }
    }

    void dragByTitleBar_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("press on the title bar") << QPoint(200, 20) << QPoint(130, 90);
        QTest::newRow("press below the title bar") << QPoint(200, 60) << QPoint(100, 100);
    }

    // A press on the title bar drags the window with the cursor until release; a press elsewhere does not.
    void dragByTitleBar()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, moved);
        TracedScenario traced;
        QVERIFY(startRoom(traced));
        DoneRecord record;
        std::unique_ptr<ConfigeDlg_Imp> dialog(open(m_room->engine(), record));
        dialog->move(100, 100);

        auto send = [&dialog](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
            QMouseEvent event(type, dialog->mapFromGlobal(global), global,
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(dialog.get(), &event);
        };
        const QPoint start = QPoint(100, 100) + press;
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(30, -10), Qt::LeftButton);
        QCOMPARE(dialog->pos(), moved);
        send(QEvent::MouseButtonRelease, start + QPoint(30, -10), Qt::NoButton);
        send(QEvent::MouseMove, start + QPoint(80, 80), Qt::NoButton);
        QCOMPARE(dialog->pos(), moved);
    }

    void indexOfDeviceID_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("index");
        QTest::newRow("first") << "cam-a" << 0;
        QTest::newRow("later, first of two equal ids") << "cam-c" << 2;
        QTest::newRow("letter case differs") << "CAM-A" << -1;
        QTest::newRow("absent") << "cam-x" << -1;
        QTest::newRow("empty id") << "" << -1;
    }

    void indexOfDeviceID()
    {
        QFETCH(QString, id);
        QFETCH(int, index);
        const std::vector<device_info> devices{
            {0, "A", "cam-a"}, {1, "B", "cam-b"}, {2, "C", "cam-c"}, {3, "C again", "cam-c"}};
        QCOMPARE(ConfigeDlg_Imp::indexOfDeviceID(id, devices), index);
        QCOMPARE(ConfigeDlg_Imp::indexOfDeviceID(id, {}), -1);
    }
};

ZM_TEST_MAIN(TestConfigeDlg)
#include "tst_configedlg.moc"
