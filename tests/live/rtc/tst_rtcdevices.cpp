// The room's device classes over the simulated engine: lists in both spellings, the current device, selection with
// the raised volume and the saved id, volume conversions, missing parts, and the not-recommended checks.
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraVideoDevice.h"

#include "app/ConfigManager.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

using namespace RtcTest;

namespace {

QStringList namesOf(const std::vector<device_info>& devices)
{
    QStringList names;
    for (const device_info& each : devices)
        names << QStringLiteral("%1:%2:%3").arg(each.index).arg(each.name, each.id);
    return names;
}

} // namespace

class TestRtcDevices : public QObject
{
    Q_OBJECT

private:
    // A channel with an engine over the traced scenario.
    std::unique_ptr<AgoraChannel> startChannel(TracedScenario& traced)
    {
        traced.use();
        auto channel = std::make_unique<AgoraChannel>();
        if (channel->initialize() != 0)
            return nullptr;
        return channel;
    }

    static void clearSelections()
    {
        for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
            ConfigManager::instance()->ini_RemoveParam(key);
    }

private slots:
    void initTestCase() { ConfigManager::instance(); }
    void init() { clearSelections(); }

    // Every device the engine offers is listed with its position, whatever its name: empty, or longer than the
    // engine's 512-byte buffers (cut there, never inside a character).
    void listsTheDevices()
    {
        TracedScenario traced;
        const std::string longAscii(600, 'm');
        std::string longUtf8;
        for (int i = 0; i < 300; ++i)
            longUtf8 += "\xc3\xa9"; // é
        traced.scenario.microphones = {device("", "mic-empty-name"), device(longAscii, "mic-long")};
        traced.scenario.speakers = {device("Speakers (USB)", "spk-1"), device(longUtf8, "spk-long"),
                                    device("HDMI", "spk-3")};
        traced.scenario.cameras = {device("Front Camera", "cam-1"), device("Rear Camera", "cam-2")};
        auto channel = startChannel(traced);
        QVERIFY(channel);

        AgoraAudioDevice audio;
        QCOMPARE(audio.Create(channel->engine()), 0);
        // Creating enables audio before the manager is asked for.
        const QStringList calls = traced.callNames();
        QVERIFY(calls.lastIndexOf("enableAudio") < calls.lastIndexOf("IAudioDeviceManager.enumerateRecordingDevices"));

        QCOMPARE(audio.GetRecordingDeviceCount(), 2);
        QCOMPARE(audio.GetRecordingCollection(), 2);
        QCOMPARE(audio.GetPlaybackDeviceCount(), 3);
        QCOMPARE(audio.GetPlaybackCollection(), 3);

        std::vector<device_info> microphones;
        QCOMPARE(audio.GetRecordingDevices(microphones), 2);
        QCOMPARE(microphones[0].name, QString());
        QCOMPARE(microphones[0].id, QStringLiteral("mic-empty-name"));
        QCOMPARE(microphones[1].name, QString(511, 'm'));
        QCOMPARE(microphones[1].index, 1);

        std::vector<device_info> speakers{device_info{9, "kept", "kept"}};
        QCOMPARE(audio.GetPlaybackDevices(speakers), 4); // appended
        QCOMPARE(speakers[2].name, QString(255, QChar(0xe9)));
        QCOMPARE(speakers[3].index, 2);

        AgoraVideoDevice video;
        QCOMPARE(video.Create(channel->engine()), 0);
        QCOMPARE(video.GetDeviceCount(), 2);
        QCOMPARE(video.GetCollection(), 2);
        std::vector<device_info> cameras;
        QCOMPARE(video.GetDevices(cameras), 2);
        QCOMPARE(namesOf(cameras), (QStringList{"0:Front Camera:cam-1", "1:Rear Camera:cam-2"}));

        QCOMPARE(audio.GetCurRecordingDeviceID(), QStringLiteral("mic-empty-name"));
        QCOMPARE(audio.GetCurPlaybackDeviceID(), QStringLiteral("spk-1"));
        QCOMPARE(video.GetCurDeviceID(), QStringLiteral("cam-1"));
        audio.Close();
        audio.Close();
        QCOMPARE(audio.GetRecordingDeviceCount(), 0);
        QCOMPARE(audio.GetCurRecordingDeviceID(), QString());
    }

