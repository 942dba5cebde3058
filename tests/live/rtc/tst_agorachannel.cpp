// The class room's RTC channel against the simulated engine: start-up, every parameter text as sent, the join wait,
// the publish role, callbacks turned into signals, the online user set, canvases and the release.
#include "live/rtc/AgoraChannel.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/UrlConfig.h"
#include "live/rtc/engine/IMediaEngine.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <functional>

using namespace RtcTest;
using ChannelCall = std::function<int(AgoraChannel&)>;
Q_DECLARE_METATYPE(ChannelCall)

namespace {

constexpr unsigned int kOwnId = 5001;
constexpr unsigned int kPupilId = 2002;
constexpr unsigned int kTeacherId = 3003;

SimEvent simEvent(SimEvent::Type type, unsigned int uid = 0)
{
    SimEvent made;
    made.type = type;
    made.uid = uid;
    return made;
}

} // namespace

class TestAgoraChannel : public QObject
{
    Q_OBJECT

private:
    // Records every signal of the channel as it reaches the GUI thread.
    void listen(AgoraChannel& channel, SignalLog& log)
    {
        connect(&channel, &AgoraChannel::signal_user_joined, &log,
                log.recorder<unsigned int, int>("signal_user_joined"));
        connect(&channel, &AgoraChannel::signal_user_offline, &log,
                log.recorder<unsigned int, int>("signal_user_offline"));
        connect(&channel, &AgoraChannel::signal_network_down, &log, log.recorder<>("signal_network_down"));
        connect(&channel, &AgoraChannel::signal_network_lost, &log, log.recorder<>("signal_network_lost"));
        connect(&channel, &AgoraChannel::signal_network_rejoin, &log,
                log.recorder<unsigned int>("signal_network_rejoin"));
        connect(&channel, &AgoraChannel::signal_recv_stream_msg, &log,
                log.recorder<unsigned int, QString>("signal_recv_stream_msg"));
        connect(&channel, &AgoraChannel::signal_remote_video_ready, &log,
                log.recorder<int>("signal_remote_video_ready"));
        connect(&channel, &AgoraChannel::signal_local_video_ready, &log,
                log.recorder<int, int, int>("signal_local_video_ready"));
        connect(&channel, &AgoraChannel::signal_volume_indication, &log,
                log.recorder<QByteArray>("signal_volume_indication"));
        connect(&channel, &AgoraChannel::signal_audio_device_changed, &log,
                log.recorder<std::string, int, int>("signal_audio_device_changed"));
        connect(&channel, &AgoraChannel::signal_video_device_changed, &log,
                log.recorder<std::string, int, int>("signal_video_device_changed"));
        connect(&channel, &AgoraChannel::signal_error, &log, log.recorder<int, std::string>("signal_error"));
        connect(&channel, &AgoraChannel::signal_AudioDeviceVolumeChanged, &log,
                log.recorder<MEDIA_DEVICE_TYPE, int, bool>("signal_AudioDeviceVolumeChanged"));
        connect(&channel, &AgoraChannel::signal_rtcStats, &log, log.recorder<QMapStrVar>("signal_rtcStats"));
        connect(&channel, &AgoraChannel::signal_network_quality, &log,
                log.recorder<unsigned int, int, int>("signal_network_quality"));
    }

    // A channel initialised and joined as the own user.
    void joinAsOwnUser(AgoraChannel& channel)
    {
        QCOMPARE(channel.initialize(), 0);
        channel.setChannelMode(0);
        QCOMPARE(channel.joinChannel("lesson-77", "channel-key", kOwnId), 0);
    }

private slots:
    void initTestCase()
    {
        ConfigManager::instance();
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.userId = QString::number(kOwnId);
        data->launch.accountType = 1;
        UserInfo pupil;
        pupil.userId = QString::number(kPupilId);
        pupil.accountType = 1;
        data->addUser(pupil);
        UserInfo teacher;
        teacher.userId = QString::number(kTeacherId);
        teacher.accountType = 2;
        data->setTeacherInfo(teacher);
    }

    void cleanup() { ConfigManager::instance()->ini_RemoveParam("AppInfo/VideoCaptureType"); }

