// The simulated engine itself: its scenario files, its default set-up, frames on its video thread, the observer
// rule, painting into native windows, callbacks on its own threads, and its release.
#include "live/rtc/sim/SimRtcEngine.h"

#include "live/rtc/engine/IRtcEngineParameter.h"
#include "live/rtc/sim/FrameToBgrx.h"
#include "live/rtc/sim/SimEngineSetup.h"
#include "live/rtc/sim/SimTestPattern.h"

#include "RtcTestSupport.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSemaphore>
#include <QWidget>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

using namespace agora::rtc;
using namespace RtcTest;
using VideoFrame = agora::media::IVideoFrameObserver::VideoFrame;

namespace {

constexpr char kAppId[] = "9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b";

// What a frame looked like when it arrived.
struct SeenFrame
{
    bool capture = false;
    unsigned int uid = 0;
    int width = 0;
    int height = 0;
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
    std::ptrdiff_t uOffset = 0; // from the Y plane
    std::ptrdiff_t vOffset = 0;
    std::thread::id thread;
    quint32 checksum = 0;
};

class RecordingObserver : public agora::media::IVideoFrameObserver
{
public:
    bool onCaptureVideoFrame(VideoFrame& frame) override { return seen(true, 0, frame); }
    bool onRenderVideoFrame(unsigned int uid, VideoFrame& frame) override { return seen(false, uid, frame); }

    std::vector<SeenFrame> frames() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return list;
    }

    // A frame callback that blocks until released, to see who waits for it.
    QSemaphore entered;
    QSemaphore release;
    std::atomic<bool> blockNext{false};
    std::atomic<bool> callbackReturned{false};

private:
    bool seen(bool capture, unsigned int uid, VideoFrame& frame)
    {
        SeenFrame made;
        made.capture = capture;
        made.uid = uid;
        made.width = frame.width;
        made.height = frame.height;
        made.yStride = frame.yStride;
        made.uStride = frame.uStride;
        made.vStride = frame.vStride;
        made.uOffset = static_cast<std::uint8_t*>(frame.uBuffer) - static_cast<std::uint8_t*>(frame.yBuffer);
        made.vOffset = static_cast<std::uint8_t*>(frame.vBuffer) - static_cast<std::uint8_t*>(frame.yBuffer);
        made.thread = std::this_thread::get_id();
        for (int row = 0; row < frame.height; ++row) {
            const auto* line = static_cast<const std::uint8_t*>(frame.yBuffer) + std::size_t(row) * frame.yStride;
            for (int column = 0; column < frame.width; ++column)
                made.checksum = made.checksum * 31 + line[column];
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            list.push_back(made);
        }
        if (blockNext.exchange(false)) {
            entered.release();
            release.acquire();
            callbackReturned = true;
        }
        return true;
    }

    mutable std::mutex mutex;
    std::vector<SeenFrame> list;
};

// Counts callbacks and notes their threads.
class CountingHandler : public IRtcEngineEventHandler
{
public:
    void onJoinChannelSuccess(const char*, uid_t, int) override { note(); }
    void onAudioVolumeIndication(const AudioVolumeInfo*, unsigned int, int) override { note(); }
    void onUserJoined(uid_t, int) override { note(); }

    std::atomic<int> calls{0};
    std::mutex mutex;
    std::set<std::thread::id> threads;

private:
    void note()
    {
        ++calls;
        std::lock_guard<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
    }
};

// Counts the first local frames the engine reports.
class FirstLocalFrames : public IRtcEngineEventHandler
{
public:
    void onFirstLocalVideoFrame(int, int, int) override { ++count; }
    std::atomic<int> count{0};
};

// An initialised engine that releases itself at the end of the scope.
struct Engine
{
    explicit Engine(IRtcEngineEventHandler* handler = nullptr)
        : engine(createAgoraRtcEngine())
    {
        RtcEngineContext context;
        context.eventHandler = handler;
        context.appId = kAppId;
        result = engine->initialize(context);
    }
    ~Engine()
    {
        if (engine)
            engine->release(true);
    }
    agora::media::IMediaEngine* media()
    {
        void* interface = nullptr;
        engine->queryInterface(AGORA_IID_MEDIA_ENGINE, &interface);
        return static_cast<agora::media::IMediaEngine*>(interface);
    }
    // The engine's parameter interface, for the caller to release; null when the engine gives none.
    IRtcEngineParameter* parameters()
    {
        void* interface = nullptr;
        if (engine->queryInterface(AGORA_IID_RTC_ENGINE_PARAMETER, &interface) != 0)
            return nullptr;
        return static_cast<IRtcEngineParameter*>(interface);
    }
    IRtcEngine* engine;
    int result = 0;
};

