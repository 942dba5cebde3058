// The whiteboard page host with the real embedded browser and the fixture lesson pages served by the simulator:
// page messages reaching their signals through the channel, the exact passMessage texts the page receives, the
// online users gated on a fully buffered page, the page functions, reload, a failed load, stopAll, pause and seek
// reaching the playback page, the layout, and what a page can reach through the channel.
#include "LogCapture.h"
#include "Screenshots.h"
#include "Simulator.h"
#include "TestFiles.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "net/zip/ZipUtil.h"
#include "web/whiteboard/PPTFailLoadTips.h"
#include "web/whiteboard/Whiteboard.h"
#include "web/whiteboard/WhiteboardBridge.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLocale>
#include <QMetaMethod>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>
#include <vector>

using ZmTest::LogCapture;
using ZmTest::Simulator;

namespace {

// How the fixture page's reports of the calls it received appear in the program's log.
const QString kCallMarker = QStringLiteral("Whiteboard W2N_Msg_Log ( info ) : ");
constexpr int kStopAllWaitMs = 300;

// A JavaScript string literal holding text.
QString jsString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// One whiteboard on screen, with the log captured.
class BoardPage
{
public:
    BoardPage()
    {
        board.resize(900, 640);
        board.show();
    }

    QWebEngineView* view() const { return board.findChild<QWebEngineView*>(QStringLiteral("web_view")); }

    // Loads the page and waits until it reported its channel connected.
    bool open(const QString& url, const QString& kind, int connections = 1)
    {
        board.loadUrl(url);
        return waitForCall(QStringLiteral("connected ") + kind, connections);
    }

    QStringList calls() const { return log.linesAfter(kCallMarker); }
    bool waitForCall(const QString& call, int count = 1) const { return log.waitFor(kCallMarker + call, count); }

    // Runs a script in the page; scripts run there in the order they were sent, the program's own included.
    void run(const QString& script) const { view()->page()->runJavaScript(script); }

    // Waits until every script sent before has run in the page (and its reports reached the log).
    bool settle()
    {
        const QString mark = QStringLiteral("mark %1").arg(++m_marks);
        run(QStringLiteral("boardFixture.report(%1)").arg(jsString(mark)));
        return waitForCall(mark);
    }

    // The page writes text into "JsPostMessage"; true once the program has taken it in.
    bool postFromPage(const QString& text)
    {
        const QString line = QStringLiteral("Whiteboard Js PostMessage ") + text;
        const int before = log.linesContaining(line).size();
        run(QStringLiteral("boardFixture.post(%1)").arg(jsString(text)));
        return log.waitFor(line, before + 1);
    }

    // The messages of the passMessage calls the page received since it loaded (compact JSON as it saw them), as the
    // page keeps them: it reports only some of them to the log.
    QStringList passMessages() const
    {
        const QString prefix = QStringLiteral("passMessage ");
        QStringList messages;
        for (const QVariant& call : evaluate(QStringLiteral("boardFixture.calls")).toList()) {
            if (call.toString().startsWith(prefix))
                messages << call.toString().mid(prefix.size());
        }
        return messages;
    }

    QVariant evaluate(const QString& script) const
    {
        QVariant result;
        bool done = false;
        view()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        ZmTest::waitUntil([&] { return done; }, ZmTest::kWaitMs, 10);
        return result;
    }

    LogCapture log;
    Whiteboard board;

private:
    int m_marks = 0;
};

// One spy per signal that Whiteboard declares.
class AllSignals
{
public:
    explicit AllSignals(Whiteboard* board)
    {
        const QMetaObject& meta = Whiteboard::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            m_names.append(QString::fromLatin1(method.name()));
            m_spies.push_back(std::make_unique<QSignalSpy>(board, method));
        }
    }

    // "name(arg, arg)" for every emission so far, in signal declaration order.
    QStringList emissions() const
    {
        QStringList out;
        for (size_t i = 0; i < m_spies.size(); ++i) {
            for (const QList<QVariant>& arguments : *m_spies[i]) {
                QStringList texts;
                for (const QVariant& argument : arguments)
                    texts.append(argument.toString());
                out.append(QStringLiteral("%1(%2)").arg(m_names.at(int(i)), texts.join(QStringLiteral(", "))));
            }
        }
        return out;
    }

    void clear()
    {
        for (auto& spy : m_spies)
            spy->clear();
    }

private:
    QStringList m_names;
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

} // namespace

class TestWhiteboard : public QObject
{
    Q_OBJECT

private:
    QString pageUrl(const QString& path, const QString& query = QString()) const
    {
        return m_sim.url(path) + (query.isEmpty() ? QString() : QStringLiteral("?") + query);
    }
    // The whiteboard page under a signed tail, as the class rooms build it.
    QString whiteboardUrl(const QString& query = QString()) const
    {
        return pageUrl(QStringLiteral("/pages/whiteboard/student/100234/880213/20240611093/1"),
                       QStringLiteral("sign=abc&mr=1") + (query.isEmpty() ? QString() : QStringLiteral("&") + query));
    }

