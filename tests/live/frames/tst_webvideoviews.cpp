// The small class room's page video views: which element shows which user, frames of the simulated engine's video
// thread written into the views' shared sections and read back by another process (packed whatever their strides),
// sections shared, kept while hidden, reopened when shown again and unlinked when the views are cleared, and an
// observer detached while frames flow.
#include "live/frames/AgoraVideoFrameObserver.h"
#include "live/frames/WebVideoViewHelper.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/FrameObserverRegistration.h"
#include "live/rtc/sim/I420Frame.h"
#include "live/rtc/sim/SimRtcEngine.h"
#include "live/rtc/sim/SimTestPattern.h"
#include "shared/CShareFrameReader.h"
#include "shared/ShareFrameLayout.h"
#include "shared/ShareNames.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "ShareFrameChild.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace RtcTest;
using VideoFrame = agora::media::IVideoFrameObserver::VideoFrame;

namespace {

constexpr unsigned int kOwnId = 5001;
constexpr unsigned int kRemoteId = 3003;

// The bytes of a frame as the section holds them: rows without padding, Y then U then V.
std::vector<uint8_t> packed(const VideoFrame& frame)
{
    std::vector<uint8_t> out;
    const auto addPlane = [&out](const void* plane, int stride, int width, int rows) {
        for (int row = 0; row < rows; ++row) {
            const auto* line = static_cast<const uint8_t*>(plane) + std::size_t(row) * stride;
            out.insert(out.end(), line, line + width);
        }
    };
    const int chromaWidth = (frame.width + 1) / 2;
    const int chromaRows = (frame.height + 1) / 2;
    addPlane(frame.yBuffer, frame.yStride, frame.width, frame.height);
    addPlane(frame.uBuffer, frame.uStride, chromaWidth, chromaRows);
    addPlane(frame.vBuffer, frame.vStride, chromaWidth, chromaRows);
    return out;
}

uint32_t blackChecksum(int width, int height)
{
    std::vector<uint8_t> black(std::size_t(width) * height, 16);
    black.resize(packedYuv420Bytes(uint32_t(width), uint32_t(height)), 128);
    return shareFrameChecksum(black.data(), black.size());
}

// Passes the engine's frames on to the observer under test and notes, per user, the checksum of each frame as the
// section should hold it.
class NotingObserver : public agora::media::IVideoFrameObserver
{
public:
    explicit NotingObserver(AgoraVideoFrameObserver* next)
        : m_next(next)
    {
    }

    bool onCaptureVideoFrame(VideoFrame& frame) override
    {
        note(m_next->ownUid(), frame);
        return m_next->onCaptureVideoFrame(frame);
    }
    bool onRenderVideoFrame(unsigned int uid, VideoFrame& frame) override
    {
        note(uid, frame);
        return m_next->onRenderVideoFrame(uid, frame);
    }

    bool sent(unsigned int uid, uint32_t checksum) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto user = m_checksums.find(uid);
        return user != m_checksums.end() && user->second.count(checksum) > 0;
    }
    int frames(unsigned int uid) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto user = m_frames.find(uid);
        return user == m_frames.end() ? 0 : user->second;
    }

private:
    void note(unsigned int uid, const VideoFrame& frame)
    {
        const std::vector<uint8_t> bytes = packed(frame);
        const uint32_t checksum = shareFrameChecksum(bytes.data(), bytes.size());
        std::lock_guard<std::mutex> lock(m_mutex);
        m_checksums[uid].insert(checksum);
        ++m_frames[uid];
    }

    AgoraVideoFrameObserver* m_next;
    mutable std::mutex m_mutex;
    std::map<unsigned int, std::set<uint32_t>> m_checksums;
    std::map<unsigned int, int> m_frames;
};

// A line of share_frame_child's "read": "frame <version> <width> <height> <format> <pixelBytes> <checksum>".
struct ChildFrame
{
    uint32_t version = 0;
    int width = 0;
    int height = 0;
    uint32_t format = 0;
    uint32_t pixelBytes = 0;
    uint32_t checksum = 0;

