// The small-class replay window with the real browser and the installed small-class page: the page address, the
// entry run started once at full width, the page's requests and buttons, the held child dialogs, the processor
// load notice, and every way out, up to the window router closing it.
#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/ZmAppEvents.h"
#include "net/packages/OfflineLessonResManager.h"
#include "replay/windows/SmallClassReplay.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/MyTitleBar.h"
#include "web/whiteboard/Whiteboard.h"

#include "DialogAnswerer.h"
#include "FeedbackSimulator.h"
#include "LogCapture.h"
#include "ReplayWindowSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

using ZmTest::LogCapture;
using ZmTest::RecordingRouter;

namespace {

const QString kCallMarker = QStringLiteral("Whiteboard W2N_Msg_Log ( info ) : ");
const QString kLessonId = QStringLiteral("880213");

// Stretched over the desktop, its entry run done.
struct LoadedReplay
{
    LogCapture log;
    SmallClassReplay window;
    QSignalSpy ended{&window, &SmallClassReplay::sig_initTasks_ended};

    bool load()
    {
        window.showMax();
        return ended.wait(ZmTest::kWaitMs) && ended.size() == 1 && ended.at(0).at(0).toInt() == 0;
    }
};

} // namespace

class TestSmallClassReplay : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    RecordingRouter* m_router = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        // The installed small-class page and the lesson's offline folder.
        const QString page = ConfigManager::instance()->getOfflineRoomPage();
        QVERIFY(QDir().mkpath(QFileInfo(page).path()));
        for (const char* name : {"vroom.html", "boardpage.js"}) {
            const QString target = QFileInfo(page).path() + "/" + name;
            QFile::remove(target);
            QVERIFY(QFile::copy(ZmTest::sourceDir() + "/web/offline/vroom/" + name, target));
        }
        QVERIFY(QDir().mkpath(OfflineLessonResManager::offlineLessonDir() + "/" + kLessonId));
        Whiteboard::setStopAllWaitForTesting(200);
        m_router = new RecordingRouter;
    }

    void cleanupTestCase() { delete m_router; }

    void init()
    {
        m_router->codes.clear();
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.appType = AppType_Playback;
        data->launch.userId = QStringLiteral("100234");
        data->launch.token = QStringLiteral("token-1");
        data->launch.language = QStringLiteral("en");
        data->lesson.lessonId = kLessonId;
        data->lesson.periodId = QStringLiteral("20240611093");
        data->lesson.lessonName = QStringLiteral("Unit 3 At the Zoo");
    }

    // A file address with every query value encoded, the language as the page knows it, and "&isReplay=1" last.
    void pageAddress_data()
    {
        QTest::addColumn<int>("userId");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("pageLanguage");

        QTest::newRow("English") << 100234 << "token-1"
                                 << "en"
                                 << "en";
        QTest::newRow("Chinese") << 100234 << "token-1"
                                 << "cn"
                                 << "zh-CN";
        QTest::newRow("other languages are English") << 100234 << "token-1"
                                                     << "fr"
                                                     << "en";
        QTest::newRow("nobody signed in") << -1 << ""
                                          << "en"
                                          << "en";
        QTest::newRow("a token with query characters") << 7 << "a&b=c d+%/?"
                                                       << "en"
                                                       << "en";
    }

    void pageAddress()
    {
        QFETCH(int, userId);
        QFETCH(QString, token);
        QFETCH(QString, language);
        QFETCH(QString, pageLanguage);

        const QString folder = QStringLiteral("/data/offline lessons/880213");
        const QString address = SmallClassReplay::replayPageAddress(
            QStringLiteral("/opt/zm/vroom/vroom.html"), folder, "2024 06#11", userId, token, "production", language);
        QVERIFY(address.endsWith(QStringLiteral("&isReplay=1")));
        const QUrl url(address, QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(address));
        QCOMPARE(url.scheme(), QStringLiteral("file"));
        QCOMPARE(url.toLocalFile(), QStringLiteral("/opt/zm/vroom/vroom.html"));
        const QUrlQuery query(url);
        const auto value = [&query](const char* name) {
            return query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded);
        };
        QCOMPARE(query.queryItems().size(), 7);
        QCOMPARE(value("periodId"), QStringLiteral("2024 06#11"));
        QCOMPARE(value("userId"), QString::number(userId));
        QCOMPARE(value("token"), token);
        QCOMPARE(value("mode"), QStringLiteral("production"));
        QCOMPARE(QUrl(value("ppt_path")).toLocalFile(), folder);
        QCOMPARE(value("language"), pageLanguage);
        QCOMPARE(value("isReplay"), QStringLiteral("1"));

        // Without installed offline resources the address is the query alone.
        QVERIFY(
            SmallClassReplay::replayPageAddress({}, folder, "1", 1, "t", "production", "en").startsWith("?periodId="));
    }

    // The entry run starts once, shortly after the window is first stretched over the whole width; it loads the
    // installed page and then serves its environment request and buttons.
    void entryRunsOnceAtFullWidthAndServesThePage()
    {
        LoadedReplay replay;
        replay.window.resize(900, 600);
        replay.window.show();
        ZmTest::letTimersFire(300);
        QCOMPARE(replay.ended.size(), 0);
        QVERIFY(!replay.window.isEntryRunning());

        QVERIFY(replay.load());
        QVERIFY(!replay.window.isEntryRunning());
        const QStringList loaded = replay.log.linesContaining(QStringLiteral("Whiteboard url = "));
        QCOMPARE(loaded.size(), 1);
        QVERIFY(loaded.first().contains(QStringLiteral("vroom.html?periodId=20240611093&userId=100234&")));
        QVERIFY(loaded.first().contains(QStringLiteral("&isReplay=1")));
        // The page asks for the environment once it is attached.
        QVERIFY(replay.log.waitFor(kCallMarker + QStringLiteral("passMessage {\"appVersion\"")));
        const QString environment = replay.log.linesContaining(QStringLiteral("msg-n2w-post-env")).value(0);
        QVERIFY(environment.contains(QStringLiteral("\"deviceUid\"")));
        QVERIFY(environment.contains(QStringLiteral("\"systemVersion\"")));

        // A second full-width resize starts nothing.
        replay.window.resize(900, 600);
        replay.window.showMax();
        ZmTest::letTimersFire(300);
        QCOMPARE(replay.ended.size(), 1);

        // Buttons: only "reset" (reload) and "feedback" do something.
        QSignalSpy loadStarts(replay.window.whiteboard(), &Whiteboard::sigWebEngineLoadStarted);
        for (const char* ignored : {"setting", "Reset", "RESET", "", "share"})
            emit replay.window.whiteboard()->sigWebBtn_Clicked(QLatin1String(ignored));
        ZmTest::letTimersFire(200);
        QVERIFY(replay.log.linesContaining(QStringLiteral("Whiteboard::reloadPage")).isEmpty());
        QCOMPARE(loadStarts.size(), 0);
        QVERIFY(!replay.window.curModalDialog());
        emit replay.window.whiteboard()->sigWebBtn_Clicked(QStringLiteral("reset"));
        QTRY_COMPARE(loadStarts.size(), 1);
    }

    // The feedback form, submitted with nothing checked, sends two empty texts and is replaced by the
    // acknowledgement, or, when the service refuses it, by the failure notice.
    void feedbackIsSubmittedAndAcknowledged_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::newRow("taken") << false;
        QTest::newRow("refused") << true;
    }

    void feedbackIsSubmittedAndAcknowledged()
    {
        QFETCH(bool, refused);
        if (refused)
            QVERIFY(FeedbackSimulator::programSubmissionReply(m_sim, "{\"TagCode\":\"1001\"}", 200, 1));
        LoadedReplay replay;
        QVERIFY(replay.load());
        QVERIFY(m_sim.clearRequests());
        emit replay.window.whiteboard()->sigWebBtn_Clicked(QStringLiteral("feedback"));
        QPointer<FeedbackOnlineDlg> form = qobject_cast<FeedbackOnlineDlg*>(replay.window.curModalDialog());
        QVERIFY(form && form->isVisible());

        form->done(1);
        const QJsonArray submitted = m_sim.numberedRequests(QStringLiteral("10000301"));
        QCOMPARE(submitted.size(), 1);
        QCOMPARE(ZmTest::Simulator::paramOf(submitted.first().toObject(), "common"), QString());
        QCOMPARE(ZmTest::Simulator::paramOf(submitted.first().toObject(), "other"), QString());
        if (refused)
            QTRY_VERIFY(qobject_cast<ConfigeTipDlg*>(replay.window.curModalDialog()));
        else
            QTRY_VERIFY(qobject_cast<FeedbackReceivedDlg*>(replay.window.curModalDialog()));
        QVERIFY(replay.window.curModalDialog()->isVisible());
        QTRY_VERIFY(!form);
    }

    // Notices: the device notice names the devices; the processor notice comes after eight high samples in a row,
    // once in the window's life.
    void noticesAreHeldOneAtATime()
    {
        LoadedReplay replay;
        QVERIFY(replay.load());

        replay.window.popupNotRecommendDlg(NotRecommendDeviceType(0));
        QVERIFY(!replay.window.curModalDialog());
        replay.window.popupNotRecommendDlg(NotRecommendDeviceType(NotRecommend_Camera | NotRecommend_Speaker));
        QPointer<CancelOkWarningDlg> device = qobject_cast<CancelOkWarningDlg*>(replay.window.curModalDialog());
        QVERIFY(device);
        QStringList texts;
        for (QLabel* label : device->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY2(texts.contains(QStringLiteral(
                     "The device (camera,speaker) may affect classes. Please replace the new device in time.")),
                 qPrintable(texts.join('|')));

        QList<int> samples{70, 71, 90, 70, 70, 70, 70, 69, 70, 70, 70, 70, 70, 70, 70};
        replay.window.setCpuUsageSourceForTesting([&samples] { return samples.isEmpty() ? 99 : samples.takeFirst(); });
        for (int i = 0; i < 15; ++i)
            replay.window.onTimerCpuUsage();
        QCOMPARE(replay.window.cpuOverloadCount(), 7);
        QCOMPARE(replay.window.curModalDialog(), device.data());
        replay.window.onTimerCpuUsage();
        QCOMPARE(replay.window.cpuOverloadCount(), -1);
        auto* cpu = qobject_cast<CancelOkWarningDlg*>(replay.window.curModalDialog());
        QVERIFY(cpu && cpu != device);
        QTRY_VERIFY(!device);
        for (int i = 0; i < 20; ++i)
            replay.window.onTimerCpuUsage();
        QCOMPARE(replay.window.curModalDialog(), cpu);
    }

    // While the entry run goes, dialogs are refused; the exit question is not.
    void dialogsAreRefusedDuringTheEntryRun()
    {
        SmallClassReplay window;
        QSignalSpy ended(&window, &SmallClassReplay::sig_initTasks_ended);
        // The run waits in a nested event loop: the test acts from a timer inside it.
        bool refused = false;
        bool asked = false;
        QTimer during;
        connect(&during, &QTimer::timeout, [&] {
            if (!window.isEntryRunning() || asked)
                return;
            window.popupNotRecommendDlg(NotRecommend_Microphone);
            refused = window.curModalDialog() == nullptr;
            window.onTitleCloseBtnClicked();
            auto* question = qobject_cast<CancelOkWarningDlg*>(window.curModalDialog());
            asked = question != nullptr;
            if (question)
                question->done(CancelOkWarningDlg::ResultCancel);
        });
        during.start(5);
        window.showMax();
        QVERIFY(ended.wait(ZmTest::kWaitMs));
        QVERIFY(asked);
        QVERIFY(refused);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(m_router->codes, QList<int>{});
    }

    // The ways out: the exit question's OK, the page's own close request; Cancel, the question's close button and
    // a close request of the window change nothing.
    void waysOut_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");

        QTest::newRow("title bar, OK") << "title" << 2621 << true;
        QTest::newRow("back button, OK") << "back" << 2621 << true;
        QTest::newRow("title bar, Cancel") << "title" << 2622 << false;
        QTest::newRow("title bar, closed") << "title" << 0 << false;
        QTest::newRow("window close request, OK") << "close" << 2621 << true;
        QTest::newRow("window close request, Cancel") << "close" << 2622 << false;
        QTest::newRow("the page asks to close") << "page" << 0 << true;
    }

    void waysOut()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, ends);

        LoadedReplay replay;
        QVERIFY(replay.load());
        UserInfo member;
        member.userId = QStringLiteral("100871");
        AppGlobalData::instance()->addUser(member);
        if (how == "page") {
            emit replay.window.whiteboard()->sigWebCloseWindow();
        } else {
            if (how == "title")
                emit replay.window.titleBar()->signalButtonCloseClicked();
            else if (how == "back")
                emit replay.window.titleBar()->signalButtonBackClicked();
            else
                QVERIFY(!replay.window.close());
            QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(replay.window.curModalDialog()));
            QVERIFY(replay.window.isVisible());
            replay.window.curModalDialog()->done(answer);
        }
        ZmTest::letTimersFire(20);
        QTRY_COMPARE(m_router->codes, ends ? QList<int>{1} : QList<int>{});
        QCOMPARE(replay.window.isExiting(), ends);
        QCOMPARE(AppGlobalData::instance()->memberMap()->isEmpty(), ends);
        QVERIFY(replay.window.isVisible());
        // Once ending, a close request closes.
        if (ends)
            QVERIFY(replay.window.close());
        AppGlobalData::instance()->clearUsers();
    }

    // A page that does not load ends the replay once the user gives up the retry.
    void failedEntryEndsTheReplay()
    {
        const QString page = ConfigManager::instance()->getOfflineRoomPage();
        const QString kept = page + ".kept";
        QVERIFY(QFile::rename(page, kept));
        SmallClassReplay window;
        QSignalSpy ended(&window, &SmallClassReplay::sig_initTasks_ended);
        // Gives up ("Close") at the first retry question.
        DialogAnswerer answerer;
        window.showMax();
        const bool gotEnd = ended.wait(90000);
        QVERIFY(QFile::rename(kept, page));
        QVERIFY(gotEnd);
        QVERIFY(ended.at(0).at(0).toInt() != 0);
        QTRY_COMPARE(m_router->codes, QList<int>{1});
        QVERIFY(window.isExiting());
    }

    // Without the lesson's offline folder no run starts and nothing is posted.
    void noOfflineFolderNoRun()
    {
        AppGlobalData::instance()->lesson.lessonId = QStringLiteral("no-such-lesson");
        SmallClassReplay window;
        QVERIFY(!window.initTasks());
        QVERIFY(!window.isEntryRunning());
        ZmTest::letTimersFire(50);
        QCOMPARE(m_router->codes, QList<int>{});
    }

    // Status 7 through the router's row: the window opens maximised, loads, and the page's close request ends a
    // replay started for itself: the router closes the window and ends the program.
    void routerOpensAndClosesTheSmallClassReplay()
    {
        ZmTest::ReplayRowsRouter router;
        router.post(new ZmAppStatusEvent(AppStartStatus_SmallClassReplay));
        QCOMPARE(router.currentStatus(), int(AppStartStatus_SmallClassReplay));
        QPointer<SmallClassReplay> window = ZmTest::topLevelWindow<SmallClassReplay>();
        QVERIFY(window && window->isVisible());
        QSignalSpy ended(window.data(), &SmallClassReplay::sig_initTasks_ended);
        QVERIFY(ended.wait(ZmTest::kWaitMs));

        emit window->whiteboard()->sigWebCloseWindow();
        QTRY_COMPARE(router.programEnds, QList<int>{0});
        QTRY_VERIFY(!window);
    }
};

ZM_TEST_MAIN(TestSmallClassReplay)
#include "tst_smallclassreplay.moc"