    Simulator m_sim;

private slots:
    void initTestCase();
    void pageMessagesReachTheirSignals_data();
    void pageMessagesReachTheirSignals();
    void bufferProgressAndLoadSignals();
    void passMessageTextsReachThePage_data();
    void passMessageTextsReachThePage();
    void onlineUsersWaitForAFullyBufferedPage();
    void pageFunctionsAndTheControlPanelAfterEachLoad();
    void reloadResetsThePageState();
    void failedLoadStillUncoversThePage();
    void stopAllStopsVideoAndLoadingThenBlocks();
    void pauseAndSeekReachThePlaybackPage();
    void smallClassPageFromTheInstalledOfflineResources();
    void layoutWithAndWithoutTheTitle_data();
    void layoutWithAndWithoutTheTitle();
    void freezeFrameCoversThePage();
    void pageReachesOnlyTheBridge();
    void permissionPolicy_data();
    void permissionPolicy();
    void captureOnlyForTheLoadedPages_data();
    void captureOnlyForTheLoadedPages();
    void screenshots();
    // Last: it changes the process-wide locale.
    void chineseLanguageSwitchesLocaleAndAcceptLanguage();
};

void TestWhiteboard::initTestCase()
{
    QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
    Whiteboard::setStopAllWaitForTesting(kStopAllWaitMs);
}

void TestWhiteboard::pageMessagesReachTheirSignals_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("emissions");
    QTest::addColumn<QString>("logged");

    QTest::newRow("video view shown") << R"({"key":"msg-w2n-ppapi-showed","userId":"5","domId":"zmvideo_5"})"
                                      << QStringList{"sigWebPpApi_Showed(5, zmvideo_5)"}
                                      << "emit sigWebPpApi_Showed: 5;zmvideo_5";
    QTest::newRow("user id as a JSON number gives 0")
        << R"({"key":"msg-w2n-ppapi-showed","userId":5,"domId":"v"})" << QStringList{"sigWebPpApi_Showed(0, v)"}
        << "emit sigWebPpApi_Showed: 0;v";
    QTest::newRow("video view hidden, id above int")
        << R"({"key":"msg-w2n-ppapi-hidden","userId":"3000000000"})" << QStringList{"sigWebPpApi_Hidden(0, )"}
        << "emit sigWebPpApi_Hidden: 0;";
    QTest::newRow("button") << R"({"key":"msg-w2n-btn-clicked","domId":"reset"})"
                            << QStringList{"sigWebBtn_Clicked(reset)"} << "emit sigWebBtnClicked: reset";
    QTest::newRow("button text beyond ASCII arrives whole")
        << QString::fromUtf8(R"({"key":"msg-w2n-btn-clicked","domId":"café-课"})")
        << QStringList{QString::fromUtf8("sigWebBtn_Clicked(café-课)")} << QString::fromUtf8("café-课");
    QTest::newRow("microphone on") << R"({"key":"msg-w2n-device-mic-open"})" << QStringList{"sigWebSet_MicEnable(true)"}
                                   << "W2N_Msg_Device_Mic_Open";
    QTest::newRow("microphone off") << R"({"key":"msg-w2n-device-mic-close"})"
                                    << QStringList{"sigWebSet_MicEnable(false)"} << "W2N_Msg_Device_Mic_Close";
    QTest::newRow("close response") << R"({"key":"msg-w2n-close-window-response"})"
                                    << QStringList{"sigWebCloseWindow_respone()"} << "W2N_Msg: msg-w2n-close-window";
    QTest::newRow("close") << R"({"key":"msg-w2n-close-window"})" << QStringList{"sigWebCloseWindow()"}
                           << "W2N_Msg: msg-w2n-close-window";
    QTest::newRow("environment") << R"({"key":"msg-w2n-request-env"})" << QStringList{"sigWebEnvRequest()"}
                                 << "W2N_Msg: msg-w2n-request-env";
    QTest::newRow("video profile") << R"({"key":"msg-w2n-set-video-profile","size":480})"
                                   << QStringList{"sigWebSetVideoProfile(480)"} << "msg-w2n-set-video-profile";
    QTest::newRow("video profile size as text gives 0")
        << R"({"key":"msg-w2n-set-video-profile","size":"2"})" << QStringList{"sigWebSetVideoProfile(0)"}
        << "msg-w2n-set-video-profile";
    QTest::newRow("video playing") << R"({"WPVideo":"Play"})" << QStringList{"sigWPVideoIsPlaying(true)"} << "";
    QTest::newRow("video play in lower case is a stop")
        << R"({"WPVideo":"play"})" << QStringList{"sigWPVideoIsPlaying(false)"} << "";
    QTest::newRow("video report wins over key")
        << R"({"WPVideo":"Play","key":"msg-w2n-close-window"})" << QStringList{"sigWPVideoIsPlaying(true)"} << "";
    QTest::newRow("log line") << R"({"key":"msg-w2n-log","level":"warn","log":"slow"})" << QStringList()
                              << "Whiteboard W2N_Msg_Log ( warn ) : slow";
    QTest::newRow("unknown key is only logged")
        << R"({"key":"msg-w2n-something"})" << QStringList() << "W2N_Msg: msg-w2n-something";
    QTest::newRow("not JSON") << "stopped" << QStringList() << "";
    QTest::newRow("no key") << R"({"domId":"reset"})" << QStringList() << "";
}