    // Selecting a device raises a volume below 50 % to 50 % and saves the id the engine then reports.
    void selectionRaisesTheVolumeAndSaves_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("startVolume");
        QTest::addColumn<int>("endVolume");
        QTest::newRow("microphone at 30 %") << "microphone" << 76 << 127;
        QTest::newRow("microphone at 80 %") << "microphone" << 204 << 204;
        QTest::newRow("speaker at 30 %") << "speaker" << 76 << 127;
        QTest::newRow("speaker at 80 %") << "speaker" << 204 << 204;
        QTest::newRow("camera") << "camera" << 0 << 0;
    }

    void selectionRaisesTheVolumeAndSaves()
    {
        QFETCH(QString, kind);
        QFETCH(int, startVolume);
        QFETCH(int, endVolume);
        TracedScenario traced;
        traced.scenario.microphones = {device("Mic A", "mic-a"), device("Mic B", "mic-b")};
        traced.scenario.speakers = {device("Spk A", "spk-a"), device("Spk B", "spk-b")};
        traced.scenario.cameras = {device("Cam A", "cam-a"), device("Cam B", "cam-b")};
        traced.scenario.recordingVolume = startVolume;
        traced.scenario.playbackVolume = startVolume;
        auto channel = startChannel(traced);
        AgoraAudioDevice audio;
        AgoraVideoDevice video;
        QCOMPARE(audio.Create(channel->engine()), 0);
        QCOMPARE(video.Create(channel->engine()), 0);
        SimRtcEngine* sim = simEngine(channel->engine());

        if (kind == QLatin1String("microphone")) {
            QCOMPARE(audio.SetCurRecordingDevice("mic-b"), 0);
            QCOMPARE(sim->devices().volume(SimDeviceKind::Microphone), endVolume);
            QCOMPARE(storedSetting("SelectedDeviceID/AudioIN").toString(), QStringLiteral("mic-b"));
            QCOMPARE(audio.GetCurRecordingDeviceID(), QStringLiteral("mic-b"));
        } else if (kind == QLatin1String("speaker")) {
            QCOMPARE(audio.SetCurPlaybackDevice("spk-b"), 0);
            QCOMPARE(sim->devices().volume(SimDeviceKind::Speaker), endVolume);
            QCOMPARE(storedSetting("SelectedDeviceID/AudioOUT").toString(), QStringLiteral("spk-b"));
        } else {
            QCOMPARE(video.SetCurDevice("cam-b"), 0);
            QCOMPARE(storedSetting("SelectedDeviceID/Camera").toString(), QStringLiteral("cam-b"));
            QCOMPARE(video.GetCurDeviceID(), QStringLiteral("cam-b"));
        }
    }

    // Selections that do nothing or fail: an empty id, no devices, a refusing device, a device unplugged since
    // the list was read. Nothing is saved.
    void selectionsThatFail()
    {
        TracedScenario traced;
        traced.scenario.microphones = {};
        traced.scenario.speakers = {device("Spk A", "spk-a"), device("Locked", "spk-locked", true)};
        traced.scenario.cameras = {device("Cam A", "cam-a"), device("Cam B", "cam-b")};
        auto channel = startChannel(traced);
        AgoraAudioDevice audio;
        AgoraVideoDevice video;
        QCOMPARE(audio.Create(channel->engine()), 0);
        QCOMPARE(video.Create(channel->engine()), 0);

        const int setCalls = traced.calls("videoDevices.setDevice").size();
        QCOMPARE(video.SetCurDevice(""), 0);
        QCOMPARE(traced.calls("videoDevices.setDevice").size(), setCalls);
        QCOMPARE(audio.SetCurRecordingDevice("mic-a"), -1); // no microphones
        QVERIFY(audio.SetCurPlaybackDevice("spk-locked") < 0);
        QCOMPARE(audio.GetCurPlaybackDeviceID(), QStringLiteral("spk-a"));

        // Camera B goes away after the list was read.
        QVERIFY(simEngine(channel->engine())->devices().unplug(SimDeviceKind::Camera, "cam-b"));
        std::vector<device_info> cameras;
        QCOMPARE(video.GetDevices(cameras), 2);
        QVERIFY(video.SetCurDevice("cam-b") < 0);
        QCOMPARE(video.GetCurDeviceID(), QStringLiteral("cam-a"));

        for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
            QVERIFY2(storedSetting(key).isNull(), key);
    }

    // Percent to the engine's 0-255 (rounded down) and back (to the nearest percent).
    void volumeConversions_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("sent");
        QTest::newRow("100 %") << 100 << 255;
        QTest::newRow("1 %") << 1 << 2;
        QTest::newRow("50 %") << 50 << 127;
        QTest::newRow("0 %") << 0 << 0;
    }

    void volumeConversions()
    {
        QFETCH(int, percent);
        QFETCH(int, sent);
        TracedScenario traced;
        auto channel = startChannel(traced);
        AgoraAudioDevice audio;
        QCOMPARE(audio.Create(channel->engine()), 0);
        QVERIFY(audio.SetRecordingVolume(percent));
        QVERIFY(audio.SetPlaybackVolume(percent));
        QCOMPARE(argOf(traced.calls("IAudioDeviceManager.setRecordingDeviceVolume").last(), "volume").toInt(), sent);
        QCOMPARE(argOf(traced.calls("IAudioDeviceManager.setPlaybackDeviceVolume").last(), "volume").toInt(), sent);

        SimRtcEngine* sim = simEngine(channel->engine());
        sim->devices().setVolume(SimDeviceKind::Microphone, 128);
        QCOMPARE(audio.GetRecordingVolume(), 50);
        sim->devices().setVolume(SimDeviceKind::Speaker, 255);
        QCOMPARE(audio.GetPlaybackVolume(), 100);
        sim->devices().setVolume(SimDeviceKind::Speaker, 3);
        QCOMPARE(audio.GetPlaybackVolume(), 1);
    }

    // An engine without device managers, or no engine at all: -1, 0, false or empty, with the log lines.
    void missingManagers()
    {
        TracedScenario traced;
        traced.scenario.audioDeviceManager = false;
        traced.scenario.videoDeviceManager = false;
        auto channel = startChannel(traced);
        ZmTest::LogCapture capture;
        AgoraAudioDevice audio;
        AgoraVideoDevice video;
        QCOMPARE(audio.Create(channel->engine()), -1);
        QCOMPARE(video.Create(channel->engine()), -1);
        QCOMPARE(video.Create(nullptr), -1);
        QVERIFY(capture.lines(QtCriticalMsg).contains(QStringLiteral("Fail to create audio_device_manager")));
        QVERIFY(capture.lines(QtCriticalMsg).contains(QStringLiteral("Fail to create video_device_manager")));

        std::vector<device_info> devices;
        QCOMPARE(audio.GetRecordingDevices(devices), 0);
        QCOMPARE(audio.GetPlaybackDeviceCount(), 0);
        QCOMPARE(audio.GetCurPlaybackDeviceID(), QString());
        QVERIFY(!audio.SetRecordingVolume(50));
        QCOMPARE(audio.GetRecordingVolume(), -1);
        QCOMPARE(audio.SetCurPlaybackDevice("x"), -1);
        QCOMPARE(video.GetDeviceCount(), 0);
        QCOMPARE(video.SetCurDevice("x"), -1);
        QCOMPARE(video.GetCurDeviceID(), QString());
    }

    // The static checks forward to the class service's lists (names upper-cased, entries matched inside them) and
    // log their verdict.
    void notRecommendedChecks()
    {
        ZmTest::Simulator simulator;
        QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
        simulator.pointUrlConfig();
        ZmTest::LogCapture capture;

        QVERIFY(AgoraVideoDevice::IsNotRecommendWithDeviceName(QStringLiteral("obs virtual camera")));
        QVERIFY(!AgoraVideoDevice::IsNotRecommendWithDeviceName(QStringLiteral("HD Webcam")));
        QVERIFY(AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName(QStringLiteral("Stereo Mix (Realtek)")));
        QVERIFY(!AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName(QStringLiteral("Stereo Mix (Realtek)")));
        QVERIFY(AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName(QStringLiteral("cable input (vb-audio)")));

        const QStringList lines = capture.lines().filter("IsNotRecommend");
        QCOMPARE(lines, (QStringList{"IsNotRecommendWithDeviceName: obs virtual camera : true",
                                     "IsNotRecommendWithDeviceName: HD Webcam : false",
                                     "IsNotRecommendAudioInWithDeviceName: Stereo Mix (Realtek) : ture",
                                     "IsNotRecommendAudioOutWithDeviceName: Stereo Mix (Realtek) : false",
                                     "IsNotRecommendAudioOutWithDeviceName: cable input (vb-audio) : true"}));
    }
};

ZM_TEST_MAIN_CORE(TestRtcDevices)
#include "tst_rtcdevices.moc"
