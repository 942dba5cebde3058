// The program's flow around its main window, in one process as main() assembles it, with the application's own event
// loop: how each way of ending leaves the loop (the program's exit code).
#include "HomePageTestSupport.h"
#include "LogCapture.h"
#include "ZmTestMain.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"
#include "web/ZmMainRoomDlg.h"
#include "web/ZmRouteManager.h"

#include <QPointer>
#include <QTimer>

#include <functional>

namespace {

constexpr int kNoEnd = 99;

// A router whose class room (2) and replay (5) rows are plain windows; the log upload and keep-awake are left out.
class PlainRowsRouter : public ZmRouteManager
{
public:
    PlainRowsRouter()
    {
        for (int status : {int(AppStartStatus_NormalClassRoom), int(AppStartStatus_NormalClassReplay)}) {
            ZmWindowRoute row;
            row.open = [status](ZmRouteManager& router) {
                auto* window = new QWidget;
                window->resize(300, 200);
                window->show();
                router.setRoutedWindow(status, window);
                return true;
            };
            row.close = [status](ZmRouteManager& router) {
                QWidget* window = qobject_cast<QWidget*>(router.routedWindow(status));
                if (!window)
                    return false;
                window->close();
                delete window;
                router.setRoutedWindow(status, nullptr);
                return true;
            };
            setWindowRoute(status, row);
        }
    }

protected:
    void afterClassRoomClosed() override {}
    void setSleepBlocked(bool) override {}
};

// Runs the application's event loop as main() does until something ends it; kNoEnd when nothing did within a minute.
int runEventLoop(const std::function<void()>& whenRunning)
{
    QTimer::singleShot(0, qApp, whenRunning);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kNoEnd); });
    guard.start(60000);
    return QApplication::exec();
}

void post(int status)
{
    ZmRouteManager::postAppStatusEvent(status);
    QCoreApplication::sendPostedEvents(ZmRouteManager::current());
}

} // namespace

class TestHomeFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        UrlConfig::instance();
        QVERIFY(HomePageTest::installOfflineResources());
    }

    // How the program ends: the main window's close and a class room's end in a lesson start close the last window
    // (0); a replay's end in a replay start ends the program (0); a lesson package given up in a lesson start ends it
    // with -1.
    void exitCodes_data()
    {
        QTest::addColumn<int>("appType");
        QTest::addColumn<int>("status"); // the window shown before the end
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("main window closed") << int(AppType_None) << 1 << "code 2" << 0;
        QTest::newRow("class room ends a lesson start") << int(AppType_JoinClass) << 2 << "code 0" << 0;
        QTest::newRow("replay ends a replay start") << int(AppType_Playback) << 5 << "code 1" << 0;
        QTest::newRow("package given up in a lesson start") << int(AppType_JoinClass) << 2 << "package" << -1;
    }

    void exitCodes()
    {
        QFETCH(int, appType);
        QFETCH(int, status);
        QFETCH(QString, end);
        AppGlobalData::instance()->launch.appType = appType;
        ZmTest::LogCapture log;
        PlainRowsRouter router;
        post(status);
        QCOMPARE(router.currentStatus(), status);
        const int code = end.startsWith("code ") ? end.mid(5).toInt() : -1;
        const int result = runEventLoop([&router, code] {
            if (code >= 0)
                ZmRouteManager::postAppEvent(code);
            else
                router.slotOfflineResDownloadUserCallOff(nullptr);
        });
        QTEST(result, "exitCode");
        if (status == AppStartStatus_MainRoom)
            QVERIFY(router.mainRoom() && !router.mainRoom()->isVisible());
        AppGlobalData::instance()->launch.appType = AppType_None;
    }
};

ZM_TEST_MAIN(TestHomeFlow)
#include "tst_homeflow.moc"