void TestWhiteboard::pageMessagesReachTheirSignals()
{
    QFETCH(QString, message);
    QFETCH(QStringList, emissions);
    QFETCH(QString, logged);

    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
    AllSignals emitted(&page.board);

    QVERIFY(page.postFromPage(message));
    QCOMPARE(emitted.emissions(), emissions);
    QCOMPARE(page.board.JsPostMessage(), message);
    if (!logged.isEmpty())
        QVERIFY(!page.log.linesContaining(logged).isEmpty());
    // Nothing but the page's own reports was dispatched by key.
    if (message.contains(QLatin1String("WPVideo")) || !message.contains(QLatin1String("\"key\"")))
        QCOMPARE(page.log.linesContaining(QStringLiteral("W2N_Msg:")).filter(QStringLiteral("msg-w2n-log")),
                 page.log.linesContaining(QStringLiteral("W2N_Msg:")));
    if (message.contains(QLatin1String("WPVideo")))
        QCOMPARE(page.board.isVideoPlaying(), emissions.first().endsWith(QLatin1String("(true)")));
}

void TestWhiteboard::bufferProgressAndLoadSignals()
{
    BoardPage page;
    QSignalSpy started(&page.board, &Whiteboard::sigWebEngineLoadStarted);
    QSignalSpy finished(&page.board, &Whiteboard::sigWebEngineLoadFinished);
    QSignalSpy buffered(&page.board, &Whiteboard::sigWhiteboardBufferFinished);
    QLabel* cover = page.board.findChild<QLabel*>(QStringLiteral("default_picture"));
    QVERIFY(cover && cover->isVisible());

    QVERIFY(page.open(whiteboardUrl(), QStringLiteral("whiteboard")));
    QTRY_COMPARE(buffered.size(), 1);
    QCOMPARE(buffered.first().first().toBool(), true);
    QCOMPARE(page.board.boardloaded(), quint16(100));
    QCOMPARE(started.size(), 1);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!cover->isVisible());
    QCOMPARE(page.log.linesContaining(QStringLiteral("setboardloaded -> m_bufferPercent: 50")).size(), 1);

    // Every write of 100 counts; other values only move the progress.
    page.run(QStringLiteral("boardFixture.buffer(100); boardFixture.buffer(70)"));
    QVERIFY(page.settle());
    QCOMPARE(buffered.size(), 2);
    QCOMPARE(page.board.boardloaded(), quint16(70));
}

void TestWhiteboard::passMessageTextsReachThePage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<quint32>("userId");
    QTest::addColumn<QStringList>("extra"); // name, value, ...
    QTest::addColumn<bool>("logged");
    QTest::addColumn<QString>("received");

    QTest::newRow("environment")
        << "msg-n2w-post-env" << 100234u
        << QStringList{"systemVersion", "Debian 12", "deviceUid", "52-54-00-12-34-56", "appVersion", "1.5.7.1"} << true
        << R"({"appVersion":"1.5.7.1","deviceUid":"52-54-00-12-34-56","key":"msg-n2w-post-env",)"
           R"("systemVersion":"Debian 12","userId":"100234"})";
    QTest::newRow("statistics, not logged")
        << "msg-n2w-post-rtc-stats" << 7u << QStringList{"txKBitRate", "512", "cpuAppUsage", "4", "duration", "61"}
        << false
        << R"({"cpuAppUsage":"4","duration":"61","key":"msg-n2w-post-rtc-stats",)"
           R"("txKBitRate":"512","userId":"7"})";
    QTest::newRow("largest user id") << "msg-n2w-user-video-offline" << 4294967295u << QStringList() << true
                                     << R"({"key":"msg-n2w-user-video-offline","userId":"4294967295"})";
    QTest::newRow("text with quotes and Chinese")
        << "msg-n2w-post-env" << 1u << QStringList{"systemVersion", QString::fromUtf8("\"统信\" 20\\")} << true
        << QString::fromUtf8(R"({"key":"msg-n2w-post-env","systemVersion":"\"统信\" 20\\","userId":"1"})");
}

void TestWhiteboard::passMessageTextsReachThePage()
{
    QFETCH(QString, key);
    QFETCH(quint32, userId);
    QFETCH(QStringList, extra);
    QFETCH(bool, logged);
    QFETCH(QString, received);

    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
    QMap<QString, QString> members;
    for (int i = 0; i + 1 < extra.size(); i += 2)
        members.insert(extra.at(i), extra.at(i + 1));
    page.board.postN2WMessage(key, userId, members, logged);
    QVERIFY(page.settle());
    // The page's JSON.stringify of the object it received gives back the program's text exactly.
    QCOMPARE(page.passMessages(), QStringList{received});
    const QString script = QStringLiteral("passMessage(%1)").arg(received);
    QCOMPARE(page.log.linesContaining(script).size(), logged ? 1 : 0);
}

