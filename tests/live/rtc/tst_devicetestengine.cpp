// The device check's engine object and its three managers over the simulated engine, used as the device check's
// worker uses them: from a thread of their own, with the handler's signals queued to that thread.
#include "live/rtc/CAgoraObject.h"

#include "app/UrlConfig.h"
#include "live/rtc/CAgoraAudInputManager.h"
#include "live/rtc/CAgoraCameraManager.h"
#include "live/rtc/CAgoraPlayoutManager.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include "RtcTestSupport.h"
#include "ZmTestMain.h"

#include <QWidget>

using namespace RtcTest;

namespace {

const QString kAppId = QStringLiteral("9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b");

} // namespace

class TestDeviceTestEngine : public QObject
{
    Q_OBJECT

private:
    void listen(CAgoraObject* object, SignalLog& log)
    {
        CAGEngineEventHandler* handler = object->m_pEventHandler;
        connect(handler, &CAGEngineEventHandler::sig_local_audio_volume, &log,
                log.recorder<int>("sig_local_audio_volume"));
        connect(handler, &CAGEngineEventHandler::sig_audio_device_changed, &log,
                log.recorder<QString, int, int>("sig_audio_device_changed"));
        connect(handler, &CAGEngineEventHandler::sig_video_device_changed, &log,
                log.recorder<QString, int, int>("sig_video_device_changed"));
        connect(handler, &CAGEngineEventHandler::sig_lastmile_quality, &log, log.recorder<int>("sig_lastmile_quality"));
        connect(handler, &CAGEngineEventHandler::sig_local_video_ready, &log,
                log.recorder<int, int, int>("sig_local_video_ready"));
    }

private slots:
    void cleanup() { CAgoraObject::destroy(); }

    // The wrapper and its engine are made once; an id initialises the engine (again each time it is given).
    void getOrCreateAndDestroy()
    {
        TracedScenario traced;
        traced.use();
        QVERIFY(!CAgoraObject::instance());
        CAgoraObject* object = CAgoraObject::getOrCreate(QString());
        QVERIFY(object);
        QCOMPARE(CAgoraObject::instance(), object);
        QVERIFY(object->m_pEventHandler);
        QCOMPARE(object->m_pEventHandler->parent(), object);
        QCOMPARE(traced.calls("createAgoraRtcEngine").size(), 1);
        QVERIFY(traced.calls("initialize").isEmpty());

        QCOMPARE(CAgoraObject::getOrCreate(kAppId), object);
        QCOMPARE(CAgoraObject::getOrCreate(kAppId), object);
        const QList<QJsonObject> inits = traced.calls("initialize");
        QCOMPARE(inits.size(), 2);
        QCOMPARE(argOf(inits[0], "appId").toString(), kAppId);
        QCOMPARE(traced.calls("createAgoraRtcEngine").size(), 1);

        CAgoraObject::destroy();
        QVERIFY(!CAgoraObject::instance());
        QCOMPARE(argOf(traced.calls("release")[0], "sync").toBool(), true);
        // engine() makes a new, uninitialised one.
        QVERIFY(CAgoraObject::engine());
        QCOMPARE(traced.calls("createAgoraRtcEngine").size(), 2);
        QCOMPARE(traced.calls("initialize").size(), 2);
    }

    // Video, the preview with its mirror mode and canvas, and the log file.
    void previewAndLog()
    {
        TracedScenario traced;
        traced.use();
        CAgoraObject* object = CAgoraObject::getOrCreate(kAppId);
        SignalLog log;
        listen(object, log);

        QVERIFY(object->setLogFile(traced.filePath("agorasdk.log")));
        QVERIFY(!object->setLogFile(traced.filePath("missing/folder/agorasdk.log")));
        QVERIFY(object->setVideoEnabled(true));
        QVERIFY(object->isVideoEnabled());

        QWidget view;
        view.setAttribute(Qt::WA_NativeWindow);
        view.resize(160, 120);
        view.show();
        QVERIFY(object->setLocalPreview(view.winId(), true, true));
        QVERIFY(log.waitFor("sig_local_video_ready"));
        QCOMPARE(log.entries("sig_local_video_ready")[0].args.mid(0, 2), (QVariantList{640, 480}));
        QVERIFY(object->setLocalPreview(0, false, true));
        QVERIFY(object->setLocalPreview(view.winId(), true, false));

        QCOMPARE(traced.parameterTexts(),
                 (QStringList{"setString rtc.log_file " + traced.filePath("agorasdk.log"), "setInt rtc.log_filter 15",
                              "setString rtc.log_file " + traced.filePath("missing/folder/agorasdk.log"),
                              "setInt rtc.log_filter 15", "setString che.video.localViewMirrorSetting forceMirror",
                              "setString che.video.localViewMirrorSetting disableMirror"}));
        const QJsonObject canvas = traced.calls("setupLocalVideo")[0].value("args").toObject();
        QCOMPARE(canvas, (QJsonObject{{"view", QString::number(view.winId())}, {"renderMode", 1}, {"uid", 0}}));
        QCOMPARE(traced.calls("startPreview").size(), 2);
        QCOMPARE(traced.calls("stopPreview").size(), 1);
        QVERIFY(object->setVideoEnabled(false));
        QVERIFY(!object->isVideoEnabled());
    }