    static std::optional<ChildFrame> parse(const QString& line)
    {
        const QStringList fields = line.split(' ');
        if (fields.size() != 7 || fields[0] != QLatin1String("frame"))
            return std::nullopt;
        ChildFrame frame;
        frame.version = fields[1].toUInt();
        frame.width = fields[2].toInt();
        frame.height = fields[3].toInt();
        frame.format = fields[4].toUInt();
        frame.pixelBytes = fields[5].toUInt();
        frame.checksum = fields[6].toUInt();
        return frame;
    }
};

// The header of a section as a reader finds it now; nothing when the section does not exist or holds no frame.
std::optional<ShareFrameHeader> sectionHeader(const QString& sectionName)
{
    auto reader = CShareFrameReader::create(sectionName.toStdString().c_str());
    if (!reader)
        return std::nullopt;
    const ShareFrame* frame = reader->lock(1000, false);
    if (!frame)
        return std::nullopt;
    const ShareFrameHeader copy = frame->header;
    reader->unlock();
    return copy;
}

bool sectionExists(const QString& sectionName)
{
    return bool(CShareFrameReader::create(sectionName.toStdString().c_str()));
}

// One synthetic picture handed to the helper from a thread of its own, as the engine's video thread does.
bool renderOnVideoThread(WebVideoViewHelper& helper, unsigned int uid, unsigned int frameNumber, int width = 64,
                         int height = 48)
{
    I420Frame picture;
    picture.allocate(width, height, 16, 8);
    drawTestPattern(picture, frameNumber, uid);
    VideoFrame frame = picture.view(0);
    bool written = false;
    std::thread videoThread([&] { written = helper.onWebVideoViewRender(uid, frame); });
    videoThread.join();
    return written;
}

// A joined channel of the simulated engine whose frames go through a noting observer to the observer under test.
struct FrameRoom
{
    AgoraChannel channel;
    WebVideoViewHelper helper;
    AgoraVideoFrameObserver observer{&helper};
    NotingObserver noting{&observer};

    bool start()
    {
        if (channel.initialize() != 0)
            return false;
        channel.setChannelMode(0);
        if (channel.joinChannel("lesson-frames", "key", kOwnId) != 0)
            return false;
        return attach(&noting);
    }

    bool attach(agora::media::IVideoFrameObserver* target)
    {
        return registerFrameObserver(channel.engine(), target) == 0;
    }

    ~FrameRoom() { channel.uninitialize(); } // detaches the observer before the helper goes
};

SimEvent remoteUser(unsigned int uid, int width, int height)
{
    SimEvent user;
    user.type = SimEvent::UserJoined;
    user.uid = uid;
    user.width = width;
    user.height = height;
    return user;
}

} // namespace

class TestWebVideoViews : public QObject
{
    Q_OBJECT

    int m_counter = 0;
    QString m_prefix;

    // A view id of this test alone.
    QString viewId(const QString& name) const { return m_prefix + name; }
    static QString sectionOf(const QString& id) { return QString::fromStdString(shareSectionName(id.toStdString())); }

    void useScenario(TracedScenario& traced, int captureWidth, int captureHeight, int padding,
                     const std::vector<SimEvent>& events)
    {
        traced.scenario.fps = 30;
        traced.scenario.captureWidth = captureWidth;
        traced.scenario.captureHeight = captureHeight;
        traced.scenario.stridePadding = padding;
        traced.scenario.events = events;
        traced.use();
    }

    // Checks a frame another process read from a view of these users; empty when it is sound.
    static QString fault(const ChildFrame& frame, const NotingObserver& noting, const std::set<unsigned int>& uids,
                         int width, int height)
    {
        if (frame.format != kShareFormatI420)
            return QStringLiteral("format %1").arg(frame.format);
        if (frame.pixelBytes != packedYuv420Bytes(uint32_t(frame.width), uint32_t(frame.height)))
            return QStringLiteral("%1 pixel bytes for %2 x %3")
                .arg(frame.pixelBytes)
                .arg(frame.width)
                .arg(frame.height);
        if (frame.version == 0)
            return frame.width == 640 && frame.height == 480 && frame.checksum == blackChecksum(640, 480)
                       ? QString()
                       : QStringLiteral("version 0 is not the black frame");
        if (frame.width != width || frame.height != height)
            return QStringLiteral("%1 x %2, not %3 x %4").arg(frame.width).arg(frame.height).arg(width).arg(height);
        for (unsigned int uid : uids) {
            if (noting.sent(uid, frame.checksum))
                return {};
        }
        return QStringLiteral("pixels of no frame the engine sent (version %1)").arg(frame.version);
    }

private slots:
    void initTestCase()
    {
        ConfigManager::instance();
        AppGlobalData::instance()->launch.userId = QString::number(kOwnId);
    }