void TestWhiteboard::onlineUsersWaitForAFullyBufferedPage()
{
    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
    page.run(QStringLiteral("boardFixture.buffer(99)"));
    QVERIFY(page.settle());

    page.board.onUserVideoOnLine(7); // 99 %: not sent, not remembered
    page.board.onUserVolumeChange(7, 30);
    QVERIFY(page.settle());
    page.run(QStringLiteral("boardFixture.buffer(100)"));
    QVERIFY(page.settle());

    page.board.onUserVideoOnLine(7);
    page.board.onUserVideoOnLine(7);
    page.board.onUserVolumeChange(7, 57);
    page.board.onUserVolumeChange(8, 10);
    page.board.onUserVideoOffLine(8);
    page.board.onUserVideoOffLine(7);
    page.board.onUserVolumeChange(7, 60);
    page.board.onUserVideoOnLine(4294967295u);
    QVERIFY(page.settle());
    QCOMPARE(page.passMessages(), (QStringList{
                                      R"({"key":"msg-n2w-user-video-online","userId":"7"})",
                                      R"({"key":"msg-n2w-user-volume-changed","userId":"7","volume":"57"})",
                                      R"({"key":"msg-n2w-user-video-offline","userId":"7"})",
                                      R"({"key":"msg-n2w-user-video-online","userId":"4294967295"})",
                                  }));
    // Volume changes stay out of the log: the program's and the page's.
    QVERIFY(page.log.linesContaining(QStringLiteral("msg-n2w-user-volume-changed")).isEmpty());

    // A reload forgets the users: nothing to withdraw, and nothing announced until the page is full again.
    page.board.reloadPage();
    QVERIFY(page.waitForCall(QStringLiteral("connected whiteboard"), 2));
    page.board.onUserVideoOffLine(4294967295u);
    page.board.onUserVideoOnLine(9);
    QVERIFY(page.settle());
    QCOMPARE(page.passMessages(), QStringList());
}

void TestWhiteboard::pageFunctionsAndTheControlPanelAfterEachLoad()
{
    BoardPage page;
    QSignalSpy response(&page.board, &Whiteboard::sigWebCloseWindow_respone);
    QSignalSpy close(&page.board, &Whiteboard::sigWebCloseWindow);
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("close=handshake&close_ms=50")), QStringLiteral("whiteboard")));
    QVERIFY(page.waitForCall(QStringLiteral("showControlPanel false")));

    page.board.showControlPanel(true);
    page.board.resumeVideoForAgora();
    page.board.startRecording();
    page.board.stopPPT();
    page.board.stopRunningVideo();
    page.board.onUserWantExit();
    QVERIFY(page.settle());
    QTRY_COMPARE(close.size(), 1);
    QCOMPARE(response.size(), 1);

    // The remembered flag is run again after the next load.
    page.board.reloadPage();
    QVERIFY(page.waitForCall(QStringLiteral("showControlPanel true"), 2));

    const QStringList calls = page.calls().filter(QRegularExpression(QStringLiteral("^(?!mark |passMessage )")));
    QCOMPARE(calls, (QStringList{"connected whiteboard", "showControlPanel false", "showControlPanel true",
                                 "resumeVideoForAgora", "startRecording", "stopPPT", "stopRunningVideo",
                                 "N2WCloseWindow", "connected whiteboard", "showControlPanel true"}));
}