// A shown native window with a black background.
std::unique_ptr<QWidget> nativeWindow(const QRect& geometry)
{
    auto widget = std::make_unique<QWidget>();
    widget->setWindowFlags(Qt::FramelessWindowHint);
    widget->setAttribute(Qt::WA_NativeWindow);
    widget->setAttribute(Qt::WA_PaintOnScreen);
    widget->setAttribute(Qt::WA_NoSystemBackground);
    widget->setStyleSheet(QStringLiteral("background: black"));
    widget->setGeometry(geometry);
    widget->show();
    return widget;
}

} // namespace

class TestSimEngine : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SimEngineSetup::resetScenario(); }

    // Scenario files: what they set, what they refuse (naming the member) and what they clamp.
    void readsScenarios()
    {
        SimScenario scenario;
        QString error;
        const QByteArray full = R"({
            "trace": "/tmp/rtc.jsonl",
            "results": {"initialize": [-1, 0], "setBool:che.video.monitorClient": [-2]},
            "interfaces": {"parameter": false, "mediaEngine": true},
            "join": {"successDelayMs": 4000, "succeeds": true},
            "release": {"delayMs": 6000},
            "video": {"fps": 1000, "captureWidth": 321, "captureHeight": 241, "stridePadding": 64},
            "stats": {"intervalMs": 500, "fixed": {"txKBitRate": 0}},
            "networkQuality": {"tx": 5, "rx": 9},
            "devices": {"source": "simulated", "cameras": [], "microphones": [{"name": "Mic", "id": "m", "level": 3}],
                        "playbackVolume": 400},
            "users": [{"uid": 3003, "joinMs": 1000, "leaveMs": 9000, "leaveReason": 1, "width": 33, "height": 17}],
            "events": [{"type": "error", "atMs": -5, "code": 17, "message": null},
                       {"type": "unplug", "kind": "speaker", "id": "sim-speaker-0"},
                       {"type": "userJoined", "uid": 5e10}]
        })";
        QVERIFY2(SimScenario::fromJson(full, scenario, &error), qPrintable(error));
        QCOMPARE(scenario.tracePath, QStringLiteral("/tmp/rtc.jsonl"));
        QCOMPARE(scenario.results["initialize"], (std::vector<int>{-1, 0}));
        QVERIFY(!scenario.parameterInterface);
        QCOMPARE(scenario.joinSuccessDelayMs, 4000);
        QCOMPARE(scenario.releaseDelayMs, 6000);
        QCOMPARE(scenario.fps, 60);
        QCOMPARE(scenario.captureWidth, 321);
        QCOMPARE(scenario.stridePadding, 64);
        QCOMPARE(scenario.fixedStats["txKBitRate"], 0);
        QCOMPARE(scenario.rxQuality, 6);
        QCOMPARE(scenario.deviceSource, SimScenario::DeviceSource::Simulated);
        QVERIFY(scenario.cameras.empty());
        QCOMPARE(scenario.microphones.size(), std::size_t(1));
        QCOMPARE(scenario.microphones[0].level, 3);
        QCOMPARE(scenario.speakers.size(), std::size_t(1)); // absent: the default speaker
        QCOMPARE(scenario.playbackVolume, 255);
        QCOMPARE(scenario.events.size(), std::size_t(5));
        QCOMPARE(scenario.events[0].type, SimEvent::UserJoined);
        QCOMPARE(scenario.events[0].width, 33);
        QCOMPARE(scenario.events[1].type, SimEvent::UserOffline);
        QCOMPARE(scenario.events[1].atMs, 9000);
        QCOMPARE(scenario.events[1].reason, 1);
        QCOMPARE(scenario.events[2].atMs, 0);
        QVERIFY(!scenario.events[2].hasMessage);
        QVERIFY(scenario.events[2].fromJoin);
        QVERIFY(!scenario.events[3].fromJoin); // device events count from initialisation
        QCOMPARE(scenario.events[3].kind, SimDeviceKind::Speaker);
        QCOMPARE(scenario.events[4].uid, 4294967295u);
    }

    void refusesBadScenarios_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("not JSON") << QByteArray("{\"join\": ") << "not JSON";
        QTest::newRow("not an object") << QByteArray("[1, 2]") << "not a JSON object";
        QTest::newRow("wrong type") << QByteArray(R"({"join": {"successDelayMs": "soon"}})")
                                    << "join.successDelayMs: a number expected";
        QTest::newRow("unknown event") << QByteArray(R"({"events": [{"type": "earthquake"}]})")
                                       << "events[0].type: a known event type expected";
        QTest::newRow("bad device kind") << QByteArray(R"({"events": [{"type": "plug", "kind": "printer"}]})")
                                         << "events[0].kind: \"camera\", \"microphone\" or \"speaker\" expected";
        QTest::newRow("device not an object")
            << QByteArray(R"({"devices": {"cameras": ["cam"]}})") << "devices.cameras[0]: an object expected";
        QTest::newRow("results not numbers") << QByteArray(R"({"results": {"joinChannel": ["no"]}})")
                                             << "results.joinChannel: a list of numbers expected";
        QTest::newRow("bad source") << QByteArray(R"({"devices": {"source": "usb"}})")
                                    << "devices.source: \"simulated\" or \"real\" expected";
        QTest::newRow("second user's uid")
            << QByteArray(R"({"users": [{"uid": 5}, {"uid": "x"}]})") << "users[1].uid: a number expected";
        QTest::newRow("event not an object")
            << QByteArray(R"({"events": [{"type": "rejoin"}, 3]})") << "events[1]: an object expected";
        QTest::newRow("users not a list") << QByteArray(R"({"users": {"uid": 5}})") << "users: a list expected";
    }

    void refusesBadScenarios()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        SimScenario scenario = SimScenario::defaults();
        scenario.fps = 7;
        QString message;
        QVERIFY(!SimScenario::fromJson(json, scenario, &message));
        QVERIFY2(message.startsWith(error), qPrintable(message));
        QCOMPARE(scenario.fps, 7); // untouched
    }

    // The engine scenarios shipped for the class runs a person watches load, each with something happening.
    void shippedScenariosLoad()
    {
        const QDir folder(ZmTest::sourceDir() + QStringLiteral("/tests/sim/scenarios/rtc"));
        const QStringList files = folder.entryList({QStringLiteral("*.json")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& file : files) {
            SimScenario scenario;
            QString error;
            QVERIFY2(SimScenario::fromFile(folder.filePath(file), scenario, &error), qPrintable(file + ": " + error));
            QVERIFY2(!scenario.events.empty(), qPrintable(file));
        }
    }

    // With no scenario anywhere, an engine offers one device of each kind and joins at once; a scenario file named
    // by the environment is used, a broken one is not.
    void defaultsAndTheEnvironment()
    {
        qunsetenv("ZM_RTC_SCENARIO");
        SimEngineSetup::resetScenario();
        const SimScenario plain = SimEngineSetup::currentScenario();
        QCOMPARE(plain.cameras.size(), std::size_t(1));
        QCOMPARE(plain.microphones.size(), std::size_t(1));
        QCOMPARE(plain.speakers.size(), std::size_t(1));
        QCOMPARE(plain.joinSuccessDelayMs, 0);
        QVERIFY(plain.joinSucceeds);

        QTemporaryDir dir;
        const QString path = dir.filePath("scenario.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"join": {"successDelayMs": 1234}})");
        file.close();
        qputenv("ZM_RTC_SCENARIO", QFile::encodeName(path));
        SimEngineSetup::resetScenario();
        QCOMPARE(SimEngineSetup::currentScenario().joinSuccessDelayMs, 1234);

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{broken");
        file.close();
        SimEngineSetup::resetScenario();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("the RTC scenario of ZM_RTC_SCENARIO is not used"));
        QCOMPARE(SimEngineSetup::currentScenario().joinSuccessDelayMs, 0);
        QVERIFY(!SimEngineSetup::loadScenarioFile(path));
        qunsetenv("ZM_RTC_SCENARIO");
    }

    // Capture frames for the own camera and render frames per remote user, on the video thread, as I420 with the
    // strides the scenario asks for (odd sizes and padding included), moving from frame to frame.
    void framesReachTheObserver_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("yStride");
        QTest::addColumn<int>("uStride");
        QTest::newRow("640 x 480") << 640 << 480 << 0 << 640 << 320;
        QTest::newRow("odd 321 x 241") << 321 << 241 << 0 << 336 << 176;
        QTest::newRow("padded 640 x 480") << 640 << 480 << 64 << 704 << 352;
    }

    void framesReachTheObserver()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, padding);
        QFETCH(int, yStride);
        QFETCH(int, uStride);
        TracedScenario traced;
        traced.scenario.captureWidth = width;
        traced.scenario.captureHeight = height;
        traced.scenario.stridePadding = padding;
        SimEvent remote;
        remote.type = SimEvent::UserJoined;
        remote.uid = 3003;
        remote.width = 161;
        remote.height = 91;
        traced.scenario.events = {remote};
        traced.use();

        CountingHandler handler;
        Engine rtc(&handler);
        QCOMPARE(rtc.result, 0);
        RecordingObserver observer;
        QCOMPARE(rtc.media()->registerVideoFrameObserver(&observer), 0);
        rtc.engine->enableVideo();
        QCOMPARE(rtc.engine->joinChannel("", "lesson", nullptr, 5001), 0);

        const auto enough = [&observer] {
            int capture = 0;
            int render = 0;
            for (const SeenFrame& frame : observer.frames())
                (frame.capture ? capture : render) += 1;
            return capture >= 3 && render >= 3;
        };
        QTRY_VERIFY(enough());
        rtc.media()->registerVideoFrameObserver(nullptr);

        std::set<std::thread::id> threads;
        std::set<quint32> captureChecksums;
        for (const SeenFrame& frame : observer.frames()) {
            threads.insert(frame.thread);
            if (frame.capture) {
                QCOMPARE(frame.width, width);
                QCOMPARE(frame.height, height);
                QCOMPARE(frame.yStride, yStride);
                QCOMPARE(frame.uStride, uStride);
                QCOMPARE(frame.vStride, uStride);
                QCOMPARE(frame.uOffset, std::ptrdiff_t(yStride) * height);
                QCOMPARE(frame.vOffset, frame.uOffset + std::ptrdiff_t(uStride) * ((height + 1) / 2));
                captureChecksums.insert(frame.checksum);
            } else {
                QCOMPARE(frame.uid, 3003u);
                QCOMPARE(frame.width, 161);
                QCOMPARE(frame.height, 91);
            }
        }
        QCOMPARE(threads.size(), std::size_t(1));
        QVERIFY(*threads.begin() != std::this_thread::get_id());
        QVERIFY(captureChecksums.size() > 1); // the picture moves
        std::lock_guard<std::mutex> lock(handler.mutex);
        QVERIFY(!handler.threads.count(std::this_thread::get_id()));
        QVERIFY(!handler.threads.count(*threads.begin())); // callbacks and frames run on different threads
    }

    // Detaching the observer returns only after a frame callback that is running has returned; inside a frame
    // callback it does not wait for itself.
    void detachingWaitsForARunningCallback()
    {
        TracedScenario traced;
        traced.use();
        Engine rtc;
        RecordingObserver observer;
        rtc.media()->registerVideoFrameObserver(&observer);
        rtc.engine->enableVideo();
        rtc.engine->startPreview();
        observer.blockNext = true;
        QVERIFY(observer.entered.tryAcquire(1, ZmTest::kWaitMs));

        std::atomic<bool> returnedAfterCallback{false};
        std::thread detacher([&] {
            rtc.media()->registerVideoFrameObserver(nullptr);
            returnedAfterCallback = observer.callbackReturned.load();
        });
        QTest::qWait(100); // the detacher is waiting by now
        observer.release.release();
        detacher.join();
        QVERIFY(returnedAfterCallback);
        const std::size_t frames = observer.frames().size();
        QTest::qWait(200);
        QCOMPARE(observer.frames().size(), frames);

        // An observer that detaches itself from its own callback.
        struct SelfDetaching : agora::media::IVideoFrameObserver
        {
            agora::media::IMediaEngine* media = nullptr;
            std::atomic<int> frames{0};
            bool onCaptureVideoFrame(VideoFrame&) override
            {
                ++frames;
                media->registerVideoFrameObserver(nullptr);
                return true;
            }
            bool onRenderVideoFrame(unsigned int, VideoFrame&) override { return true; }
        } selfDetaching;
        selfDetaching.media = rtc.media();
        rtc.media()->registerVideoFrameObserver(&selfDetaching);
        QTRY_COMPARE(int(selfDetaching.frames), 1);
    }

    // Bound windows show the moving pictures: the local preview and a remote user; a window that goes away is
    // left alone.
    void paintsIntoNativeWindows()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display");
        TracedScenario traced;
        SimEvent remote;
        remote.type = SimEvent::UserJoined;
        remote.uid = 3003;
        traced.scenario.events = {remote};
        traced.use();
        auto local = nativeWindow(QRect(40, 40, 320, 240));
        auto remoteView = nativeWindow(QRect(400, 40, 200, 200));
        QVERIFY(QTest::qWaitForWindowExposed(local.get(), ZmTest::kWaitMs));
        QVERIFY(QTest::qWaitForWindowExposed(remoteView.get(), ZmTest::kWaitMs));

        Engine rtc;
        rtc.engine->enableVideo();
        VideoCanvas canvas;
        canvas.view = view_t(local->winId());
        canvas.renderMode = RENDER_MODE_HIDDEN;
        QCOMPARE(rtc.engine->setupLocalVideo(canvas), 0);
        canvas.view = view_t(remoteView->winId());
        canvas.renderMode = RENDER_MODE_FIT;
        canvas.uid = 3003;
        QCOMPARE(rtc.engine->setupRemoteVideo(canvas), 0);
        QCOMPARE(rtc.engine->joinChannel("", "lesson", nullptr, 5001), 0);

        QTRY_VERIFY(ZmTest::distinctColours(ZmTest::grabScreen(*local)) > 4);
        QTRY_VERIFY(ZmTest::distinctColours(ZmTest::grabScreen(*remoteView)) > 4);
        const QImage first = ZmTest::grabScreen(*local);
        QTRY_VERIFY(ZmTest::grabScreen(*local) != first);

        // The window goes; the engine goes on without it.
        remoteView.reset();
        QTest::qWait(300);
        QVERIFY(simEngine(rtc.engine)->snapshot().capturing);
    }

    // Scaling into a window: fit keeps the whole picture between black bars, hidden fills and crops, mirror flips.
    void scalesFramesIntoWindows()
    {
        I420Frame frame;
        frame.allocate(4, 2, 1, 0);
        // Left half dark, right half bright, neutral colour.
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 4; ++column)
                frame.y()[row * frame.yStride + column] = column < 2 ? 16 : 235;
        }
        std::fill(frame.u(), frame.u() + frame.uStride, 128);
        std::fill(frame.v(), frame.v() + frame.vStride, 128);

        const auto render = [&frame](int width, int height, int mode, bool mirror) {
            QImage image(width, height, QImage::Format_RGB32);
            scaleI420ToBgrx(frame, width, height, mode, mirror, false, image.bits(), image.bytesPerLine());
            return image;
        };
        const QImage fit = render(8, 2, 2, false);
        QCOMPARE(qGray(fit.pixel(0, 0)), 0);   // bar
        QCOMPARE(qGray(fit.pixel(2, 0)), 0);   // dark half
        QCOMPARE(qGray(fit.pixel(5, 0)), 255); // bright half
        QCOMPARE(qGray(fit.pixel(7, 0)), 0);   // bar
        const QImage hidden = render(2, 2, 1, false);
        QCOMPARE(qGray(hidden.pixel(0, 1)), 0); // the middle of the frame, cropped to the window
        QCOMPARE(qGray(hidden.pixel(1, 1)), 255);
        const QImage mirrored = render(4, 2, 1, true);
        QCOMPARE(qGray(mirrored.pixel(0, 0)), 255);
        QCOMPARE(qGray(mirrored.pixel(3, 0)), 0);
    }

    // Each start of the capture is followed by a first local frame, also when the capture stops and starts again
    // at once (between two frames): a leave and a new join, video off and on, the local capture off and on.
    void firstLocalFrameAtEachCaptureStart_data()
    {
        QTest::addColumn<QString>("restart");
        QTest::newRow("leave and join") << "join";
        QTest::newRow("video off and on") << "video";
        QTest::newRow("local capture off and on") << "capture";
    }

    void firstLocalFrameAtEachCaptureStart()
    {
        QFETCH(QString, restart);
        SimEngineSetup::setScenario(SimScenario::defaults());
        FirstLocalFrames frames;
        Engine rtc(&frames);
        QCOMPARE(rtc.result, 0);
        IRtcEngineParameter* parameters = rtc.parameters();
        QVERIFY(parameters);
        rtc.engine->enableVideo();
        QCOMPARE(rtc.engine->joinChannel(nullptr, "lesson", nullptr, 7), 0);
        QTRY_COMPARE(int(frames.count), 1);
        for (int round = 2; round <= 3; ++round) {
            if (restart == "join") {
                QCOMPARE(rtc.engine->leaveChannel(), 0);
                QCOMPARE(rtc.engine->joinChannel(nullptr, "lesson", nullptr, 7), 0);
            } else if (restart == "video") {
                QCOMPARE(rtc.engine->disableVideo(), 0);
                QCOMPARE(rtc.engine->enableVideo(), 0);
            } else {
                QCOMPARE(parameters->setBool("che.video.local.capture", false), 0);
                QCOMPARE(parameters->setBool("che.video.local.capture", true), 0);
            }
            QTRY_COMPARE(int(frames.count), round);
        }
        parameters->release();
    }

    // Callbacks run on the engine's thread; none runs once release has returned; a sync release waits for the
    // engine's tear-down (a slow one here).
    void releaseEndsCallbacks()
    {
        TracedScenario traced;
        traced.scenario.releaseDelayMs = 300;
        traced.use();
        CountingHandler handler;
        IRtcEngine* engine = createAgoraRtcEngine();
        RtcEngineContext context;
        context.eventHandler = &handler;
        context.appId = kAppId;
        QCOMPARE(engine->initialize(context), 0);
        void* parameter = nullptr;
        QCOMPARE(engine->queryInterface(AGORA_IID_RTC_ENGINE_PARAMETER, &parameter), 0);
        auto* parameters = static_cast<IRtcEngineParameter*>(parameter);
        QCOMPARE(parameters->setObject("che.audio.volume_indication", "{\"interval\":10,\"smooth\":3}"), 0);
        QCOMPARE(parameters->setObject("che.audio.volume_indication", "{\"interval\":"), -2);
        parameters->release();
        engine->enableAudio();
        QCOMPARE(engine->joinChannel(nullptr, "lesson", nullptr, 0), 0);
        QTRY_VERIFY(handler.calls > 5);
        {
            std::lock_guard<std::mutex> lock(handler.mutex);
            QCOMPARE(handler.threads.size(), std::size_t(1));
            QVERIFY(!handler.threads.count(std::this_thread::get_id()));
        }

        QElapsedTimer timer;
        timer.start();
        engine->release(true);
        QVERIFY(timer.elapsed() >= 300);
        const int calls = handler.calls;
        QTest::qWait(100);
        QCOMPARE(int(handler.calls), calls);
    }

    // The engine log goes where "rtc.log_file" points, as long as the filter lets it.
    void engineLogFollowsItsParameters()
    {
        TracedScenario traced;
        traced.use();
        Engine rtc;
        IRtcEngineParameter* parameters = rtc.parameters();
        QVERIFY(parameters);
        const QString path = traced.filePath("agorasdk.log");
        QCOMPARE(parameters->setString("rtc.log_file", path.toUtf8().constData()), 0);
        rtc.engine->joinChannel(nullptr, "first-lesson", nullptr, 7);
        parameters->setInt("rtc.log_filter", 0);
        rtc.engine->leaveChannel();
        rtc.engine->joinChannel(nullptr, "second-lesson", nullptr, 7);
        parameters->release();
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("joining channel first-lesson as 7"));
        QVERIFY(!text.contains("second-lesson"));
    }
};

ZM_TEST_MAIN(TestSimEngine)
#include "tst_simengine.moc"