    // The start-up calls in their order, with the stored capture type when there is one.
    void initializeSetsUpTheEngine_data()
    {
        QTest::addColumn<int>("captureType");
        QTest::addColumn<QStringList>("parameters");
        const QString interop = QStringLiteral("setParameters {\"rtc.video.web_h264_interop_enable\":true,"
                                               "\"che.video.web_h264_interop_enable\":true}");
        QTest::newRow("no stored capture type")
            << -1 << QStringList{QStringLiteral("setInt che.video.renderer.type 9"), interop};
        QTest::newRow("stored capture type")
            << 3
            << QStringList{QStringLiteral("setInt che.video.renderer.type 9"),
                           QStringLiteral("setInt che.video.videoCaptureType 3"), interop};
    }

    void initializeSetsUpTheEngine()
    {
        QFETCH(int, captureType);
        QFETCH(QStringList, parameters);
        if (captureType >= 0)
            ConfigManager::instance()->ini_SetParam_Int("AppInfo/VideoCaptureType", captureType);
        TracedScenario traced;
        traced.use();

        AgoraChannel channel;
        QVERIFY(!channel.engine());
        QCOMPARE(channel.initialize(), 0);
        QVERIFY(channel.engine());

        const QList<QJsonObject> init = traced.calls("initialize");
        QCOMPARE(init.size(), 1);
        QCOMPARE(argOf(init[0], "appId").toString(), QString::fromLatin1(UrlConfig::instance()->rtcAppId));
        QCOMPARE(argOf(init[0], "eventHandler").toBool(), true);
        const QList<QJsonObject> profile = traced.calls("setVideoProfile");
        QCOMPARE(profile.size(), 1);
        QCOMPARE(argOf(profile[0], "profile").toInt(), ConfigManager::instance()->getVideoResolution());
        QCOMPARE(argOf(profile[0], "swapWidthAndHeight").toBool(), false);
        QCOMPARE(traced.parameterTexts(), parameters);
    }

    // A failed start leaves no engine; everything that needs one then refuses or does nothing.
    void initializeFailureLeavesNoEngine()
    {
        TracedScenario traced;
        traced.scenario.results["initialize"] = {-1};
        traced.use();
        ZmTest::LogCapture capture;

        AgoraChannel channel;
        QCOMPARE(channel.initialize(), -1);
        QVERIFY(!channel.engine());
        QVERIFY(capture.lines(QtCriticalMsg).contains(QStringLiteral("Agora engine fail to initialize")));
        QCOMPARE(traced.calls("release").size(), 1);

        QCOMPARE(channel.joinChannel("lesson-77", "", kOwnId), -1);
        QCOMPARE(channel.muteLocalAudio(true), -1);
        QCOMPARE(channel.enableLocalVideo(false), -1);
        QCOMPARE(channel.startRecording("/tmp/x.wav"), -1);
        QCOMPARE(channel.set_local_preview(WId(42), kOwnId), -1);
        QCOMPARE(channel.disableDualStreamMode(), -7);
        QVERIFY(!channel.setMonitorClient(true));
        channel.setChannelMode(1);
        QCOMPARE(channel.setPublishRole(true), -1);
        const int callsBefore = traced.calls().size();
        channel.uninitialize();
        QCOMPARE(traced.calls().size(), callsBefore);
    }