void TestWhiteboard::reloadResetsThePageState()
{
    BoardPage page;
    QSignalSpy playing(&page.board, &Whiteboard::sigWPVideoIsPlaying);
    QSignalSpy started(&page.board, &Whiteboard::sigWebEngineLoadStarted);
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
    auto* panel = page.board.findChild<PPTFailLoadTips*>();
    QVERIFY(panel && panel->isHidden());

    struct Trigger
    {
        const char* name;
        std::function<void()> reload;
    };
    const Trigger triggers[] = {
        {"reloadPage", [&] { page.board.reloadPage(); }},
        {"refresh button",
         [&] { QTest::mouseClick(page.board.findChild<QPushButton*>(QStringLiteral("btn_Refresh")), Qt::LeftButton); }},
        {"failure panel link",
         [&] { QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_refresh")), Qt::LeftButton); }},
    };
    int loads = 1;
    for (const Trigger& trigger : triggers) {
        page.run(QStringLiteral("boardFixture.buffer(60)"));
        QVERIFY(page.postFromPage(QStringLiteral(R"({"WPVideo":"Play"})")));
        QVERIFY(page.board.isVideoPlaying());
        page.board.setLoadFailurePanelVisible(true);
        QVERIFY(panel->isVisible());
        playing.clear();

        trigger.reload();
        QVERIFY2(panel->isHidden(), trigger.name);
        QCOMPARE(page.board.boardloaded(), quint16(0));
        QVERIFY(!page.board.isVideoPlaying());
        QCOMPARE(playing.size(), 1);
        QCOMPARE(playing.first().first().toBool(), false);
        ++loads;
        QVERIFY2(page.waitForCall(QStringLiteral("connected whiteboard"), loads), trigger.name);
        QCOMPARE(started.size(), loads);
    }

    // Without a playing video a reload reports nothing about it.
    playing.clear();
    page.board.reloadPage();
    QVERIFY(page.waitForCall(QStringLiteral("connected whiteboard"), loads + 1));
    QCOMPARE(playing.size(), 0);
}

void TestWhiteboard::failedLoadStillUncoversThePage()
{
    BoardPage page;
    QSignalSpy finished(&page.board, &Whiteboard::sigWebEngineLoadFinished);
    QSignalSpy buffered(&page.board, &Whiteboard::sigWhiteboardBufferFinished);
    page.board.loadUrl(whiteboardUrl(QStringLiteral("board=fail")));
    QTRY_VERIFY(finished.size() >= 1);
    QCOMPARE(finished.last().first().toBool(), false);
    QVERIFY(!page.board.findChild<QLabel*>(QStringLiteral("default_picture"))->isVisible());
    QVERIFY(!page.log.linesContaining(QStringLiteral("showControlPanel(false)")).isEmpty());
    QCOMPARE(buffered.size(), 0);
    QCOMPARE(m_sim.requests(QStringLiteral("/pages/whiteboard")).size() > 0, true);
}

void TestWhiteboard::stopAllStopsVideoAndLoadingThenBlocks()
{
    Simulator::Route held;
    held.method = QStringLiteral("GET");
    held.path = QStringLiteral("/files/held.png");
    held.action = Simulator::Route::Action::Stall;
    QVERIFY(m_sim.program(held) > 0);

    BoardPage page;
    QSignalSpy finished(&page.board, &Whiteboard::sigWebEngineLoadFinished);
    QSignalSpy playing(&page.board, &Whiteboard::sigWPVideoIsPlaying);
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never&hold=/files/held.png")), QStringLiteral("whiteboard")));
    page.run(QStringLiteral("boardFixture.playVideo(true)"));
    QTRY_VERIFY(page.board.isVideoPlaying());
    QCOMPARE(finished.size(), 0); // still loading: the held image has not come

    bool eventRan = false;
    QTimer::singleShot(0, [&] { eventRan = true; });
    QElapsedTimer blocked;
    blocked.start();
    page.board.stopAll();
    QVERIFY(blocked.elapsed() >= kStopAllWaitMs);
    QVERIFY(!eventRan); // it blocked; no event loop ran inside

    QVERIFY(page.waitForCall(QStringLiteral("stopRunningVideo")));
    QTRY_COMPARE(finished.size(), 1);
    QTRY_VERIFY(!page.board.isVideoPlaying());
    QCOMPARE(playing.last().first().toBool(), false);
    const QStringList lines = page.log.lines();
    const int script = lines.indexOf(QRegularExpression(QStringLiteral(".*runScript stopRunningVideo\\(\\)$")));
    const int stopped = lines.indexOf(QRegularExpression(QStringLiteral("^Whiteboard::onWebEngine_LoadFinished.*")));
    QVERIFY(script >= 0 && stopped > script);
    QVERIFY(m_sim.clearRoutes());
}

void TestWhiteboard::pauseAndSeekReachThePlaybackPage()
{
    BoardPage page;
    QVERIFY(page.open(
        pageUrl(QStringLiteral("/pages/whiteboard/playback/880213/20240611093/1"), QStringLiteral("sign=s&autoplay=0")),
        QStringLiteral("playback")));
    emit page.board.signalBoardPause(true);
    emit page.board.signalBoardSeek(4000000000u);
    emit page.board.signalBoardPause(false);
    emit page.board.signalBoardSeek(0);
    QVERIFY(page.waitForCall(QStringLiteral("signalBoardSeek 0")));
    QCOMPARE(page.calls().filter(QStringLiteral("signalBoard")),
             (QStringList{"signalBoardPause true", "signalBoardSeek 4000000000", "signalBoardPause false",
                          "signalBoardSeek 0"}));
}

void TestWhiteboard::smallClassPageFromTheInstalledOfflineResources()
{
    ConfigManager::setArchiveExtractor(&ZipUtil::extractDir);
    QTemporaryDir data;
    ConfigManager::Setup setup;
    setup.dataDirCandidates = QStringList{data.path()};
    setup.offlineArchivePath = ZmTest::programDir() + QStringLiteral("/offlineRes.zip");
    setup.programVersion = QStringLiteral("1.5.7");
    ConfigManager config(setup);
    const QString pagePath = config.getOfflineRoomPage();
    QVERIFY2(QFile::exists(pagePath), qPrintable(pagePath));

    BoardPage page;
    QSignalSpy env(&page.board, &Whiteboard::sigWebEnvRequest);
    QSignalSpy buffered(&page.board, &Whiteboard::sigWhiteboardBufferFinished);
    QSignalSpy showed(&page.board, &Whiteboard::sigWebPpApi_Showed);
    QSignalSpy hidden(&page.board, &Whiteboard::sigWebPpApi_Hidden);
    QSignalSpy response(&page.board, &Whiteboard::sigWebCloseWindow_respone);
    QSignalSpy close(&page.board, &Whiteboard::sigWebCloseWindow);
    QUrl url = QUrl::fromLocalFile(pagePath);
    url.setQuery(QStringLiteral("periodId=20240611093&userId=100234&token=tok-secret&mode=production&ppt_path=file:///x"
                                "&language=en&accountType=1&close_ms=20"));
    QVERIFY(page.open(url.toString(), QStringLiteral("smallclass")));
    QTRY_COMPARE(env.size(), 1);
    QTRY_COMPARE(buffered.size(), 1);

    // An announced user gets a video view, which the page reports with its element id; withdrawn, it goes.
    page.board.onUserVideoOnLine(100234);
    QTRY_COMPARE(showed.size(), 1);
    QCOMPARE(showed.first(), (QList<QVariant>{100234u, QStringLiteral("zmvideo_100234")}));
    QCOMPARE(page.evaluate(QStringLiteral("document.getElementById('zmvideo_100234').type")).toString(),
             QStringLiteral("application/x-zm-video"));
    page.board.onUserVideoOffLine(100234);
    QTRY_COMPARE(hidden.size(), 1);
    QCOMPARE(hidden.first(), (QList<QVariant>{100234u, QStringLiteral("zmvideo_100234")}));
    QVERIFY(page.evaluate(QStringLiteral("document.getElementById('zmvideo_100234') === null")).toBool());

    // Local content reaches remote addresses (the lesson's files come from the network).
    const QString remote = m_sim.putFile(QStringLiteral("lesson/notes.txt"), "remote notes");
    QVERIFY(!remote.isEmpty());
    page.run(QStringLiteral("fetch(%1).then(function (r) { return r.text(); })"
                            ".then(function (t) { boardFixture.report('fetched ' + t); },"
                            " function (e) { boardFixture.report('fetched nothing: ' + e); })")
                 .arg(jsString(remote)));
    QVERIFY(page.waitForCall(QStringLiteral("fetched ")));
    QCOMPARE(page.log.linesAfter(kCallMarker + QStringLiteral("fetched ")), QStringList{"remote notes"});

    page.board.onUserWantExit();
    QTRY_COMPARE(close.size(), 1);
    QCOMPARE(response.size(), 1);

    // The address is logged without the login token.
    QVERIFY(!page.log.linesContaining(QStringLiteral("onWebEngine_UrlChanged")).filter("token=***").isEmpty());
    QVERIFY(page.log.linesContaining(QStringLiteral("tok-secret")).isEmpty());
}

void TestWhiteboard::layoutWithAndWithoutTheTitle_data()
{
    QTest::addColumn<bool>("titleShown");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("refreshButton");
    QTest::addColumn<QRect>("page");

    QTest::newRow("hidden title") << false << QSize(1000, 800) << QPoint(964, 14) << QRect(0, 0, 1000, 800);
    QTest::newRow("shown title") << true << QSize(1000, 800) << QPoint(964, 14) << QRect(0, 64, 1000, 736);
    QTest::newRow("designed size") << true << QSize(598, 399) << QPoint(562, -1) << QRect(0, 64, 598, 335);
    QTest::newRow("tall, title hidden") << false << QSize(640, 1600) << QPoint(604, 42) << QRect(0, 0, 640, 1600);
}

void TestWhiteboard::layoutWithAndWithoutTheTitle()
{
    QFETCH(bool, titleShown);
    QFETCH(QSize, size);
    QFETCH(QPoint, refreshButton);
    QFETCH(QRect, page);

    Whiteboard board;
    if (!titleShown)
        board.hideLessonTitle();
    board.show();
    board.resize(size);
    QTRY_COMPARE(board.size(), size);

    QCOMPARE(board.lessonTitleHeight(), titleShown ? 64 : 0);
    QCOMPARE(board.findChild<QPushButton*>(QStringLiteral("btn_Refresh"))->pos(), refreshButton);
    QCOMPARE(board.findChild<QWebEngineView*>(QStringLiteral("web_view"))->geometry(), page);
    QCOMPARE(board.findChild<QLabel*>(QStringLiteral("default_picture"))->geometry(), page);
    QCOMPARE(board.findChild<PPTFailLoadTips*>()->geometry(), page);
    auto* title = board.findChild<QLabel*>(QStringLiteral("lesson_title"));
    QCOMPARE(title->isVisible(), titleShown);
    QCOMPARE(title->width(), size.width());
}

void TestWhiteboard::freezeFrameCoversThePage()
{
    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(), QStringLiteral("whiteboard")));
    QLabel* cover = page.board.findChild<QLabel*>(QStringLiteral("default_picture"));
    QTRY_VERIFY(!cover->isVisible());
    const QColor header(0x32, 0x45, 0x4F);
    QTRY_COMPARE(page.view()->grab().toImage().pixelColor(10, 10), header); // painted

    page.board.grabImage();
    QVERIFY(cover->isVisible());
    QCOMPARE(cover->geometry(), page.view()->geometry());
    QCOMPARE(cover->pixmap(Qt::ReturnByValue).size(), page.view()->size());
    // The page's header bar, painted in its own colour, is in the frozen picture.
    const QImage frozen = cover->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(frozen.pixelColor(10, 10), header);

    page.board.hideDefaultPicture();
    QVERIFY(!cover->isVisible());
}

