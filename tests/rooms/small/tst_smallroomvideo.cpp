// The small class from start to end, as the program runs it: the window router asked for the small class room
// downloads the lesson's offline package from the simulator, opens the room, the room enters through the real steps
// and loads the installed small-class page, the simulated engine sends the teacher's and the own camera frames, and
// the video plug-in (registered with the browser as the program registers it) paints them inside the page's
// elements. The grabbed view shows each user's colours where the page placed that user's element; another process
// reads the same sections. Leaving through the page closes the room through the router.
#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "live/rtc/sim/SimTestPattern.h"
#include "net/packages/OfflineLessonResManager.h"
#include "rooms/small/SmallClassRoom.h"
#include "rooms/small/SmallClassRoomRoute.h"
#include "shared/CShareFrameReader.h"
#include "shared/ShareFrameHeader.h"
#include "ui/common/MyTitleBar.h"
#include "ui/updates/OfflineLessonResDownloader.h"
#include "web/VideoPluginSetup.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Screenshots.h"
#include "ShareFrameChild.h"
#include "Simulator.h"
#include "SmallRoomTestSupport.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRect>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <optional>
#include <vector>

using namespace SmallRoomTest;
using ZmTest::kWaitMs;
using ZmTest::LogCapture;

namespace {

// The router of a program started for this lesson, with the rows registered as main() registers them; the
// program's end is recorded instead.
class LessonRouter : public ZmRouteManager
{
public:
    QList<int> programEnds;
    int logUploads = 0;

    SmallClassRoom* room() const { return qobject_cast<SmallClassRoom*>(routedWindow(AppStartStatus_SmallClassRoom)); }

protected:
    void afterClassRoomClosed() override { ++logUploads; }
    void endProgram(int exitCode) override { programEnds << exitCode; }
    void setSleepBlocked(bool) override {}
};

// The chroma (U, V) of a picture region as the limited-range BT.601 conversion gave it: the median over the pixels
// no colour channel of which was clipped. Null when too few such pixels are there.
std::optional<QPair<int, int>> chromaOf(const QImage& image, const QRect& region)
{
    std::vector<double> us;
    std::vector<double> vs;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int r = c.red();
            const int g = c.green();
            const int b = c.blue();
            if (std::min({r, g, b}) < 6 || std::max({r, g, b}) > 249)
                continue;
            us.push_back(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 256);
            vs.push_back(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 256);
        }
    }
    if (us.size() < std::size_t(region.width() * region.height() / 20))
        return std::nullopt;
    std::nth_element(us.begin(), us.begin() + us.size() / 2, us.end());
    std::nth_element(vs.begin(), vs.begin() + vs.size() / 2, vs.end());
    return QPair<int, int>(int(us[us.size() / 2] + 0.5), int(vs[vs.size() / 2] + 0.5));
}

bool nearChroma(const std::optional<QPair<int, int>>& found, unsigned int uid)
{
    std::uint8_t u = 0;
    std::uint8_t v = 0;
    testPatternChroma(uid, u, v);
    return found && std::abs(found->first - u) <= 10 && std::abs(found->second - v) <= 10;
}

QString describe(const std::optional<QPair<int, int>>& chroma)
{
    return chroma ? QStringLiteral("U %1 V %2").arg(chroma->first).arg(chroma->second) : QStringLiteral("none");
}

} // namespace