    // Every operation sends its parameter texts exactly as written, and returns what it should.
    void operationsSendExactParameterTexts_data()
    {
        QTest::addColumn<ChannelCall>("call");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("texts");

        QTest::newRow("mute") << ChannelCall([](AgoraChannel& c) { return c.muteLocalAudio(true); }) << 0
                              << QStringList{"setParameters {\"rtc.audio.mute_me\":true,\"che.audio.mute_me\":true}"};
        QTest::newRow("unmute") << ChannelCall([](AgoraChannel& c) {
            return c.muteLocalAudio(false);
        }) << 0 << QStringList{"setParameters {\"rtc.audio.mute_me\":false,\"che.audio.mute_me\":false}"};
        QTest::newRow("local video on")
            << ChannelCall([](AgoraChannel& c) { return c.enableLocalVideo(true); }) << 0
            << QStringList{"setParameters {\"rtc.video.capture\":true,\"che.video.local.capture\":true,"
                           "\"che.video.local.render\":true,\"che.video.local.send\":true}"};
        QTest::newRow("local video off")
            << ChannelCall([](AgoraChannel& c) { return c.enableLocalVideo(false); }) << 0
            << QStringList{"setParameters {\"rtc.video.capture\":false,\"che.video.local.capture\":false,"
                           "\"che.video.local.render\":false,\"che.video.local.send\":false}"};
        QTest::newRow("dual stream off") << ChannelCall([](AgoraChannel& c) {
            return c.disableDualStreamMode();
        }) << 0 << QStringList{"setParameters {\"rtc.dual_stream_mode\":false,\"che.video.enableLowBitRateStream\":0}"};
        QTest::newRow("volume indication") << ChannelCall([](AgoraChannel& c) {
            c.enableAudioVolumeIndication();
            return 0;
        }) << 0 << QStringList{"setObject che.audio.volume_indication {\"interval\":200,\"smooth\":3}"};
        QTest::newRow("remote stream of the highest uid")
            << ChannelCall([](AgoraChannel& c) { return c.setRemoteVideoStreamType(4294967295u); }) << 0
            << QStringList{"setParameters {\"rtc.video.set_remote_video_stream\":{\"uid\":4294967295,\"stream\":0}, "
                           "\"che.video.setstream\":{\"uid\":4294967295,\"stream\":0}}"};
        QTest::newRow("monitor client") << ChannelCall([](AgoraChannel& c) { return int(c.setMonitorClient(true)); })
                                        << 1 << QStringList{"setBool che.video.monitorClient true"};
        QTest::newRow("capture type") << ChannelCall([](AgoraChannel& c) { return int(c.setVideoCaptureType(2)); }) << 1
                                      << QStringList{"setInt che.video.videoCaptureType 2"};
        QTest::newRow("mirror") << ChannelCall([](AgoraChannel& c) { return c.setLocalMirror(true); }) << 0
                                << QStringList{"setString che.video.localViewMirrorSetting forceMirror"};
        QTest::newRow("no mirror") << ChannelCall([](AgoraChannel& c) { return c.setLocalMirror(false); }) << 0
                                   << QStringList{"setString che.video.localViewMirrorSetting disableMirror"};
        QTest::newRow("stop screen capture") << ChannelCall([](AgoraChannel& c) {
            c.stopScreenCapture();
            return 0;
        }) << 0 << QStringList{"setBool che.video.stop_screen_capture true"};
        QTest::newRow("recording into a path with quotes and backslashes")
            << ChannelCall([](AgoraChannel& c) { return c.startRecording("/tmp/a \"b\"\\c.wav"); }) << 0
            << QStringList{
                   "setObject che.audio.start_recording {\"filePath\":\"/tmp/a \\\"b\\\"\\\\c.wav\",\"quality\":2}"};
        QTest::newRow("stop recording") << ChannelCall([](AgoraChannel& c) {
            c.stopRecording();
            return 0;
        }) << 0 << QStringList{"setBool che.audio.stop_recording true"};
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QTest::newRow("screen capture")
            << ChannelCall([](AgoraChannel& c) { return c.start_screen_capture(); }) << 0
            << QStringList{
                   QStringLiteral("setObject che.video.start_screen_capture {\"id\":0,\"captureFreq\":15,\"top\":0,"
                                  "\"left\":0,\"bottom\":%1,\"right\":%2}")
                       .arg(screen.height())
                       .arg(screen.width())};
        QTest::newRow("channel mode")
            << ChannelCall([](AgoraChannel& c) {
                   c.setChannelMode(1);
                   return 0;
               })
            << 0
            << QStringList{
                   "setParameters {\"rtc.video.prefer_frame_rate\":false,\"che.video.prefer_frame_rate\":false}"};
    }

    void operationsSendExactParameterTexts()
    {
        QFETCH(ChannelCall, call);
        QFETCH(int, result);
        QFETCH(QStringList, texts);
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        const int before = traced.parameterTexts().size();

        QCOMPARE(call(channel), result);
        QCOMPARE(traced.parameterTexts().mid(before), texts);
        // The engine took every text (it refuses JSON that does not parse).
        const QList<QJsonObject> calls = traced.calls();
        for (const QJsonObject& line : calls)
            QVERIFY2(line["result"].toInt() >= 0, qPrintable(line["call"].toString()));
    }