void TestWhiteboard::pageReachesOnlyTheBridge()
{
    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));

    // What the page finds on the channel object, by name without signature (the channel script's own helpers
    // aside).
    const QString members = page.evaluate(QStringLiteral(R"((function () {
        var own = ["unwrapQObject", "unwrapProperties", "propertyUpdate", "signalEmitted", "undefined"];
        var names = [];
        Object.getOwnPropertyNames(boardFixture.board).forEach(function (member) {
            var name = member.split("(")[0];
            if (name.indexOf("__") !== 0 && own.indexOf(name) < 0 && names.indexOf(name) < 0)
                names.push(name);
        });
        return names.sort().join(",");
    })())"))
                                .toString();
    QStringList expected{"boardloaded", "JsPostMessage", "objectName", "destroyed", "objectNameChanged", "deleteLater"};
    const QMetaObject& meta = WhiteboardBridge::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        expected.append(QString::fromLatin1(meta.method(i).name()));
    QCOMPARE(expected.size(), 6 + 24);
    const QStringList found = members.split(QLatin1Char(','));
    for (const QString& name : found)
        QVERIFY2(expected.contains(name), qPrintable(QStringLiteral("unexpected on the channel: ") + name));
    for (const QString& name : expected)
        QVERIFY2(found.contains(name), qPrintable(QStringLiteral("missing on the channel: ") + name));

    // Whatever the page tries, the window and the bridge stay.
    page.run(QStringLiteral(R"((function () {
        var o = boardFixture.board;
        ["close", "hide", "setVisible", "showMinimized", "lower", "setEnabled", "deleteLater"].forEach(function (name) {
            try { o[name](false); } catch (e) {}
        });
        try { o.objectName = "renamed"; } catch (e) {}
    })())"));
    QVERIFY(page.settle());
    ZmTest::letTimersFire(200);
    QVERIFY(page.board.isVisible());
    QVERIFY(page.board.isEnabled());
    QVERIFY(page.board.findChild<WhiteboardBridge*>());
    QSignalSpy clicked(&page.board, &Whiteboard::sigWebBtn_Clicked);
    QVERIFY(page.postFromPage(QStringLiteral(R"({"key":"msg-w2n-btn-clicked","domId":"still-here"})")));
    QCOMPARE(clicked.size(), 1);
}

