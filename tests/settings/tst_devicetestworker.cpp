// The device check's worker against the simulated engine, driven as the wizard drives it (signals from a view on
// the GUI thread) with device events injected on the engine's threads.
#include "settings/CheckSystemDlg_Ctrl.h"

#include "app/ConfigManager.h"
#include "live/rtc/CAgoraObject.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include <QPointer>
#include <QWidget>

using namespace RtcTest;

namespace {

QStringList idsOf(const vector_device_info& devices)
{
    QStringList ids;
    for (const device_info& entry : devices)
        ids << entry.id;
    return ids;
}

} // namespace

// Stands in for the wizard: the signals the worker listens to and the slots it reports to, recorded.
class FakeView : public QObject
{
    Q_OBJECT

public:
    struct Report
    {
        QString name;
        vector_device_info devices;
        QString id;
        int value = 0;
    };

    QList<Report> reports(const QString& name) const
    {
        QList<Report> found;
        for (const Report& report : m_reports) {
            if (report.name == name)
                found << report;
        }
        return found;
    }
    int count(const QString& name) const { return reports(name).size(); }
    Report last(const QString& name) const { return reports(name).value(count(name) - 1); }
    bool waitFor(const QString& name, int n = 1, int timeoutMs = ZmTest::kWaitMs) const
    {
        return ZmTest::waitUntil([&] { return count(name) >= n; }, timeoutMs, 5);
    }
    void clear() { m_reports.clear(); }

    void openPage(int page) { emit sig_page_current_changed(page); }

signals:
    void sig_page_current_changed(int nCurrentPage);
    void sig_page_camera_select_changed(QString deviceID);
    void sig_page_camera_syncDeviceList();
    void sig_reboot_camera_devices();
    void sig_page_microphone_select_changed(QString deviceID);
    void sig_page_microphone_syncDeviceList();
    void sig_page_speaker_syncDeviceList();
    void sig_page_speaker_play_audio(bool);
    void sig_page_speaker_select_changed(QString deviceID);
    void sig_page_speaker_volume_changed(int nValue);
    void sig_finish_check_save_ini();

public slots:
    void slot_async_start_result(int result) { m_reports << Report{"start", {}, {}, result}; }
    void slot_camera_devices_changed(vector_device_info devices, QString id)
    {
        m_reports << Report{"cameras", devices, id, 0};
    }
    void slot_camera_preview_began(QString id) { m_reports << Report{"previewBegan", {}, id, 0}; }
    void slot_camera_preview_ended(QString id) { m_reports << Report{"previewEnded", {}, id, 0}; }
    void slot_microphone_devices_changed(vector_device_info devices, QString id)
    {
        m_reports << Report{"microphones", devices, id, 0};
    }
    void slot_micphone_volume_indication(QString id, int volume) { m_reports << Report{"level", {}, id, volume}; }
    void slot_speaker_devices_changed(vector_device_info devices, QString id)
    {
        m_reports << Report{"speakers", devices, id, 0};
    }
    void slot_speaker_preview_ended(QString id) { m_reports << Report{"soundEnded", {}, id, 0}; }

private:
    QList<Report> m_reports;
};

// A worker started on a view and a preview window; shut down with the rig.
struct Rig
{
    FakeView view;
    QWidget preview;
    QPointer<CheckSystemDlg_Ctrl> worker = new CheckSystemDlg_Ctrl;

    Rig()
    {
        preview.setAttribute(Qt::WA_NativeWindow);
        preview.resize(233, 175);
        preview.show();
        worker->start(&view, preview.winId());
    }
    ~Rig()
    {
        if (worker)
            worker->shutdown();
    }
    bool started() { return view.waitFor("start"); }
    SimRtcEngine* engine() { return simEngine(CAgoraObject::engine()); }
    // Waits until the worker has handled everything sent to it so far, and its reports have arrived.
    bool settle()
    {
        if (!worker)
            return false;
        QMetaObject::invokeMethod(
            worker, [] {}, Qt::BlockingQueuedConnection);
        QCoreApplication::processEvents();
        return true;
    }
    // Waits for a level report of the microphone.
    bool waitForLevel(const QString& id)
    {
        return ZmTest::waitUntil([&] { return view.last("level").id == id; }, ZmTest::kWaitMs, 5);
    }
};