    // Without initialisation the engine refuses the preview, and the wrapper says so.
    void previewNeedsAnInitialisedEngine()
    {
        TracedScenario traced;
        traced.use();
        CAgoraObject* object = CAgoraObject::getOrCreate(QString());
        QVERIFY(!object->setLocalPreview(WId(1), true, true));
    }

    // The handler's five signals, emitted on engine threads.
    void handlerSignals()
    {
        TracedScenario traced;
        traced.scenario.microphones = {SimDeviceSpec{"Mic", "mic-1", false, 77}};
        traced.use();
        CAgoraObject* object = CAgoraObject::getOrCreate(kAppId);
        SignalLog log;
        listen(object, log);
        std::atomic<int> onGuiThread{0};
        connect(
            object->m_pEventHandler, &CAGEngineEventHandler::sig_audio_device_changed, object,
            [&] { onGuiThread += QThread::currentThread() == qApp->thread(); }, Qt::DirectConnection);

        SimRtcEngine* sim = simEngine(CAgoraObject::engine());
        SimEvent plug;
        plug.type = SimEvent::Plug;
        plug.fromJoin = false;
        plug.kind = SimDeviceKind::Speaker;
        plug.deviceId = "usb-speaker";
        plug.deviceName = "USB Speaker";
        sim->post(plug);
        SimEvent unplug = plug;
        unplug.type = SimEvent::Unplug;
        unplug.kind = SimDeviceKind::Camera;
        unplug.deviceId = "sim-camera-0";
        sim->post(unplug);
        SimEvent lastmile;
        lastmile.type = SimEvent::LastmileQuality;
        lastmile.fromJoin = false;
        lastmile.quality = 3;
        sim->post(lastmile);

        QVERIFY(log.waitFor("sig_lastmile_quality"));
        QCOMPARE(log.entries("sig_audio_device_changed")[0].args, (QVariantList{"usb-speaker", 0, 1}));
        QCOMPARE(log.entries("sig_video_device_changed")[0].args, (QVariantList{"sim-camera-0", 3, 8}));
        QCOMPARE(log.entries("sig_lastmile_quality")[0].args, (QVariantList{3}));
        QCOMPARE(int(onGuiThread), 0);

        // The microphone test reports the level every 100 ms.
        CAgoraAudInputManager microphones;
        QVERIFY(microphones.createRecordingDeviceManager(CAgoraObject::engine()));
        microphones.setRecordingDeviceTest(true);
        QVERIFY(log.waitFor("sig_local_audio_volume", 3));
        QCOMPARE(log.entries("sig_local_audio_volume")[0].args, (QVariantList{77}));
    }

    // The camera and microphone managers: lists, bounds, selection, the level test started once, and no manager.
    void cameraAndMicrophoneManagers()
    {
        TracedScenario traced;
        traced.scenario.cameras = {device("Cam A", "cam-a"), device("Cam B", "cam-b")};
        traced.scenario.microphones = {device("Mic A", "mic-a"), device("Mic \xc3\xa9", "mic-\xc3\xa9")};
        traced.use();
        CAgoraObject::getOrCreate(kAppId);

        CAgoraCameraManager cameras;
        QCOMPARE(cameras.captureDeviceCount(), 0);
        QVERIFY(cameras.createCaptureDeviceManager(CAgoraObject::engine()));
        QCOMPARE(cameras.captureDeviceCount(), 2);
        QString name;
        QString id;
        QVERIFY(cameras.captureDeviceAt(1, name, id));
        QCOMPARE(name, QStringLiteral("Cam B"));
        QVERIFY(!cameras.captureDeviceAt(2, name, id));
        QVERIFY(!cameras.captureDeviceAt(-1, name, id));
        QCOMPARE(cameras.currentCaptureDevice(), QStringLiteral("cam-a"));
        QVERIFY(cameras.setCaptureDevice(QStringLiteral("cam-b")));
        QVERIFY(!cameras.setCaptureDevice(QStringLiteral("cam-c")));
        QCOMPARE(cameras.currentCaptureDevice(), QStringLiteral("cam-b"));

        CAgoraAudInputManager microphones;
        microphones.setRecordingDeviceTest(true); // no manager: nothing
        QVERIFY(!microphones.isRecordingTest());
        QVERIFY(microphones.createRecordingDeviceManager(CAgoraObject::engine()));
        QVERIFY(microphones.recordingDeviceAt(1, name, id));
        QCOMPARE(id, QString::fromUtf8("mic-\xc3\xa9"));
        QVERIFY(microphones.setRecordingDevice(id));
        QCOMPARE(microphones.currentRecordingDevice(), id);

        microphones.setRecordingDeviceTest(false); // not testing: nothing
        microphones.setRecordingDeviceTest(true);
        microphones.setRecordingDeviceTest(true);
        QVERIFY(microphones.isRecordingTest());
        QCOMPARE(traced.calls("startRecordingDeviceTest").size(), 1);
        QCOMPARE(argOf(traced.calls("startRecordingDeviceTest")[0], "indicationInterval").toInt(), 100);
        QVERIFY(traced.calls("stopRecordingDeviceTest").isEmpty());
        microphones.setRecordingDeviceTest(false);
        QCOMPARE(traced.calls("stopRecordingDeviceTest").size(), 1);
    }