void TestWhiteboard::permissionPolicy_data()
{
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("outcome");

    // Capture is granted: without devices it can only fail for another reason than a refusal.
    QTest::newRow("microphone") << R"(navigator.mediaDevices.getUserMedia({audio: true})
        .then(function () { return "granted"; }, function (e) { return e.name === "NotAllowedError" ? "denied" : "granted"; }))"
                                << "granted";
    QTest::newRow("camera") << R"(navigator.mediaDevices.getUserMedia({video: true})
        .then(function () { return "granted"; }, function (e) { return e.name === "NotAllowedError" ? "denied" : "granted"; }))"
                            << "granted";
    QTest::newRow("notifications") << "Notification.requestPermission()"
                                   << "denied";
    QTest::newRow("location") << R"(new Promise(function (done) {
        navigator.geolocation.getCurrentPosition(function () { done("granted"); },
            function (e) { done(e.code === e.PERMISSION_DENIED ? "denied" : "granted"); });
    }))"
                              << "denied";
}

void TestWhiteboard::permissionPolicy()
{
    QFETCH(QString, probe);
    QFETCH(QString, outcome);

    BoardPage page;
    QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
    page.run(QStringLiteral("Promise.resolve(%1).then(function (r) { boardFixture.report('permission ' + r); })")
                 .arg(probe));
    QVERIFY(page.waitForCall(QStringLiteral("permission ")));
    QCOMPARE(page.log.linesAfter(kCallMarker + QStringLiteral("permission ")), QStringList{outcome});
}

void TestWhiteboard::captureOnlyForTheLoadedPages_data()
{
    QTest::addColumn<QString>("way");  // "frame" of the loaded page, "next" page it went on to, "offline" file loaded
    QTest::addColumn<QString>("host"); // of the probe: the loaded page's, or another site's (same simulator)
    QTest::addColumn<QString>("outcome");

    QTest::newRow("frame of the loaded page's site") << "frame"
                                                     << "127.0.0.1"
                                                     << "granted";
    QTest::newRow("frame of another site") << "frame"
                                           << "localhost"
                                           << "denied";
    QTest::newRow("page of another site the loaded one went on to") << "next"
                                                                    << "localhost"
                                                                    << "denied";
    QTest::newRow("offline page loaded from a file") << "offline" << QString() << "granted";
}