class TestSmallRoomVideo : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

    // The page elements' rectangles in the view, by user id; empty until the page answers.
    QMap<int, QRect> embedRects(QWebEnginePage* page)
    {
        QMap<int, QRect> rects;
        bool answered = false;
        page->runJavaScript(QStringLiteral(R"(JSON.stringify([%1, %2].map(function (uid) {
                var element = document.getElementById("zmvideo_" + uid);
                if (!element) return null;
                var r = element.getBoundingClientRect();
                return [uid, r.left, r.top, r.width, r.height];
            })))")
                                .arg(kPupilId)
                                .arg(kTeacherId),
                            [&rects, &answered](const QVariant& result) {
                                answered = true;
                                const QJsonArray list = QJsonDocument::fromJson(result.toString().toUtf8()).array();
                                for (const QJsonValue& entry : list) {
                                    const QJsonArray r = entry.toArray();
                                    if (r.size() == 5)
                                        rects.insert(r[0].toInt(),
                                                     QRect(qRound(r[1].toDouble()), qRound(r[2].toDouble()),
                                                           qRound(r[3].toDouble()), qRound(r[4].toDouble())));
                                }
                            });
        if (!QTest::qWaitFor([&answered] { return answered; }, kWaitMs))
            qWarning() << "the page did not answer";
        return rects;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        QVERIFY(installOfflinePage());
        Whiteboard::setStopAllWaitForTesting(100);
        registerSmallClassRoomRoute();
        // A calm processor, whatever the machine's load: its overload notice would come over the page.
        useCalmProcessor();
    }

    // The engine's scenario that scripts/run plays for the small class: the teacher and a second pupil with video.
    void runScenarioIsUsable()
    {
        SimScenario scenario;
        QString error;
        QVERIFY2(
            SimScenario::fromFile(ZmTest::sourceDir() + QStringLiteral("/tests/sim/scenarios/rtc/small_class.json"),
                                  scenario, &error),
            qPrintable(error));
        QList<unsigned int> senders;
        for (const SimEvent& event : scenario.events) {
            if (event.type == SimEvent::UserJoined && event.video)
                senders << event.uid;
        }
        QCOMPARE(senders, (QList<unsigned int>{unsigned(kTeacherId), 100871u}));
    }

    void videosInsideThePage()
    {
        setUpLesson();
        RtcTest::TracedScenario rtc;
        rtc.scenario = lessonScenario();
        rtc.use();
        LogCapture log;

        // The lesson's package, offered by the simulator; none installed yet.
        QVERIFY(removeLessonFolder(kLessonId));
        const QByteArray package = ZmTest::zipBytes({{QStringLiteral("lesson.json"), QByteArray("{\"pages\":12}")}});
        QVERIFY(ZmTest::offerLessonPackage(m_sim, QStringLiteral("880213"), package));

        LessonRouter router;
        OfflineLessonResDownloader::setStartStatusPoster(
            [&router](int posted) { QCoreApplication::postEvent(&router, new ZmAppStatusEvent(posted)); });
        QCoreApplication::postEvent(&router, new ZmAppStatusEvent(AppStartStatus_SmallClassRoom));
        QTRY_COMPARE(router.currentStatus(), int(AppStartStatus_SmallClassRoom));
        QCOMPARE(m_sim.requests(QStringLiteral("/material/lesson/course/zip")).size(), 1);
        QVERIFY(OfflineLessonResManager::instance()->getLessonResourceDir(kLessonId, nullptr));
        QPointer<SmallClassRoom> room = router.room();
        QVERIFY(room);

        // Entered, with both users' elements on the page.
        QVERIFY(log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kPupilId), 1, kWaitMs));
        QVERIFY(log.waitFor(QStringLiteral("emit sigWebPpApi_Showed: %1;").arg(kTeacherId), 1, kWaitMs));
        auto* view = room->whiteboard()->findChild<QWebEngineView*>();
        QVERIFY(view);

        // The grabbed view shows each user's colours inside that user's element.
        QImage shot;
        QMap<int, QRect> rects;
        std::optional<QPair<int, int>> own;
        std::optional<QPair<int, int>> teacher;
        const bool painted = QTest::qWaitFor(
            [&] {
                rects = embedRects(view->page());
                if (rects.size() != 2)
                    return false;
                shot = view->grab().toImage();
                own = chromaOf(shot, rects.value(kPupilId).adjusted(8, 8, -8, -8));
                teacher = chromaOf(shot, rects.value(kTeacherId).adjusted(8, 8, -8, -8));
                return nearChroma(own, kPupilId) && nearChroma(teacher, kTeacherId);
            },
            kWaitMs);
        QDir().mkpath(ZmTest::screenshotDir());
        shot.save(ZmTest::screenshotPath(QStringLiteral("smallroom_video")));
        QVERIFY2(painted, qPrintable(QStringLiteral("own %1 in %2, teacher %3 in %4")
                                         .arg(describe(own))
                                         .arg(QString::number(rects.value(kPupilId).x()) + ',' +
                                              QString::number(rects.value(kPupilId).y()))
                                         .arg(describe(teacher))
                                         .arg(QString::number(rects.value(kTeacherId).x()) + ',' +
                                              QString::number(rects.value(kTeacherId).y()))));
        QVERIFY(!rects.value(kPupilId).intersects(rects.value(kTeacherId)));

        // Another process reads the same sections: whole I420 frames at the engine's size, newer and newer.
        for (int uid : {kPupilId, kTeacherId}) {
            const QString section = room->videoViews()->sectionNameOf(uint(uid));
            QVERIFY(!section.isEmpty());
            ShareFrameChild reader({QStringLiteral("read"), section, QStringLiteral("3"), QStringLiteral("60000")});
            QCOMPARE(reader.nextLine(), QStringLiteral("ready"));
            uint previous = 0;
            for (int i = 0; i < 3; ++i) {
                const QStringList fields = reader.nextLine().split(' ');
                QCOMPARE(fields.size(), 7);
                QCOMPARE(fields[0], QStringLiteral("frame"));
                QVERIFY2(fields[1].toUInt() > previous, qPrintable(fields.join(' ')));
                previous = fields[1].toUInt();
                QCOMPARE(fields[2], QStringLiteral("640"));
                QCOMPARE(fields[3], QStringLiteral("480"));
                QCOMPARE(fields[4].toUInt(), kShareFormatI420);
                QCOMPARE(fields[5].toUInt(), 640u * 480u * 3u / 2u);
            }
            QCOMPARE(reader.finish(), 0);
        }

        // Leaving through the page: the router releases, closes and deletes the room; its sections go with it.
        const QString ownSection = room->videoViews()->sectionNameOf(kPupilId);
        QTest::mouseClick(room->titleBar()->findChild<QWidget*>(QStringLiteral("ButtonClose")), Qt::LeftButton);
        QTRY_VERIFY(!room);
        QVERIFY(!router.room());
        QCOMPARE(router.logUploads, 0);
        QCOMPARE(rtc.calls(QStringLiteral("release")).size(), 1);
        QVERIFY(!CShareFrameReader::create(ownSection.toStdString().c_str()));
        OfflineLessonResDownloader::setStartStatusPoster(nullptr);
    }
};

// The browser takes the plug-in's switches as the program's start-up gives them. With QTWEBENGINE_CHROMIUM_FLAGS set
// (the tests' environment sets it) the browser reads its switches from there alone, where they are added.
int main(int argc, char** argv)
{
    ZmTest::prepareEnvironment(true);
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QStringList switches;
    addVideoPluginSwitches(switches, ZmTest::programDir());

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSmallRoomVideo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallroomvideo.moc"
