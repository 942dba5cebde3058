#include "ui/common/MyTitleBar.h"
#include "ui/common/ZmBaseDialog.h"

#include "app/ConfigManager.h"

#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QSignalBlocker>

// Renders the title bar of a room window in each buttons mode to PNGs under <build>/screenshots/.
class TestTitleBarScreenshots : public QObject
{
    Q_OBJECT

private:
private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
        ConfigManager::instance()->ini_SetParam_Int("AppInfo/I_KnowFeedback", 1);
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("filling");
        QTest::addColumn<int>("cpu");
        QTest::addColumn<int>("rx");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << false << 23 << 1 << "MyTitleBar_mode0";
        QTest::newRow("1") << 1 << false << 55 << 3 << "MyTitleBar_mode1";
        QTest::newRow("1 filling") << 1 << true << 91 << 6 << "MyTitleBar_mode1_maximized";
        QTest::newRow("2") << 2 << false << 12 << 0 << "MyTitleBar_mode2";
    }

    void modes()
    {
        QFETCH(int, mode);
        QFETCH(bool, filling);
        QFETCH(int, cpu);
        QFETCH(int, rx);
        QFETCH(QString, name);

        ZmBaseDialog window;
        window.setBackgroundColor(QColor(36, 49, 56));
        window.setNormalSize(1366, 120);
        window.onButtonRestoreClicked();
        MyTitleBar* bar = window.titleBar();
        bar->setWindowButtonsMode(mode);
        bar->setTitleText("Unit 3 - At the Zoo");
        bar->setPeriodId("1048576");
        bar->setCpuUsageVisible(true);
        bar->setCpuUsage(cpu);
        bar->showNetworkButton();
        bar->setNetworkQuality(0, rx);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        if (filling) {
            // The buttons in the filling state over a window kept at its size: the picture stays small, and no
            // resize is left for the window system to confirm while the bar is grabbed.
            const QSignalBlocker keepSize(bar);
            bar->setMaximizedState();
        }
        QCoreApplication::processEvents();
        const QPixmap shot = window.grab(bar->geometry());
        QCOMPARE(shot.size(), QSize(1366, 46));
        const QString path = ZmTest::screenshotPath(name);
        QVERIFY2(shot.save(path, "PNG"), qPrintable(path));
    }
};

ZM_TEST_MAIN(TestTitleBarScreenshots)
#include "tst_titlebarscreenshots.moc"