// The pages the program loads get the camera and microphone; a frame of another site or a page of another site
// that the loaded page went on to do not, and each refusal is logged.
void TestWhiteboard::captureOnlyForTheLoadedPages()
{
    QFETCH(QString, way);
    QFETCH(QString, host);
    QFETCH(QString, outcome);

    // The probe asks for the microphone at once; with the fake devices only a refusal reads as "denied".
    const QByteArray probe = R"(<!doctype html><title>probe</title><script>
        navigator.mediaDevices.getUserMedia({audio: true})
            .then(function () { return "granted"; },
                  function (e) { return e.name === "NotAllowedError" ? "denied" : "failed " + e.name; })
            .then(function (r) {
                window.captureResult = r;
                if (window.parent !== window)
                    window.parent.postMessage("capture " + r, "*");
            });
        </script>)";
    Simulator::Route route;
    route.method = QStringLiteral("GET");
    route.path = QStringLiteral("/probe/capture.html");
    route.headers = {{QStringLiteral("Content-Type"), QStringLiteral("text/html")}};
    route.body = probe;
    QVERIFY(m_sim.program(route) > 0);
    QTemporaryDir folder;
    const QString probeFile = folder.filePath(QStringLiteral("capture.html"));
    QVERIFY(ZmTest::writeFile(probeFile, probe));
    const bool offline = way == QLatin1String("offline");
    const QString probeOrigin =
        offline ? QStringLiteral("file://") : QStringLiteral("http://%1:%2").arg(host).arg(m_sim.port());
    const QString probeUrl =
        offline ? QUrl::fromLocalFile(probeFile).toString() : probeOrigin + QStringLiteral("/probe/capture.html");

    BoardPage page;
    QString result;
    const auto pageResult = [&] {
        result = page.evaluate(QStringLiteral("window.captureResult || ''")).toString();
        return !result.isEmpty();
    };
    if (offline) {
        page.board.loadUrl(probeUrl);
        QVERIFY(ZmTest::waitUntil(pageResult, ZmTest::kWaitMs, 50));
    } else {
        QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
        if (way == QLatin1String("frame")) {
            page.run(QStringLiteral(
                         R"(window.addEventListener("message", function (e) { boardFixture.report(String(e.data)); });
                var frame = document.createElement("iframe");
                frame.allow = "microphone; camera";
                frame.src = %1;
                document.body.appendChild(frame);)")
                         .arg(jsString(probeUrl)));
            QVERIFY(page.waitForCall(QStringLiteral("capture ")));
            result = page.log.linesAfter(kCallMarker + QStringLiteral("capture ")).value(0);
        } else {
            page.run(QStringLiteral("location.href = %1;").arg(jsString(probeUrl)));
            QVERIFY(ZmTest::waitUntil(pageResult, ZmTest::kWaitMs, 50));
        }
    }
    QCOMPARE(result, outcome);

    // The answer was the program's: the request reached it, with the probe's origin.
    const QStringList asked = page.log.linesContaining(QStringLiteral("Whiteboard::onFeaturePermissionRequested"));
    QVERIFY2(!asked.isEmpty(), qPrintable(page.log.text().right(3000)));
    const QStringList refusals = page.log.linesContaining(QStringLiteral("denies capture"));
    if (outcome == QLatin1String("denied")) {
        QCOMPARE(refusals.size(), 1);
        QVERIFY2(refusals.first().contains(probeOrigin), qPrintable(refusals.first()));
    } else {
        QVERIFY(refusals.isEmpty());
        QVERIFY2(asked.first().contains(probeOrigin), qPrintable(asked.first()));
    }
}

void TestWhiteboard::screenshots()
{
    BoardPage page;
    page.board.setLessonTitle(QStringLiteral("Unit 3 At the Zoo"));
    page.board.resize(1000, 700);
    QVERIFY(page.open(whiteboardUrl(), QStringLiteral("whiteboard")));
    page.board.showControlPanel(true);
    QVERIFY(page.waitForCall(QStringLiteral("showControlPanel true")));
    QTest::qWait(300);
    ZmTest::saveScreenshot(page.board, QStringLiteral("whiteboard_page"));

    page.board.setLoadFailurePanelVisible(true);
    ZmTest::saveScreenshot(page.board, QStringLiteral("whiteboard_load_failure_panel"));
}

void TestWhiteboard::chineseLanguageSwitchesLocaleAndAcceptLanguage()
{
    const QString localeBefore = QLocale().name();
    for (const QString& language : {QStringLiteral("CN"), QStringLiteral("cn")}) {
        AppGlobalData::instance()->launch.language = language;
        QVERIFY(m_sim.clearRequests());
        BoardPage page;
        QVERIFY(page.open(whiteboardUrl(QStringLiteral("board=never")), QStringLiteral("whiteboard")));
        const QJsonArray requests = m_sim.requests(QStringLiteral("/pages/whiteboard/"));
        QVERIFY(!requests.isEmpty());
        const QString acceptLanguage =
            Simulator::headerOf(requests.first().toObject(), QStringLiteral("Accept-Language"));
        if (language == QLatin1String("cn")) {
            QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
            QVERIFY2(acceptLanguage.startsWith(QLatin1String("zh-CN")), qPrintable(acceptLanguage));
        } else {
            QCOMPARE(QLocale().name(), localeBefore);
            QVERIFY2(!acceptLanguage.startsWith(QLatin1String("zh")), qPrintable(acceptLanguage));
        }
    }
    AppGlobalData::instance()->launch.language = QStringLiteral("en");
}

int main(int argc, char** argv)
{
    ZmTest::prepareEnvironment(true);
    // Fake capture devices: a page's request for the microphone or camera then comes to the program's answer.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + QByteArrayLiteral(" --use-fake-device-for-media-stream"));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWhiteboard test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, ZmTest::testArguments(test, argc, argv));
}

#include "tst_whiteboard.moc"
