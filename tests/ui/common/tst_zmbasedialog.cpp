#include "ui/common/MyTitleBar.h"
#include "ui/common/NetworkTipsDlg.h"
#include "ui/common/ZmBaseDialog.h"

#include "app/ConfigManager.h"

#include "ZmTestMain.h"

#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace {

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestZmBaseDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::primaryScreen());
        ConfigManager::instance()->ini_SetParam_Int("AppInfo/I_KnowFeedback", 1);
    }

    // The rules on given desktop areas.
    void geometryRules_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("normal");
        QTest::addColumn<QSize>("clamped");
        QTest::addColumn<QRect>("maximized");
        QTest::addColumn<QPoint>("restored");
        QTest::newRow("1280x720") << QRect(0, 0, 1280, 720) << QSize(1366, 768) << QSize(1280, 720)
                                  << QRect(0, 0, 1280, 719) << QPoint(0, 0);
        QTest::newRow("1920x1040") << QRect(0, 0, 1920, 1040) << QSize(1366, 768) << QSize(1366, 768)
                                   << QRect(0, 0, 1920, 1039) << QPoint(277, 136);
        QTest::newRow("narrow only") << QRect(0, 0, 1024, 900) << QSize(1366, 768) << QSize(1024, 768)
                                     << QRect(0, 0, 1024, 899) << QPoint(0, 66);
        QTest::newRow("short only") << QRect(0, 0, 1600, 700) << QSize(1366, 768) << QSize(1366, 700)
                                    << QRect(0, 0, 1600, 699) << QPoint(117, 0);
        QTest::newRow("taskbar on top") << QRect(0, 40, 1920, 1040) << QSize(1366, 768) << QSize(1366, 768)
                                        << QRect(0, 40, 1920, 1039) << QPoint(277, 136);
        QTest::newRow("taskbar on the left") << QRect(60, 0, 1860, 1080) << QSize(1366, 768) << QSize(1366, 768)
                                             << QRect(60, 0, 1860, 1079) << QPoint(247, 156);
        QTest::newRow("odd difference truncates")
            << QRect(0, 0, 1367, 769) << QSize(1366, 768) << QSize(1366, 768) << QRect(0, 0, 1367, 768) << QPoint(0, 0);
    }

    // restored: the clamped normal size centred on the area.
    void geometryRules()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, normal);
        QFETCH(QSize, clamped);
        QFETCH(QRect, maximized);
        QFETCH(QPoint, restored);
        QCOMPARE(ZmBaseDialog::clampedNormalSize(normal, area), clamped);
        QCOMPARE(ZmBaseDialog::maximizedGeometry(area), maximized);
        QCOMPARE(ZmBaseDialog::restoredPosition(clamped, area), restored);
    }

    // A real window on this screen: each step is checked against the screen's available area.
    void windowOnTheScreen_data()
    {
        QTest::addColumn<QSize>("normalSet"); // invalid: the default
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("maximise") << QSize() << QStringList{"max"};
        QTest::newRow("restore") << QSize() << QStringList{"restore"};
        QTest::newRow("maximise, restore") << QSize() << QStringList{"max", "restore"};
        QTest::newRow("restore, maximise") << QSize() << QStringList{"restore", "max"};
        QTest::newRow("title bar buttons") << QSize() << QStringList{"maxButton", "restoreButton", "maxButton"};
        QTest::newRow("main window size") << QSize(1280, 800) << QStringList{"restore", "max", "restore"};
        QTest::newRow("small size") << QSize(640, 480) << QStringList{"restore"};
    }

    void windowOnTheScreen()
    {
        QFETCH(QSize, normalSet);
        QFETCH(QStringList, steps);
        const QRect area = available();

        ZmBaseDialog dialog;
        QCOMPARE(dialog.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
        QVERIFY(!dialog.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(dialog.normalSize(), QSize(qMin(1366, area.width()), qMin(768, area.height())));
        if (normalSet.isValid())
            dialog.setNormalSize(normalSet.width(), normalSet.height());
        const QSize normal = dialog.normalSize();
        MyTitleBar* bar = dialog.titleBar();
        QCOMPARE(bar->pos(), QPoint(0, 0));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));

        for (const QString& step : steps) {
            bool filling = step.startsWith("max");
            if (step == "max")
                dialog.onButtonMaxClicked();
            else if (step == "restore")
                dialog.onButtonRestoreClicked();
            else if (auto* button = bar->findChild<QPushButton*>(filling ? "ButtonMax" : "ButtonRestore"))
                button->click();
            else
                QFAIL("the title bar has no maximise or restore button");
            // The window system confirms the new geometry in its own time.
            if (filling) {
                QTRY_COMPARE(dialog.pos(), area.topLeft());
                QTRY_COMPARE(dialog.size(), QSize(area.width(), area.height() - 1));
            } else {
                QTRY_COMPARE(dialog.pos(),
                             QPoint((area.width() - normal.width()) / 2, (area.height() - normal.height()) / 2));
                QTRY_COMPARE(dialog.size(), normal);
            }
            // Fixed: the user cannot resize it.
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QCOMPARE(bar->width(), dialog.width());
        }
    }

    void minimise_data()
    {
        QTest::addColumn<bool>("tool");
        QTest::newRow("tool window hides") << true;
        QTest::newRow("plain window minimises") << false;
    }

    void minimise()
    {
        QFETCH(bool, tool);
        ZmBaseDialog dialog;
        if (tool)
            dialog.setWindowFlags(dialog.windowFlags() | Qt::Tool);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        auto* minimise = dialog.titleBar()->findChild<QPushButton*>("ButtonMin");
        QVERIFY(minimise);
        minimise->click();
        if (tool) {
            QVERIFY(dialog.isHidden());
            QVERIFY(!dialog.isMinimized());
        } else {
            QVERIFY(dialog.isMinimized());
        }
    }

    void closeSlotCloses()
    {
        ZmBaseDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        connect(dialog.titleBar(), SIGNAL(signalButtonCloseClicked()), &dialog, SLOT(onTitleCloseBtnClicked()));
        auto* close = dialog.titleBar()->findChild<QPushButton*>("ButtonClose");
        QVERIFY(close);
        close->click();
        QVERIFY(!dialog.isVisible());
    }

    void networkButtonOpensTheTips()
    {
        ZmBaseDialog dialog;
        dialog.titleBar()->showNetworkButton();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        auto* network = dialog.titleBar()->findChild<QToolButton*>("ButtonNetwork");
        QVERIFY(network);
        network->click();
        QPointer<NetworkTipsDlg> tips = dialog.findChild<NetworkTipsDlg*>();
        QVERIFY(tips);
        QCOMPARE(tips->parentWidget(), &dialog);
        QVERIFY(tips->isVisible());
        QVERIFY(tips->isModal());
        tips->reject();
        QTRY_VERIFY(tips.isNull());
    }

    void paintsItsBackground()
    {
        ZmBaseDialog dialog;
        dialog.setBackgroundColor(QColor(36, 49, 56));
        QCOMPARE(dialog.backgroundColor(), QColor(36, 49, 56));
        dialog.onButtonRestoreClicked();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        const QImage shot = dialog.grab().toImage();
        QCOMPARE(QColor(shot.pixel(10, shot.height() - 10)), QColor(36, 49, 56));
        QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(36, 49, 56));
    }
};

ZM_TEST_MAIN(TestZmBaseDialog)
#include "tst_zmbasedialog.moc"
