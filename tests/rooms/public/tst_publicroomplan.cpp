// The public class room's plan without a window: the entry steps each role runs and the layout of both views.
#include "rooms/public/PublicEntryPlan.h"
#include "rooms/public/PublicRoomLayout.h"

#include "ZmTestMain.h"

using Steps = QVector<unsigned int>;
Q_DECLARE_METATYPE(QMargins)

class TestPublicRoomPlan : public QObject
{
    Q_OBJECT

private slots:
    void stepsByRole_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<unsigned int>("mask");
        QTest::addColumn<Steps>("steps");
        QTest::newRow("teacher") << 2 << 0x3FFu << Steps{1, 2, 4, 8, 16, 512, 32, 256, 64, 128};
        QTest::newRow("student: no camera, no whiteboard") << 1 << 0x2FDu << Steps{1, 4, 8, 16, 512, 32, 64, 128};
        QTest::newRow("auditor: no devices") << 3 << 0x2F1u << Steps{1, 16, 512, 32, 64, 128};
        QTest::newRow("unknown role counts as an auditor") << 0 << 0x2F1u << Steps{1, 16, 512, 32, 64, 128};
    }
    void stepsByRole()
    {
        QFETCH(int, accountType);
        QFETCH(unsigned int, mask);
        QFETCH(Steps, steps);
        QCOMPARE(PublicEntryPlan::pendingMaskFor(accountType), mask);
        QCOMPARE(PublicEntryPlan::pendingSteps(mask), steps);
    }

    // Sizes as a maximised window gets them; the formulas truncate, and a window too small gives empty parts.
    void layout_data()
    {
        QTest::addColumn<bool>("shareView");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("courseware");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<int>("rightPanelHeight");
        QTest::addColumn<int>("userPanelHeight");

        const QMargins normal(30, 40, 30, 30);
        QTest::newRow("normal 1920x1040: height bound")
            << false << QSize(1920, 1040) << QSize(1438, 951) << normal << 951 << 681;
        QTest::newRow("normal 1366x768: width bound")
            << false << QSize(1366, 768) << QSize(956, 654) << normal << 654 << 384;
        QTest::newRow("normal 1024x600") << false << QSize(1024, 600) << QSize(614, 443) << normal << 443 << 173;
        QTest::newRow("normal 300x200: nothing left") << false << QSize(300, 200) << QSize(0, 64) << normal << 64 << 0;

        QTest::newRow("share 1920x1040: centred by the right margin")
            << true << QSize(1920, 1040) << QSize(1692, 951) << QMargins(30, 40, 42, 30) << 0 << 0;
        QTest::newRow("share 1920x1080") << true << QSize(1920, 1080) << QSize(1763, 991) << QMargins(30, 40, 114, 30)
                                         << 0 << 0;
        QTest::newRow("share 1366x768") << true << QSize(1366, 768) << QSize(1208, 679) << QMargins(30, 40, 112, 30)
                                        << 0 << 0;
        QTest::newRow("share 2560x1040: wide sides keep 30")
            << true << QSize(2560, 1040) << QSize(1692, 951) << QMargins(30, 40, 30, 30) << 0 << 0;
        QTest::newRow("share 1200x1040: width bound")
            << true << QSize(1200, 1040) << QSize(1050, 590) << QMargins(30, 40, 120, 30) << 0 << 0;
    }
    void layout()
    {
        QFETCH(bool, shareView);
        QFETCH(QSize, window);
        QFETCH(QSize, courseware);
        QFETCH(QMargins, margins);
        QFETCH(int, rightPanelHeight);
        QFETCH(int, userPanelHeight);
        const PublicRoomLayout layout = PublicRoomLayout::forView(shareView, window);
        QCOMPARE(layout.courseware, courseware);
        QCOMPARE(layout.margins, margins);
        QCOMPARE(layout.rightPanelHeight, rightPanelHeight);
        QCOMPARE(layout.userPanelHeight, userPanelHeight);
    }
};

ZM_TEST_MAIN_CORE(TestPublicRoomPlan)
#include "tst_publicroomplan.moc"