class TestDeviceTestWorker : public QObject
{
    Q_OBJECT

private:
    static void store(const char* key, const QByteArray& id)
    {
        ConfigManager::instance()->ini_SetParam_String(key, id);
    }

    static void postDeviceEvent(SimRtcEngine* engine, SimEvent::Type type, SimDeviceKind kind, const std::string& id,
                                const std::string& name = std::string())
    {
        SimEvent event;
        event.type = type;
        event.fromJoin = false;
        event.kind = kind;
        event.deviceId = id;
        event.deviceName = name;
        engine->post(event);
    }

private slots:
    void init()
    {
        for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT",
                                "SelectedDeviceID/AudioOutVolume"})
            ConfigManager::instance()->ini_RemoveParam(key);
    }

    // Each device page lists its kind and selects the stored choice when the engine has it, else keeps the engine's
    // own; what is current afterwards is stored.
    void pagesRestoreTheStoredChoice_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("current");
        QTest::newRow("camera stored") << 22 << "cameras"
                                       << "SelectedDeviceID/Camera" << QByteArray("camera-b") << "camera-b";
        QTest::newRow("camera gone") << 22 << "cameras"
                                     << "SelectedDeviceID/Camera" << QByteArray("camera-z") << "camera-a";
        QTest::newRow("microphone stored")
            << 23 << "microphones"
            << "SelectedDeviceID/AudioIN" << QByteArray("microphone-b") << "microphone-b";
        QTest::newRow("microphone unset") << 23 << "microphones"
                                          << "SelectedDeviceID/AudioIN" << QByteArray() << "microphone-a";
        QTest::newRow("speaker stored") << 24 << "speakers"
                                        << "SelectedDeviceID/AudioOUT" << QByteArray("speaker-b") << "speaker-b";
    }

    void pagesRestoreTheStoredChoice()
    {
        QFETCH(int, page);
        QFETCH(QString, report);
        QFETCH(QString, key);
        QFETCH(QByteArray, stored);
        QFETCH(QString, current);
        TracedScenario traced;
        traced.scenario.cameras = {device("Camera A", "camera-a"), device("Camera B", "camera-b")};
        traced.scenario.microphones = {device("Mic A", "microphone-a", false, 90),
                                       device("Mic B", "microphone-b", false, 60)};
        traced.scenario.speakers = {device("Speaker A", "speaker-a"), device("Speaker B", "speaker-b")};
        traced.use();
        if (!stored.isEmpty())
            store(key.toLatin1().constData(), stored);

        Rig rig;
        QVERIFY(rig.started());
        QCOMPARE(rig.view.last("start").value, 0);
        rig.view.openPage(2);
        rig.view.openPage(page);
        QVERIFY(rig.view.waitFor(report));
        const FakeView::Report list = rig.view.last(report);
        QCOMPARE(list.id, current);
        QCOMPARE(idsOf(list.devices).size(), 2);
        QCOMPARE(list.devices.at(1).index, 1);
        QCOMPARE(storedSetting(key).toString(), current);

        if (page == 22) {
            QVERIFY(rig.view.waitFor("previewBegan"));
            QCOMPARE(rig.view.last("previewBegan").id, current);
            const QJsonObject canvas = traced.calls("setupLocalVideo").value(0).value("args").toObject();
            QCOMPARE(canvas.value("view").toString(), QString::number(rig.preview.winId()));
            QVERIFY(traced.parameterTexts().contains("setString che.video.localViewMirrorSetting forceMirror"));
        }
        if (page == 23) {
            QVERIFY(rig.waitForLevel(current));
            QCOMPARE(rig.view.last("level").value, current == "microphone-a" ? 90 : 60);
        }
        // The engine was started for the test: log file, profile 0, video on.
        QCOMPARE(argOf(traced.calls("initialize").value(0), "appId").toString(),
                 QStringLiteral("9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b"));
        QCOMPARE(argOf(traced.calls("setChannelProfile").value(0), "profile").toInt(), 0);
        QCOMPARE(traced.calls("enableVideo").size(), 1);
        QVERIFY(
            traced.parameterTexts().contains("setString rtc.log_file " + ConfigManager::instance()->getAgoraLogPath()));
    }

    // Pages open and close their devices; the page on show again changes nothing; no camera, no preview.
    void pageChanges()
    {
        TracedScenario traced;
        traced.use();
        Rig rig;
        QVERIFY(rig.started());
        rig.view.openPage(22);
        QVERIFY(rig.view.waitFor("previewBegan"));
        rig.view.openPage(22);
        rig.view.openPage(25);
        QVERIFY(rig.view.waitFor("previewEnded"));
        QCOMPARE(rig.view.last("previewEnded").id, QStringLiteral("sim-camera-0"));
        QCOMPARE(traced.calls("startPreview").size(), 1);
        QCOMPARE(traced.calls("stopPreview").size(), 1);
        QCOMPARE(rig.view.count("cameras"), 1);
        QCOMPARE(rig.view.count("microphones") + rig.view.count("speakers"), 0);

        TracedScenario noCamera;
        noCamera.scenario.cameras = {};
        noCamera.use();
        rig.worker->shutdown();
        Rig bare;
        QVERIFY(bare.started());
        bare.view.openPage(22);
        QVERIFY(bare.view.waitFor("cameras"));
        QVERIFY(bare.view.last("cameras").devices.empty());
        QVERIFY(bare.view.last("cameras").id.isEmpty());
        QVERIFY(bare.settle());
        QCOMPARE(noCamera.calls("startPreview").size(), 0);
    }

    // The slider's 0-99 on the engine's 0-255; the test sound is the program folder's file.
    void speakerVolumeAndTestSound_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("engine");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("50") << 50 << 128;
        QTest::newRow("99") << 99 << 255;
    }

    void speakerVolumeAndTestSound()
    {
        QFETCH(int, slider);
        QFETCH(int, engine);
        TracedScenario traced;
        traced.use();
        Rig rig;
        QVERIFY(rig.started());
        rig.view.openPage(24);
        QVERIFY(rig.view.waitFor("speakers"));
        emit rig.view.sig_page_speaker_volume_changed(slider);
        emit rig.view.sig_page_speaker_play_audio(true);
        emit rig.view.sig_page_speaker_play_audio(false);
        QVERIFY(rig.settle());
        QCOMPARE(rig.engine()->devices().volume(SimDeviceKind::Speaker), engine);
        const QList<QJsonObject> starts = traced.calls("startPlaybackDeviceTest");
        QCOMPARE(starts.size(), 1);
        QCOMPARE(argOf(starts[0], "testAudioFilePath").toString(),
                 QCoreApplication::applicationDirPath() + "/sounds/test.wav");
        QCOMPARE(starts[0].value("result").toInt(), 0); // the built sound is there
        QCOMPARE(traced.calls("stopPlaybackDeviceTest").size(), 1);
    }

    // A device that goes away while in use is replaced by the first remaining one the engine accepts; other changes
    // keep the device in use.
    void devicesComeAndGo_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("ended");

        const int camera = int(SimDeviceKind::Camera);
        const int microphone = int(SimDeviceKind::Microphone);
        const int speaker = int(SimDeviceKind::Speaker);
        QTest::newRow("camera in use unplugged")
            << 22 << camera << true << "camera-a" << QStringList{"camera-b", "camera-c"} << "camera-c" << true;
        QTest::newRow("other camera unplugged")
            << 22 << camera << true << "camera-c" << QStringList{"camera-a", "camera-b"} << "camera-a" << false;
        QTest::newRow("camera plugged") << 22 << camera << false << "camera-d"
                                        << QStringList{"camera-a", "camera-b", "camera-c", "camera-d"} << "camera-a"
                                        << false;
        QTest::newRow("microphone in use unplugged")
            << 23 << microphone << true << "microphone-a" << QStringList{"microphone-b"} << "microphone-b" << false;
        QTest::newRow("speaker in use unplugged")
            << 24 << speaker << true << "speaker-a" << QStringList{"speaker-b"} << "speaker-b" << true;
        QTest::newRow("speaker plugged") << 24 << speaker << false << "speaker-c"
                                         << QStringList{"speaker-a", "speaker-b", "speaker-c"} << "speaker-a" << false;
    }

    void devicesComeAndGo()
    {
        QFETCH(int, page);
        QFETCH(int, kind);
        QFETCH(bool, unplug);
        QFETCH(QString, deviceId);
        QFETCH(QStringList, ids);
        QFETCH(QString, current);
        QFETCH(bool, ended);
        TracedScenario traced;
        // camera-b refuses to be selected: the replacement skips it.
        traced.scenario.cameras = {device("Camera A", "camera-a"), device("Camera B", "camera-b", true),
                                   device("Camera C", "camera-c")};
        traced.scenario.microphones = {device("Mic A", "microphone-a", false, 80),
                                       device("Mic B", "microphone-b", false, 40)};
        traced.scenario.speakers = {device("Speaker A", "speaker-a"), device("Speaker B", "speaker-b")};
        traced.use();
        Rig rig;
        QVERIFY(rig.started());
        const QString report = page == 22 ? "cameras" : page == 23 ? "microphones" : "speakers";
        rig.view.openPage(page);
        QVERIFY(rig.view.waitFor(report));
        if (page == 22)
            QVERIFY(rig.view.waitFor("previewBegan"));
        if (page == 24)
            emit rig.view.sig_page_speaker_play_audio(true);
        QVERIFY(rig.settle());
        const int previews = traced.calls("startPreview").size();
        rig.view.clear();

        postDeviceEvent(rig.engine(), unplug ? SimEvent::Unplug : SimEvent::Plug, SimDeviceKind(kind),
                        deviceId.toStdString(), "Plugged " + deviceId.toStdString());
        QVERIFY(rig.view.waitFor(report));
        QCOMPARE(idsOf(rig.view.last(report).devices), ids);
        QCOMPARE(rig.view.last(report).id, current);
        if (page == 22) {
            QCOMPARE(rig.view.count("previewEnded"), ended ? 1 : 0);
            QCOMPARE(traced.calls("startPreview").size(), previews + (ended ? 1 : 0));
            if (ended)
                QCOMPARE(rig.view.last("previewEnded").id, deviceId);
        }
        if (page == 23) {
            // The level test goes on with the new microphone.
            QVERIFY(rig.waitForLevel(current));
            QCOMPARE(rig.view.last("level").value, 40);
        }
        if (page == 24) {
            // The test sound stopped with the old manager, and the wizard hears of it.
            QCOMPARE(rig.view.count("soundEnded"), 1);
            QCOMPARE(rig.view.last("soundEnded").id, QStringLiteral("speaker-a"));
        }
        QCOMPARE(rig.engine()->devices().current(SimDeviceKind(kind)), current.toStdString());
    }

    // Devices of pages already left: microphones and speakers are left alone, cameras are listed again; audio
    // events of other device types are ignored.
    void eventsOffTheirPage()
    {
        TracedScenario traced;
        traced.scenario.cameras = {device("Camera A", "camera-a"), device("Camera B", "camera-b")};
        traced.use();
        Rig rig;
        QVERIFY(rig.started());
        for (int page : {2, 22, 23, 24, 21})
            rig.view.openPage(page);
        QVERIFY(rig.view.waitFor("speakers"));
        QVERIFY(rig.settle());
        rig.view.clear();

        postDeviceEvent(rig.engine(), SimEvent::Plug, SimDeviceKind::Speaker, "speaker-x", "Speaker X");
        postDeviceEvent(rig.engine(), SimEvent::Unplug, SimDeviceKind::Microphone, "sim-microphone-0");
        postDeviceEvent(rig.engine(), SimEvent::Unplug, SimDeviceKind::Camera, "camera-b");
        QVERIFY(rig.view.waitFor("cameras"));
        QCOMPARE(idsOf(rig.view.last("cameras").devices), QStringList{"camera-a"});
        QCOMPARE(rig.view.last("cameras").id, QString()); // no camera in use off its page
        QCOMPARE(rig.view.count("previewEnded"), 0);
        for (int type : {2, 3})
            QMetaObject::invokeMethod(rig.worker, "slot_agora_audioDeviceChanged", Qt::QueuedConnection,
                                      Q_ARG(QString, "sim-speaker-0"), Q_ARG(int, type), Q_ARG(int, 8));
        QVERIFY(rig.settle());
        QCOMPARE(rig.view.count("speakers"), 0);
        QCOMPARE(rig.view.count("microphones"), 0);
        QCOMPARE(rig.view.count("soundEnded"), 0);
    }

    // Finish stores the devices in use when their pages were left and the volume when one was set, even when the
    // wizard closes right after it.
    void finishStoresTheChoices_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<QVariant>("volume");
        QTest::newRow("volume set") << 50 << QVariant(128);
        QTest::newRow("no volume received") << -1 << QVariant();
    }

    void finishStoresTheChoices()
    {
        QFETCH(int, slider);
        QFETCH(QVariant, volume);
        TracedScenario traced;
        traced.scenario.cameras = {device("Camera A", "camera-a"), device("Camera B", "camera-b")};
        traced.use();
        auto rig = std::make_unique<Rig>();
        QVERIFY(rig->started());
        for (int page : {2, 22, 23, 24, 21, 25}) {
            rig->view.openPage(page);
            if (page == 22) {
                QVERIFY(rig->view.waitFor("cameras"));
                emit rig->view.sig_page_camera_select_changed("camera-b");
            }
            if (page == 24 && slider >= 0)
                emit rig->view.sig_page_speaker_volume_changed(slider);
        }
        QVERIFY(rig->settle());
        ZmTest::LogCapture log;
        emit rig->view.sig_finish_check_save_ini();
        rig.reset();
        QCOMPARE(log.linesAfter("ConfigManager::ini_SetParam_String "),
                 (QStringList{"SelectedDeviceID/Camera = camera-b", "SelectedDeviceID/AudioIN = sim-microphone-0",
                              "SelectedDeviceID/AudioOUT = sim-speaker-0"}));
        QCOMPARE(storedSetting("SelectedDeviceID/AudioOutVolume"), volume);
        QCOMPARE(log.linesContaining("wait quit finish").size(), 1);
        QVERIFY(!CAgoraObject::instance());
    }

    // An engine whose release blocks longer than the wait: the wizard goes on, the worker frees itself later.
    void shutdownOutlastsABlockingRelease()
    {
        TracedScenario traced;
        traced.scenario.releaseDelayMs = 6500;
        traced.use();
        ZmTest::LogCapture log;
        auto* rig = new Rig;
        QVERIFY(rig->started());
        rig->view.openPage(22);
        QVERIFY(rig->view.waitFor("previewBegan"));
        const QPointer<CheckSystemDlg_Ctrl> worker = rig->worker;
        delete rig;
        QCOMPARE(log.linesContaining("wait quit timeover!").size(), 1);
        QVERIFY(worker);
        QTRY_VERIFY(worker.isNull());
        QCOMPARE(log.linesContaining("(step2) slot_stop_sdk_byThread").size(), 1);
        QVERIFY(!CAgoraObject::instance());
        QCOMPARE(traced.calls("release").size(), 1);
    }
};

ZM_TEST_MAIN(TestDeviceTestWorker)
#include "tst_devicetestworker.moc"