    void managersWithoutDeviceManagers()
    {
        TracedScenario traced;
        traced.scenario.audioDeviceManager = false;
        traced.scenario.videoDeviceManager = false;
        traced.use();
        CAgoraObject::getOrCreate(kAppId);
        CAgoraCameraManager cameras;
        CAgoraAudInputManager microphones;
        CAgoraPlayoutManager speakers;
        QVERIFY(!cameras.createCaptureDeviceManager(CAgoraObject::engine()));
        QVERIFY(!microphones.createRecordingDeviceManager(CAgoraObject::engine()));
        QVERIFY(!speakers.Create(CAgoraObject::engine()));
        QString name;
        QString id;
        QVERIFY(!microphones.recordingDeviceAt(0, name, id));
        QVERIFY(!microphones.setRecordingDevice(QStringLiteral("x")));
        QCOMPARE(cameras.currentCaptureDevice(), QString());
        QCOMPARE(speakers.GetDeviceCount(), 0);
        QVERIFY(!speakers.SetCurDevice(QStringLiteral("x")));
        QVERIFY(!speakers.SetVolume(100));
    }

    // Selecting a speaker raises a playback volume below 127 to 127.
    void playoutSelectionRaisesTheVolume_data()
    {
        QTest::addColumn<int>("startVolume");
        QTest::addColumn<int>("endVolume");
        QTest::newRow("100 is raised") << 100 << 127;
        QTest::newRow("200 stays") << 200 << 200;
    }

    void playoutSelectionRaisesTheVolume()
    {
        QFETCH(int, startVolume);
        QFETCH(int, endVolume);
        TracedScenario traced;
        traced.scenario.speakers = {device("Spk A", "spk-a"), device("Spk B", "spk-b")};
        traced.scenario.playbackVolume = startVolume;
        traced.use();
        CAgoraObject::getOrCreate(kAppId);
        CAgoraPlayoutManager speakers;
        QVERIFY(speakers.Create(CAgoraObject::engine()));
        QCOMPARE(speakers.GetDeviceCount(), 2);
        QVERIFY(speakers.SetCurDevice(QStringLiteral("spk-b")));
        QCOMPARE(speakers.GetCurDeviceID(), QStringLiteral("spk-b"));
        QCOMPARE(simEngine(CAgoraObject::engine())->devices().volume(SimDeviceKind::Speaker), endVolume);
        QVERIFY(!speakers.SetCurDevice(QStringLiteral("spk-z")));
        QVERIFY(speakers.SetVolume(30));
        QCOMPARE(simEngine(CAgoraObject::engine())->devices().volume(SimDeviceKind::Speaker), 30);
    }

    // The test sound is the program folder's file; it starts once and stops once, also when the manager closes.
    void playbackTest()
    {
        TracedScenario traced;
        traced.use();
        CAgoraObject::getOrCreate(kAppId);
        CAgoraPlayoutManager speakers;
        QVERIFY(speakers.Create(CAgoraObject::engine()));
        speakers.TestPlaybackDevice(QStringLiteral("/sounds/test.wav"), true);
        speakers.TestPlaybackDevice(QStringLiteral("/sounds/test.wav"), true);
        QVERIFY(speakers.isPlaybackTest());
        const QList<QJsonObject> starts = traced.calls("startPlaybackDeviceTest");
        QCOMPARE(starts.size(), 1);
        QCOMPARE(argOf(starts[0], "testAudioFilePath").toString(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/sounds/test.wav"));
        speakers.Close();
        QVERIFY(!speakers.isPlaybackTest());
        QCOMPARE(traced.calls("stopPlaybackDeviceTest").size(), 1);
        speakers.Close();
        QCOMPARE(traced.calls("stopPlaybackDeviceTest").size(), 1);
    }
};

ZM_TEST_MAIN(TestDeviceTestEngine)
#include "tst_devicetestengine.moc"