    void init() { m_prefix = QStringLiteral("tv%1x%2_").arg(::getpid()).arg(++m_counter); }

    void cleanup()
    {
        AppGlobalData::instance()->launch.userId = QString::number(kOwnId);
        // Whatever a failed test left behind.
        const QString pattern =
            QString::fromStdString(shareObjectPrefix()) + QStringLiteral("RiREZadUruvoDur_%1*").arg(m_prefix);
        for (const QString& name : QDir("/dev/shm").entryList({pattern}, QDir::System | QDir::Files))
            QFile::remove(QDir("/dev/shm").filePath(name));
    }

    void ownUser_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<uint>("captureUid");
        QTest::newRow("signed in") << QString::number(kOwnId) << uint(kOwnId);
        QTest::newRow("nobody signed in") << QString() << uint(0xFFFFFFFFu);
    }

    // Camera frames go under the own user id (-1 while it is empty), remote frames under theirs; without a helper
    // frames are taken and dropped.
    void ownUser()
    {
        QFETCH(QString, userId);
        QFETCH(uint, captureUid);
        AppGlobalData::instance()->launch.userId = userId;
        WebVideoViewHelper helper;
        QSignalSpy wanted(&helper, &WebVideoViewHelper::sigWantRenderVideoView);
        AgoraVideoFrameObserver observer(&helper);
        QCOMPARE(observer.ownUid(), captureUid);
        I420Frame picture;
        picture.allocate(32, 16);
        VideoFrame frame = picture.view(0);
        QVERIFY(observer.onCaptureVideoFrame(frame));
        QVERIFY(observer.onRenderVideoFrame(kRemoteId, frame));
        QCOMPARE(wanted.size(), 2);
        QCOMPARE(wanted.at(0).at(0).toUInt(), captureUid);
        QCOMPARE(wanted.at(1).at(0).toUInt(), kRemoteId);

        AgoraVideoFrameObserver alone(nullptr);
        QVERIFY(alone.onCaptureVideoFrame(frame));
        QVERIFY(alone.onRenderVideoFrame(kRemoteId, frame));
    }

    // A user without a view is asked for on every frame; the view's first frame makes its section, black first.
    void framesNeedAView()
    {
        WebVideoViewHelper helper;
        QSignalSpy wanted(&helper, &WebVideoViewHelper::sigWantRenderVideoView);
        for (unsigned int frame = 0; frame < 3; ++frame)
            QVERIFY(!renderOnVideoThread(helper, 7, frame));
        QCOMPARE(wanted.size(), 3);
        QCOMPARE(wanted.at(2).at(0).toUInt(), 7u);

        helper.onWebVideoViewShowed(7, viewId("a"));
        QCOMPARE(helper.viewIdOf(7), viewId("a"));
        QVERIFY(helper.sectionNameOf(7).isEmpty()); // nothing made before the first frame
        QVERIFY(!sectionExists(sectionOf(viewId("a"))));
        QVERIFY(renderOnVideoThread(helper, 7, 3, 33, 17));
        QCOMPARE(helper.sectionNameOf(7), sectionOf(viewId("a")));
        QCOMPARE(helper.sectionNameOf(7), QStringLiteral("Local\\RiREZadUruvoDur_") + viewId("a"));
        const auto header = sectionHeader(helper.sectionNameOf(7));
        QVERIFY(header);
        QCOMPARE(header->capacity, uint32_t(kShareSectionSize - 64));
        QCOMPARE(header->version, 1u); // the black frame was 0
        QCOMPARE(header->width, 33u);
        QCOMPARE(header->height, 17u);
        QCOMPARE(wanted.size(), 3);
    }

    void announcements_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("wanted");
        QTest::addColumn<int>("offline");
        QTest::addColumn<int>("versionOfA");
        QTest::addColumn<int>("versionOfB");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<QString>("viewAfter");
        // Before the steps user 7 is shown in view a, which holds one frame after the black one (version 1).
        // versionOfB -1: no section b.
        QTest::newRow("same id again") << "show 7 a" << false << 0 << 2 << -1 << 0 << "a";
        QTest::newRow("another id") << "show 7 b" << false << 0 << 1 << 1 << 0 << "b";
        QTest::newRow("hidden") << "hide 7 a" << true << 0 << 1 << -1 << 0 << "";
        QTest::newRow("hidden, another id") << "hide 7 b" << false << 0 << 2 << -1 << 0 << "a";
        QTest::newRow("hidden, other case") << "hide 7 A" << false << 0 << 2 << -1 << 0 << "a";
        QTest::newRow("other user hidden") << "hide 8 a" << false << 0 << 2 << -1 << 0 << "a";
        QTest::newRow("shown again") << "hide 7 a|show 7 a" << false << 0 << 3 << -1 << 0 << "a";
        QTest::newRow("offline") << "offline 7" << true << 1 << 1 << -1 << 0 << "";
        QTest::newRow("other user offline") << "offline 8" << false << 0 << 2 << -1 << 0 << "a";
        QTest::newRow("second user in a") << "show 8 a|frame 8" << false << 0 << 4 << -1 << 0 << "a";
        QTest::newRow("refused slash") << "show 7 x/y" << false << 0 << 2 << -1 << 1 << "a";
        QTest::newRow("refused dots") << "show 7 /.." << false << 0 << 2 << -1 << 1 << "a";
        QTest::newRow("refused empty") << "show 7 !" << false << 0 << 2 << -1 << 1 << "a";
    }

    // The page's announcements and the users leaving, seen in the table, the signals and the sections: the step
    // is followed by one frame of user 7. Sections stay while the helper lives, whatever happens to the views.
    void announcements()
    {
        QFETCH(QString, steps);
        QFETCH(bool, wanted);
        QFETCH(int, offline);
        QFETCH(int, versionOfA);
        QFETCH(int, versionOfB);
        QFETCH(int, refusals);
        QFETCH(QString, viewAfter);
        ZmTest::LogCapture log;
        WebVideoViewHelper helper;
        helper.onWebVideoViewShowed(7, viewId("a"));
        QVERIFY(renderOnVideoThread(helper, 7, 1));
        QSignalSpy wantedSpy(&helper, &WebVideoViewHelper::sigWantRenderVideoView);
        QSignalSpy offlineSpy(&helper, &WebVideoViewHelper::sigWebVideoViewOffline);

        for (const QString& step : steps.split('|')) {
            const QStringList words = step.split(' ');
            const uint uid = words.value(1).toUInt();
            // "!" stands for an empty id; other ids are this test's own.
            const QString id = words.value(2) == QLatin1String("!") ? QString() : viewId(words.value(2));
            if (words[0] == QLatin1String("show"))
                helper.onWebVideoViewShowed(uid, id);
            else if (words[0] == QLatin1String("hide"))
                helper.onWebVideoViewHidden(uid, id);
            else if (words[0] == QLatin1String("offline"))
                helper.onAgoraUserOfflined(uid, 0);
            else
                QVERIFY(renderOnVideoThread(helper, uid, 2, 24, 24));
        }
        QCOMPARE(renderOnVideoThread(helper, 7, 3), !wanted);

        QCOMPARE(helper.viewIdOf(7), viewAfter.isEmpty() ? QString() : viewId(viewAfter));
        QCOMPARE(wantedSpy.size(), wanted ? 1 : 0);
        QCOMPARE(offlineSpy.size(), offline);
        if (offline)
            QCOMPARE(offlineSpy.at(0).at(0).toUInt(), 7u);
        const auto a = sectionHeader(sectionOf(viewId("a")));
        QVERIFY(a);
        QCOMPARE(int(a->version), versionOfA);
        const auto b = sectionHeader(sectionOf(viewId("b")));
        QCOMPARE(b ? int(b->version) : -1, versionOfB);
        QCOMPARE(log.linesContaining("refused view id").size(), refusals);
    }

    void framesFromTheEngine_data()
    {
        QTest::addColumn<int>("captureWidth");
        QTest::addColumn<int>("captureHeight");
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("remoteWidth");
        QTest::addColumn<int>("remoteHeight");
        QTest::newRow("tight strides") << 640 << 480 << 0 << 320 << 240;
        QTest::newRow("padded strides") << 640 << 480 << 64 << 640 << 480;
        QTest::newRow("odd sizes") << 321 << 241 << 6 << 161 << 91;
    }

    // The camera's and a remote user's frames, as the engine's video thread delivers them, arrive packed in the
    // views' sections in another process.
    void framesFromTheEngine()
    {
        QFETCH(int, captureWidth);
        QFETCH(int, captureHeight);
        QFETCH(int, padding);
        QFETCH(int, remoteWidth);
        QFETCH(int, remoteHeight);
        TracedScenario traced;
        useScenario(traced, captureWidth, captureHeight, padding, {remoteUser(kRemoteId, remoteWidth, remoteHeight)});
        FrameRoom room;
        room.helper.onWebVideoViewShowed(kOwnId, viewId("own"));
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("remote"));
        QVERIFY(room.start());

        ShareFrameChild own({"read", sectionOf(viewId("own")), "4", "60000"});
        ShareFrameChild remote({"read", sectionOf(viewId("remote")), "4", "60000"});
        QCOMPARE(own.nextLine(), QStringLiteral("ready"));
        QCOMPARE(remote.nextLine(), QStringLiteral("ready"));
        struct Reading
        {
            ShareFrameChild* child;
            unsigned int uid;
            int width;
            int height;
        };
        for (const Reading& reading : {Reading{&own, kOwnId, captureWidth, captureHeight},
                                       Reading{&remote, kRemoteId, remoteWidth, remoteHeight}}) {
            int64_t lastVersion = -1;
            for (int i = 0; i < 4; ++i) {
                const QString line = reading.child->nextLine();
                const auto frame = ChildFrame::parse(line);
                QVERIFY2(frame, qPrintable(line));
                const QString problem = fault(*frame, room.noting, {reading.uid}, reading.width, reading.height);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
                QVERIFY(int64_t(frame->version) > lastVersion);
                lastVersion = frame->version;
            }
            QCOMPARE(reading.child->finish(), 0);
        }
    }

    // A remote picture larger than the section is skipped: the section keeps its black frame and version.
    void oversizedFramesSkipped()
    {
        ZmTest::LogCapture log;
        TracedScenario traced;
        useScenario(traced, 640, 480, 0, {remoteUser(kRemoteId, 1280, 720)});
        FrameRoom room;
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("big"));
        QVERIFY(room.start());
        QTRY_VERIFY(room.noting.frames(kRemoteId) >= 5);
        const auto header = sectionHeader(sectionOf(viewId("big")));
        QVERIFY(header);
        QCOMPARE(header->version, 0u);
        QCOMPARE(header->width, 640u);
        QCOMPARE(header->height, 480u);
        QCOMPARE(log.linesContaining("cannot hold them").size(), 1);
        QVERIFY(log.linesContaining("cannot hold them").first().contains("1280 x 720"));
    }

    // Two users shown in one element write into one section; when one is hidden the other goes on.
    void twoUsersShareAView()
    {
        TracedScenario traced;
        useScenario(traced, 160, 120, 0, {remoteUser(kRemoteId, 96, 64)});
        FrameRoom room;
        room.helper.onWebVideoViewShowed(kOwnId, viewId("shared"));
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("shared"));
        QVERIFY(room.start());
        ShareFrameChild child({"read", sectionOf(viewId("shared")), "100000", "120000"});
        QCOMPARE(child.nextLine(), QStringLiteral("ready"));

        // Reads the child's frames until one of the user comes; every frame must be one of the two users', or the
        // black one each user's first frame paints as its writer opens the section.
        const auto waitForFrameOf = [&](unsigned int uid, int width, int height) -> QString {
            for (int lines = 0; lines < 2000; ++lines) {
                const QString line = child.nextLine();
                const auto frame = ChildFrame::parse(line);
                if (!frame)
                    return QStringLiteral("no frame: ") + line;
                if (frame->width == 640 && frame->height == 480 && frame->checksum == blackChecksum(640, 480))
                    continue;
                if (frame->width == width && frame->height == height && room.noting.sent(uid, frame->checksum))
                    return {};
                const bool own = room.noting.sent(kOwnId, frame->checksum);
                const bool remote = room.noting.sent(kRemoteId, frame->checksum);
                if (!own && !remote)
                    return QStringLiteral("pixels of no frame the engine sent: ") + line;
            }
            return QStringLiteral("no frame of user %1").arg(uid);
        };
        QString problem = waitForFrameOf(kRemoteId, 96, 64);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        room.helper.onWebVideoViewHidden(kRemoteId, viewId("shared"));
        problem = waitForFrameOf(kOwnId, 160, 120);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(room.helper.viewIdOf(kOwnId), viewId("shared"));
        QVERIFY(room.helper.viewIdOf(kRemoteId).isEmpty());
    }

    // A view hidden and shown again under its id writes into the same section: a reader that never reopens it
    // sees frames again, with versions going on. While hidden, the page is asked for a view.
    void hiddenViewShownAgain()
    {
        TracedScenario traced;
        useScenario(traced, 64, 48, 0, {remoteUser(kRemoteId, 80, 60)});
        FrameRoom room;
        QSignalSpy wanted(&room.helper, &WebVideoViewHelper::sigWantRenderVideoView);
        room.helper.onWebVideoViewShowed(kOwnId, viewId("own"));
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("again"));
        QVERIFY(room.start());
        ShareFrameChild child({"read", sectionOf(viewId("again")), "100000", "120000"});
        QCOMPARE(child.nextLine(), QStringLiteral("ready"));
        std::optional<ChildFrame> frame;
        do {
            frame = ChildFrame::parse(child.nextLine());
            QVERIFY(frame);
        } while (frame->version == 0);
        QVERIFY(room.noting.sent(kRemoteId, frame->checksum));

        room.helper.onWebVideoViewHidden(kRemoteId, viewId("again"));
        const auto atHiding = sectionHeader(sectionOf(viewId("again")));
        QVERIFY(atHiding);
        const int framesBefore = room.noting.frames(kRemoteId);
        QTRY_VERIFY(room.noting.frames(kRemoteId) >= framesBefore + 5);
        QVERIFY(wanted.count() >= 3);
        for (const QList<QVariant>& arguments : wanted)
            QCOMPARE(arguments.at(0).toUInt(), kRemoteId);
        const auto whileHidden = sectionHeader(sectionOf(viewId("again")));
        QVERIFY(whileHidden);
        QCOMPARE(whileHidden->version, atHiding->version); // kept, and nothing written
        uint32_t lastVersion = atHiding->version;
        for (QString line = child.nextLine(200); !line.isEmpty(); line = child.nextLine(200)) {
            frame = ChildFrame::parse(line);
            QVERIFY(frame && frame->version <= lastVersion);
        }

        room.helper.onWebVideoViewShowed(kRemoteId, viewId("again"));
        for (int seen = 0; seen < 3;) {
            frame = ChildFrame::parse(child.nextLine());
            QVERIFY(frame);
            QVERIFY(frame->version > lastVersion);
            lastVersion = frame->version;
            if (frame->width == 80) {
                QVERIFY(room.noting.sent(kRemoteId, frame->checksum));
                ++seen;
            }
        }
    }

    // A user leaving the channel removes the view through the channel's signal, and says so.
    void userLeavesTheChannel()
    {
        TracedScenario traced;
        useScenario(traced, 64, 48, 0, {remoteUser(kRemoteId, 80, 60)});
        FrameRoom room;
        connect(&room.channel, &AgoraChannel::signal_user_offline, &room.helper,
                &WebVideoViewHelper::onAgoraUserOfflined);
        QSignalSpy offline(&room.helper, &WebVideoViewHelper::sigWebVideoViewOffline);
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("leaving"));
        QVERIFY(room.start());
        QTRY_VERIFY(room.noting.frames(kRemoteId) >= 2);
        SimEvent leave;
        leave.type = SimEvent::UserOffline;
        leave.uid = kRemoteId;
        SimRtcEngine::from(room.channel.engine())->post(leave);
        QTRY_COMPARE(offline.size(), 1);
        QCOMPARE(offline.at(0).at(0).toUInt(), kRemoteId);
        QVERIFY(room.helper.viewIdOf(kRemoteId).isEmpty());
        QVERIFY(sectionExists(sectionOf(viewId("leaving")))); // kept: the page may show the user again
    }

    // Clearing the views unlinks the sections no other helper uses; readers keep what they have mapped; frames
    // afterwards ask for views again and a view shown anew makes a new section.
    void clearViewsUnlinks()
    {
        TracedScenario traced;
        useScenario(traced, 64, 48, 0, {remoteUser(kRemoteId, 80, 60)});
        FrameRoom room;
        room.helper.onWebVideoViewShowed(kOwnId, viewId("one"));
        room.helper.onWebVideoViewShowed(kRemoteId, viewId("two"));
        WebVideoViewHelper other;
        other.onWebVideoViewShowed(9, viewId("two"));
        QVERIFY(renderOnVideoThread(other, 9, 1));
        QVERIFY(room.start());
        QTRY_VERIFY(sectionHeader(sectionOf(viewId("one"))) && sectionHeader(sectionOf(viewId("two"))) &&
                    sectionHeader(sectionOf(viewId("two")))->width == 80);
        auto oldReader = CShareFrameReader::create(sectionOf(viewId("one")).toStdString().c_str());
        QVERIFY(oldReader);
        QSignalSpy wanted(&room.helper, &WebVideoViewHelper::sigWantRenderVideoView);

        room.helper.clearViews();
        QVERIFY(room.helper.viewIdOf(kOwnId).isEmpty());
        QVERIFY(!sectionExists(sectionOf(viewId("one"))));
        QVERIFY(sectionExists(sectionOf(viewId("two")))); // the other helper still uses it
        QTRY_VERIFY(wanted.count() >= 4);
        const ShareFrame* old = oldReader->lock(1000, false);
        QVERIFY(old);
        QCOMPARE(old->header.width, 64u);
        oldReader->unlock();

        room.helper.onWebVideoViewShowed(kOwnId, viewId("one"));
        QTRY_VERIFY(sectionExists(sectionOf(viewId("one"))));
        QVERIFY(!oldReader->lock(300, true)); // the new section is another object
        oldReader.reset();

        other.resetViews();
        QVERIFY(!sectionExists(sectionOf(viewId("two"))));
        QVERIFY(sectionExists(sectionOf(viewId("one")))); // still the room helper's
        room.channel.uninitialize();
        room.helper.clearViews();
        const QStringList left =
            QDir("/dev/shm")
                .entryList({QString::fromStdString(shareObjectPrefix()) + QStringLiteral("*%1*").arg(m_prefix)},
                           QDir::System | QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
    }

    // The table changing under the video thread, then observers detached and deleted at once while frames flow:
    // nothing runs into freed memory.
    void observerDetachedWhileFramesFlow()
    {
        TracedScenario traced;
        useScenario(traced, 64, 48, 0, {remoteUser(kRemoteId, 80, 60), remoteUser(kRemoteId + 1, 32, 32)});
        FrameRoom room;
        QVERIFY(room.start());
        for (int round = 0; round < 4; ++round) {
            auto helper = std::make_unique<WebVideoViewHelper>();
            auto observer = std::make_unique<AgoraVideoFrameObserver>(helper.get());
            std::atomic<int> asked{0};
            connect(
                helper.get(), &WebVideoViewHelper::sigWantRenderVideoView, helper.get(), [&asked](uint) { ++asked; },
                Qt::DirectConnection);
            QVERIFY(room.attach(observer.get()));
            for (int change = 0; change < 40; ++change) {
                helper->onWebVideoViewShowed(kOwnId, viewId(QStringLiteral("o%1").arg(change % 3)));
                helper->onWebVideoViewShowed(kRemoteId, viewId("r"));
                helper->onWebVideoViewShowed(kRemoteId + 1, viewId("r"));
                QTest::qWait(5);
                helper->onWebVideoViewHidden(kRemoteId, viewId("r"));
                if (change % 10 == 9)
                    helper->clearViews();
            }
            helper->clearViews();
            QTRY_VERIFY(asked > 0);
            helper->onWebVideoViewShowed(kRemoteId, viewId("r"));
            const QString section = sectionOf(viewId("r"));
            QTRY_VERIFY(sectionHeader(section) && sectionHeader(section)->version >= 3);
            if (round % 2 == 0) {
                QVERIFY(room.attach(nullptr));
            } else {
                // Another observer takes over: the engine lets go of this one first.
                QVERIFY(room.attach(&room.noting));
            }
            observer.reset();
            helper.reset();
            QVERIFY(!sectionExists(section));
        }
    }
};

ZM_TEST_MAIN_CORE(TestWebVideoViews)
#include "tst_webvideoviews.moc"