    // The engine log path goes over as UTF-8, followed by the full filter, and the engine writes its log there.
    void logFileAsUtf8()
    {
        TracedScenario traced;
        traced.use();
        const QString path = traced.filePath(QString::fromUtf8("日志 é/agorasdk.log"));
        QDir().mkpath(QFileInfo(path).path());
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        channel.setLogFile(path.toUtf8().constData());
        QCOMPARE(traced.parameterTexts().mid(2),
                 (QStringList{"setString rtc.log_file " + path, QStringLiteral("setInt rtc.log_filter 15")}));
        channel.setChannelMode(0);
        QCOMPARE(channel.joinChannel("lesson-77", "", kOwnId), 0);
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("joining channel lesson-77"));
    }

    // Without a parameter interface every setter answers -7 and sends nothing.
    void noParameterInterface()
    {
        TracedScenario traced;
        traced.scenario.parameterInterface = false;
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        channel.setChannelMode(0);
        QCOMPARE(channel.muteLocalAudio(true), -7);
        QVERIFY(channel.isLocalAudioLive());
        QCOMPARE(channel.enableLocalVideo(false), -7);
        QCOMPARE(channel.disableDualStreamMode(), -7);
        QCOMPARE(channel.setRemoteVideoStreamType(7), -7);
        QCOMPARE(channel.setLocalMirror(true), -7);
        QCOMPARE(channel.startRecording("/tmp/x.wav"), -7);
        QVERIFY(!channel.setMonitorClient(true));
        QVERIFY(!channel.setVideoCaptureType(1));
        QVERIFY(traced.parameterTexts().isEmpty());
        for (const QJsonObject& query : traced.calls("queryInterface")) {
            if (argOf(query, "iid").toInt() == 3)
                QVERIFY(query["result"].toInt() != 0);
        }
    }

    // A formatted value longer than 511 characters is cut at 511; the engine then refuses the broken JSON.
    void longValuesAreCut()
    {
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        const QByteArray path = "/tmp/" + QByteArray(600, 'x') + ".wav";
        QVERIFY(channel.startRecording(path.constData()) < 0);
        const QList<QJsonObject> sent = traced.calls("setObject");
        QCOMPARE(sent.size(), 1);
        const QString value = argOf(sent[0], "value").toString();
        QCOMPARE(value.size(), 511);
        QVERIFY(value.startsWith(QStringLiteral("{\"filePath\":\"/tmp/xxx")));
    }

    // The join waits at most 5 s for the engine's confirmation; a late confirmation still counts.
    void joinWaitsForTheConfirmation_data()
    {
        QTest::addColumn<int>("successDelayMs");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<int>("result");
        QTest::newRow("at once") << 0 << 0 << 0;
        // Half-way through the wait: the other half is the slack a loaded machine needs.
        QTest::newRow("after 2.5 s") << 2500 << 0 << 0;
        QTest::newRow("after 6 s") << 6000 << 0 << -1;
        QTest::newRow("refused") << 0 << -17 << -1;
    }

    void joinWaitsForTheConfirmation()
    {
        QFETCH(int, successDelayMs);
        QFETCH(int, refusal);
        QFETCH(int, result);
        TracedScenario traced;
        traced.scenario.joinSuccessDelayMs = successDelayMs;
        if (refusal)
            traced.scenario.results["joinChannel"] = {refusal};
        traced.use();
        ZmTest::LogCapture capture;

        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        channel.setChannelMode(0);
        QCOMPARE(channel.joinChannel("lesson-77", "secret-channel-key", kOwnId), result);

        // The key never reaches the log or the trace.
        QVERIFY(capture.text().contains(QStringLiteral("join_channel name(lesson-77) key(***)")));
        QVERIFY(!capture.text().contains(QStringLiteral("secret-channel-key")));
        QCOMPARE(argOf(traced.calls("joinChannel")[0], "token").toString(), QStringLiteral("***"));
        QCOMPARE(argOf(traced.calls("joinChannel")[0], "uid").toInt(), int(kOwnId));
        if (refusal) {
            QVERIFY(capture.lines(QtCriticalMsg).contains(QStringLiteral("Agora engine fail to join channel")));
            return;
        }
        // The engine got the key as it was.
        QCOMPARE(SimRtcEngine::from(channel.engine())->snapshot().token, std::string("secret-channel-key"));
        // Joined in time or late: the own user becomes online either way.
        QTRY_VERIFY(channel.onlineUserSet().count(int(kOwnId)));
        // The joined flag stays, so a second join on the same object returns at once with success.
        channel.leaveChannel();
        QCOMPARE(channel.joinChannel("lesson-77", "", kOwnId), 0);
        QCOMPARE(traced.calls("joinChannel").size(), 2);
    }

    // The publish role applies in channel mode 1 only; a refused role changes nothing.
    void publishRole_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("roleResult");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("liveAfterListening");
        QTest::addColumn<int>("roleCalls");
        QTest::newRow("communication") << 0 << 0 << -1 << true << 0;
        QTest::newRow("game") << 2 << 0 << -1 << true << 0;
        QTest::newRow("live broadcasting") << 1 << 0 << 0 << false << 2;
        QTest::newRow("live broadcasting, role refused") << 1 << -5 << -5 << false << 1;
    }

    void publishRole()
    {
        QFETCH(int, mode);
        QFETCH(int, roleResult);
        QFETCH(int, result);
        QFETCH(bool, liveAfterListening);
        QFETCH(int, roleCalls);
        TracedScenario traced;
        if (roleResult)
            traced.scenario.results["setClientRole"] = {roleResult};
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        channel.setChannelMode(mode);
        QCOMPARE(argOf(traced.calls("setChannelProfile")[0], "profile").toInt(), mode);
        QCOMPARE(traced.callNames().mid(traced.callNames().indexOf("setChannelProfile"), 4),
                 (QStringList{"setChannelProfile", "enableAudio", "enableVideo", "queryInterface"}));

        // Modes 0 and 2 publish from the start; mode 1 only once told to.
        QCOMPARE(channel.isLocalAudioLive(), mode != 1);
        QCOMPARE(channel.setPublishRole(false), result);
        QCOMPARE(channel.isLocalAudioLive(), liveAfterListening);
        if (mode == 1 && result == 0) {
            QCOMPARE(channel.setPublishRole(true), 0);
            QVERIFY(channel.isLocalAudioLive());
            QCOMPARE(channel.muteLocalAudio(true), 0);
            QVERIFY(!channel.isLocalAudioLive());
        }
        const QList<QJsonObject> roles = traced.calls("setClientRole");
        QCOMPARE(roles.size(), roleCalls);
        if (roleCalls == 2) {
            QCOMPARE(argOf(roles[0], "role").toInt(), 2);
            QCOMPARE(argOf(roles[1], "role").toInt(), 1);
            QVERIFY(argOf(roles[1], "permissionKey").isNull());
        }
    }

    // Engine callbacks arrive as signals on the GUI thread (queued, so every argument type is registered), emitted
    // on an engine thread.
    void callbacksBecomeSignals()
    {
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        SignalLog log;
        listen(channel, log);
        std::atomic<bool> emittedOnGuiThread{false};
        connect(
            &channel, &AgoraChannel::signal_user_joined, &channel,
            [&] { emittedOnGuiThread = QThread::currentThread() == qApp->thread(); }, Qt::DirectConnection);
        joinAsOwnUser(channel);
        SimRtcEngine* sim = simEngine(channel.engine());
        QVERIFY(sim);

        sim->post(simEvent(SimEvent::UserJoined, kPupilId));
        QVERIFY(log.waitFor("signal_user_joined"));
        QVERIFY(!emittedOnGuiThread);
        QCOMPARE(log.entries("signal_user_joined")[0].args[0].toUInt(), kPupilId);
        // First frames: the own camera's and the pupil's.
        QVERIFY(log.waitFor("signal_local_video_ready"));
        QCOMPARE(log.entries("signal_local_video_ready")[0].args.mid(0, 2), (QVariantList{640, 480}));
        QVERIFY(log.waitFor("signal_remote_video_ready"));
        QCOMPARE(log.entries("signal_remote_video_ready")[0].args, (QVariantList{int(kPupilId)}));

        SimEvent offline = simEvent(SimEvent::UserOffline, kPupilId);
        offline.reason = 1;
        sim->post(offline);
        sim->post(simEvent(SimEvent::ConnectionInterrupted));
        sim->post(simEvent(SimEvent::ConnectionLost));
        sim->post(simEvent(SimEvent::Rejoin));
        SimEvent message = simEvent(SimEvent::StreamMessage, kTeacherId);
        message.data = "hello \xe9";
        sim->post(message);
        SimEvent unplug = simEvent(SimEvent::Unplug);
        unplug.kind = SimDeviceKind::Microphone;
        unplug.deviceId = "sim-microphone-0";
        sim->post(unplug);
        SimEvent camera = simEvent(SimEvent::DeviceState);
        camera.kind = SimDeviceKind::Camera;
        camera.deviceId = "usb-cam";
        camera.state = 4;
        sim->post(camera);
        SimEvent error = simEvent(SimEvent::Error);
        error.code = 17;
        sim->post(error);
        SimEvent volume = simEvent(SimEvent::AudioDeviceVolume);
        volume.deviceType = 1;
        volume.volume = 0;
        volume.muted = true;
        sim->post(volume);

        QVERIFY(log.waitFor("signal_AudioDeviceVolumeChanged"));
        QCOMPARE(log.entries("signal_user_offline")[0].args, (QVariantList{kPupilId, 1}));
        QCOMPARE(log.count("signal_network_down"), 1);
        QCOMPARE(log.count("signal_network_lost"), 1);
        QCOMPARE(log.entries("signal_network_rejoin")[0].args[0].toUInt(), kOwnId);
        QCOMPARE(log.entries("signal_recv_stream_msg")[0].args[1].toString(), QString::fromLatin1("hello \xe9"));
        const QVariantList audio = log.entries("signal_audio_device_changed")[0].args;
        QCOMPARE(audio[0].value<std::string>(), std::string("sim-microphone-0"));
        QCOMPARE(audio[1].toInt(), 1);
        QCOMPARE(audio[2].toInt(), 8);
        const QVariantList video = log.entries("signal_video_device_changed")[0].args;
        QCOMPARE(video[0].value<std::string>(), std::string("usb-cam"));
        QCOMPARE(video[2].toInt(), 4);
        const QVariantList muted = log.entries("signal_AudioDeviceVolumeChanged")[0].args;
        QCOMPARE(muted[0].value<MEDIA_DEVICE_TYPE>(), agora::rtc::AUDIO_RECORDING_DEVICE);
        QCOMPARE(muted[2].toBool(), true);
        // An error outside a join is only logged.
        QCOMPARE(log.count("signal_error"), 0);
    }

    // Errors while the join waits become signals with the engine's message, or the code in hexadecimal.
    void errorsDuringTheJoin()
    {
        TracedScenario traced;
        traced.scenario.joinSuccessDelayMs = 1500;
        SimEvent withoutMessage;
        withoutMessage.type = SimEvent::Error;
        withoutMessage.fromJoin = false;
        withoutMessage.atMs = 200;
        withoutMessage.code = 1027;
        withoutMessage.hasMessage = false;
        SimEvent withMessage = withoutMessage;
        withMessage.atMs = 400;
        withMessage.hasMessage = true;
        withMessage.message = "token expired";
        traced.scenario.events = {withoutMessage, withMessage};
        traced.use();

        AgoraChannel channel;
        SignalLog log;
        listen(channel, log);
        QCOMPARE(channel.initialize(), 0);
        channel.setChannelMode(0);
        QCOMPARE(channel.joinChannel("lesson-77", "", kOwnId), 0);
        QVERIFY(log.waitFor("signal_error", 2));
        QCOMPARE(log.entries("signal_error")[0].args[0].toInt(), 1027);
        QCOMPARE(log.entries("signal_error")[0].args[1].value<std::string>(),
                 std::string("AgoraChannel onError:0x403"));
        QCOMPARE(log.entries("signal_error")[1].args[1].value<std::string>(),
                 std::string("AgoraChannel onError:token expired"));
    }

    // The online set holds members, the teacher and the own user; unknown uids never enter it.
    void onlineUserSet()
    {
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        SignalLog log;
        listen(channel, log);
        joinAsOwnUser(channel);
        SimRtcEngine* sim = simEngine(channel.engine());
        sim->post(simEvent(SimEvent::UserJoined, kPupilId));
        sim->post(simEvent(SimEvent::UserJoined, kTeacherId));
        sim->post(simEvent(SimEvent::UserJoined, 9999));
        QVERIFY(log.waitFor("signal_user_joined", 3));
        QTRY_COMPARE(channel.onlineUserSet(), (std::set<int>{int(kPupilId), int(kTeacherId), int(kOwnId)}));

        sim->post(simEvent(SimEvent::UserOffline, kPupilId));
        QVERIFY(log.waitFor("signal_user_offline"));
        QTRY_COMPARE(channel.onlineUserSet(), (std::set<int>{int(kTeacherId), int(kOwnId)}));

        // Leaving takes the own user out (by the application's user id).
        channel.leaveChannel();
        QTRY_COMPARE(channel.onlineUserSet(), (std::set<int>{int(kTeacherId)}));
    }

    // Volume records: 8 bytes per speaker, each with its own uid and volume.
    void volumeRecords_data()
    {
        QTest::addColumn<QVector<unsigned int>>("speakers");
        QTest::addColumn<QByteArray>("records");
        QTest::newRow("three speakers") << QVector<unsigned int>{0, 10, 2002, 200, 4294967295u, 255}
                                        << QByteArray::fromHex("000000000a000000d2070000c8000000"
                                                               "ffffffffff000000");
        QTest::newRow("none") << QVector<unsigned int>{} << QByteArray();
    }

    void volumeRecords()
    {
        QFETCH(QVector<unsigned int>, speakers);
        QFETCH(QByteArray, records);
        std::vector<agora::rtc::AudioVolumeInfo> infos;
        for (int i = 0; i + 1 < speakers.size(); i += 2)
            infos.push_back({speakers[i], speakers[i + 1]});
        const QByteArray made = AgoraChannel::volumeRecords(infos.data(), unsigned(infos.size()));
        QCOMPARE(made.size(), int(infos.size()) * 8);
        QCOMPARE(made, records);
        QVERIFY(AgoraChannel::volumeRecords(nullptr, 3).isEmpty());

        // Read back, also with a partial record at the end.
        for (const QByteArray& payload : {records, records + QByteArray::fromHex("01020304")}) {
            const auto read = AgoraChannel::readVolumeRecords(payload);
            QCOMPARE(read.size(), infos.size());
            for (std::size_t i = 0; i < read.size(); ++i) {
                QCOMPARE(read[i].uid, infos[i].uid);
                QCOMPARE(read[i].volume, infos[i].volume);
            }
        }
    }

    // Statistics and volumes flow while in the channel.
    void statisticsAndVolumes()
    {
        TracedScenario traced;
        traced.scenario.statsIntervalMs = 100;
        traced.scenario.qualityIntervalMs = 100;
        traced.scenario.txQuality = 2;
        traced.scenario.rxQuality = 5;
        traced.scenario.fixedStats["cpuTotalUsage"] = 91;
        SimEvent pupil = simEvent(SimEvent::UserJoined, kPupilId);
        pupil.volume = 90;
        traced.scenario.events = {pupil};
        traced.use();
        AgoraChannel channel;
        SignalLog log;
        listen(channel, log);
        joinAsOwnUser(channel);
        channel.enableAudioVolumeIndication();

        QVERIFY(log.waitFor("signal_rtcStats"));
        const QMapStrVar stats = log.entries("signal_rtcStats")[0].args[0].value<QMapStrVar>();
        QCOMPARE(stats.keys(),
                 (QStringList{"cpuAppUsage", "cpuTotalUsage", "duration", "lastmileDelay", "rxAudioKBitRate", "rxBytes",
                              "rxKBitRate", "rxVideoKBitRate", "txAudioKBitRate", "txBytes", "txKBitRate",
                              "txVideoKBitRate", "userCount"}));
        QCOMPARE(stats.value("cpuTotalUsage").toInt(), 91);
        QVERIFY(log.waitFor("signal_network_quality"));
        QCOMPARE(log.entries("signal_network_quality")[0].args, (QVariantList{0u, 2, 5}));

        // The pupil's record carries its volume; the local user is uid 0.
        QVERIFY(log.waitFor("signal_volume_indication"));
        const auto hasPupil = [&log] {
            for (const SignalLog::Entry& entry : log.entries("signal_volume_indication")) {
                if (entry.args[0].toByteArray().contains(QByteArray::fromHex("d20700005a000000")))
                    return true;
            }
            return false;
        };
        QTRY_VERIFY(hasPupil());
        QVERIFY(log.entries("signal_volume_indication")
                    .last()
                    .args[0]
                    .toByteArray()
                    .startsWith(QByteArray::fromHex("00000000")));

        agora::rtc::RtcStats raw;
        raw.cpuAppUsage = 12.9;
        raw.userCount = 3;
        QCOMPARE(AgoraChannel::rtcStatsToMap(raw).value("cpuAppUsage").toInt(), 12);
        QCOMPARE(AgoraChannel::rtcStatsToMap(raw).value("userCount").toInt(), 3);
    }

    // Window handles reach the engine's canvases whole (pointer-sized), with the uid and render mode.
    void canvasesCarryWholeHandles()
    {
        TracedScenario traced;
        traced.use();
        ZmTest::LogCapture capture;
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        const WId local = WId(0x1234567890ull);
        const WId remote = WId(0xfffffffe00000001ull);
        QCOMPARE(channel.set_local_preview(local, kOwnId), 0);
        QCOMPARE(channel.setupRemoteVideo(remote, kTeacherId, 2), 0);
        const QJsonObject localCanvas = traced.calls("setupLocalVideo")[0]["args"].toObject();
        QCOMPARE(localCanvas["view"].toString(), QString::number(local));
        QCOMPARE(localCanvas["uid"].toInt(), int(kOwnId));
        QCOMPARE(localCanvas["renderMode"].toInt(), 1);
        const QJsonObject remoteCanvas = traced.calls("setupRemoteVideo")[0]["args"].toObject();
        QCOMPARE(remoteCanvas["view"].toString(), QString::number(remote));
        QCOMPARE(remoteCanvas["renderMode"].toInt(), 2);
        QVERIFY(capture.text().contains(QStringLiteral("[logWndInfo] for-> set_local_preview")));
        QVERIFY(capture.text().contains(QStringLiteral("[logWndInfo] Fail to GetWindowRect hwnd=%1").arg(local)));
        QVERIFY(capture.text().contains(QStringLiteral("[set_local_preview] = 0")));
    }

    // Uninitialising detaches the frame observer (no frame after it), leaves and releases; a second time only
    // leaves, which without an engine is nothing.
    void uninitializeDetachesAndReleases()
    {
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        joinAsOwnUser(channel);
        CountingObserver observer;
        void* media = nullptr;
        QCOMPARE(channel.engine()->queryInterface(agora::rtc::AGORA_IID_MEDIA_ENGINE, &media), 0);
        static_cast<agora::media::IMediaEngine*>(media)->registerVideoFrameObserver(&observer);
        static_cast<agora::media::IMediaEngine*>(media)->release();
        QTRY_VERIFY(observer.frames > 0);

        ZmTest::LogCapture capture;
        channel.uninitialize();
        QVERIFY(!channel.engine());
        const int frames = observer.frames;
        const QStringList names = traced.callNames();
        const int detach = names.lastIndexOf("registerVideoFrameObserver");
        QCOMPARE(names.mid(detach),
                 (QStringList{"registerVideoFrameObserver", "IMediaEngine.release", "leaveChannel", "release"}));
        QVERIFY(argOf(traced.calls("registerVideoFrameObserver").last(), "observer").isNull());
        QCOMPARE(capture.lines().filter("releaseEngine"),
                 (QStringList{"AgoraChannel::uninitialize releaseEngine begin.",
                              "AgoraChannel::uninitialize releaseEngine finished."}));
        QTest::qWait(200);
        QCOMPARE(int(observer.frames), frames);

        channel.uninitialize();
        QCOMPARE(traced.callNames(), names);
        QCOMPARE(capture.lines().filter("releaseEngine").size(), 2);
    }

    // A second initialisation does not leave the first engine behind.
    void reinitializeReleasesTheFirstEngine()
    {
        TracedScenario traced;
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        QCOMPARE(channel.initialize(), 0);
        QCOMPARE(traced.calls("createAgoraRtcEngine").size(), 2);
        QCOMPARE(traced.calls("release").size(), 1);
        QCOMPARE(traced.calls("release")[0]["engine"].toInt(),
                 traced.calls("createAgoraRtcEngine")[0]["engine"].toInt());
    }
};

ZM_TEST_MAIN(TestAgoraChannel)
#include "tst_agorachannel.moc"
