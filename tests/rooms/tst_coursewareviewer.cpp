// The courseware viewer: the whiteboard page and the shared-desktop surface in one place, the surface's own native
// window, and the room's notices one at a time, queued in order with their gap, placed over the shown view.
#include "Screenshots.h"
#include "ZmTestMain.h"

#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ToastDialog.h"
#include "web/whiteboard/Whiteboard.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QWebEngineView>

namespace {

QLabel* shareSurface(CoursewareViewer& viewer)
{
    return viewer.findChild<QLabel*>(QStringLiteral("share_surface"));
}

ToastDialog* toastOf(CoursewareViewer& viewer)
{
    return viewer.findChild<ToastDialog*>();
}

QString toastText(CoursewareViewer& viewer)
{
    return toastOf(viewer)->findChild<QLabel*>(QStringLiteral("label_text"))->text();
}

// The page the small class loads, straight from the source tree.
QUrl offlinePage()
{
    return QUrl::fromLocalFile(ZmTest::sourceDir() + QStringLiteral("/web/offline/vroom/vroom.html"));
}

} // namespace

class TestCoursewareViewer : public QObject
{
    Q_OBJECT

private slots:
    void oneViewShownAtTheViewersSize();
    void shareSurfaceHasItsOwnWindowAndThePageStillPaints();
    void noticesOneAtATimeInOrder();
    void noticePlacement_data();
    void noticePlacement();
    void screenshot();
};

void TestCoursewareViewer::oneViewShownAtTheViewersSize()
{
    CoursewareViewer viewer;
    viewer.resize(800, 500);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer, ZmTest::kWaitMs));
    Whiteboard* board = viewer.whiteboard();
    QLabel* surface = shareSurface(viewer);
    QVERIFY(board && surface);
    QCOMPARE(viewer.viewMode(), 0);
    QVERIFY(board->isVisible());
    QVERIFY(!surface->isVisible());
    QCOMPARE(board->geometry(), QRect(0, 0, 800, 500));

    viewer.setViewMode(1);
    QVERIFY(!board->isVisible());
    QVERIFY(surface->isVisible());
    QCOMPARE(surface->geometry(), QRect(0, 0, 800, 500)); // at once, not only at the next resize

    viewer.setViewMode(2); // not a mode: nothing changes
    QCOMPARE(viewer.viewMode(), 1);
    QVERIFY(surface->isVisible());
    QVERIFY(!board->isVisible());

    viewer.resize(900, 560);
    QTRY_COMPARE(surface->size(), QSize(900, 560));
    QCOMPARE(board->size(), QSize(800, 500)); // the hidden view keeps its size

    viewer.setViewMode(0);
    QVERIFY(board->isVisible());
    QVERIFY(!surface->isVisible());
    QCOMPARE(board->size(), QSize(900, 560));
}

void TestCoursewareViewer::shareSurfaceHasItsOwnWindowAndThePageStillPaints()
{
    CoursewareViewer viewer;
    viewer.whiteboard()->hideLessonTitle();
    viewer.resize(640, 400);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer, ZmTest::kWaitMs));
    const WId surface = viewer.shareSurfaceWinId();
    QVERIFY(surface != 0);
    QVERIFY(surface != viewer.winId());
    QCOMPARE(surface, shareSurface(viewer)->winId());

    // The page keeps painting on screen beside the native surface: its header colour is there.
    viewer.whiteboard()->loadUrl(offlinePage().toString());
    QScreen* screen = viewer.screen();
    const QPoint corner = viewer.mapToGlobal(QPoint(10, 10));
    QTRY_COMPARE(screen->grabWindow(0, corner.x(), corner.y(), 1, 1).toImage().pixelColor(0, 0),
                 QColor(0x32, 0x45, 0x4F));
}

void TestCoursewareViewer::noticesOneAtATimeInOrder()
{
    CoursewareViewer viewer;
    viewer.resize(800, 500);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer, ZmTest::kWaitMs));
    ToastDialog* toast = toastOf(viewer);
    QVERIFY(toast && toast->isHidden());

    viewer.showToast(0, QStringLiteral("first"));
    QVERIFY(toast->isVisible());
    QCOMPARE(toastText(viewer), QStringLiteral("first"));
    viewer.showToast(1, QStringLiteral("second"));
    viewer.showToast(2, QStringLiteral("third"));
    QCOMPARE(toastText(viewer), QStringLiteral("first")); // queued, not shown over it

    QStringList shown{toastText(viewer)};
    for (int step = 0; step < 2; ++step) {
        // The toast's own 3000 ms timer ends a notice with hideToast(); the next follows after the gap.
        QElapsedTimer gap;
        gap.start();
        toast->hideToast();
        QVERIFY(toast->isHidden());
        if (step == 0)
            viewer.showToast(0, QStringLiteral("fourth")); // during the gap: queued behind the others
        QTRY_VERIFY(toast->isVisible());
        QVERIFY2(gap.elapsed() >= 500, qPrintable(QString::number(gap.elapsed())));
        shown.append(toastText(viewer));
    }
    toast->hideToast();
    QTRY_VERIFY(toast->isVisible());
    shown.append(toastText(viewer));
    QCOMPARE(shown, (QStringList{"first", "second", "third", "fourth"}));

    // With nothing queued the sequence ends; the next notice shows at once once the gap is over.
    toast->hideToast();
    ZmTest::letTimersFire(700);
    QVERIFY(toast->isHidden());
    viewer.showToast(0, QStringLiteral("fifth"));
    QVERIFY(toast->isVisible());
    QCOMPARE(toastText(viewer), QStringLiteral("fifth"));
}

void TestCoursewareViewer::noticePlacement_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("y");

    QTest::newRow("whiteboard under a title") << 0 << true << 1000 << "Network connection success." << 42;
    QTest::newRow("whiteboard without a title") << 0 << false << 1000 << "Broken network, reconnecting..." << 10;
    QTest::newRow("shared desktop") << 1 << true << 1000 << "Micphone is turned off" << 10;
    QTest::newRow("wider than the viewer")
        << 1 << true << 160 << "Microphone is temporarily disabled while playing video" << 10;
}

void TestCoursewareViewer::noticePlacement()
{
    QFETCH(int, mode);
    QFETCH(bool, title);
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(int, y);

    CoursewareViewer viewer;
    if (!title)
        viewer.whiteboard()->hideLessonTitle();
    viewer.setViewMode(mode);
    viewer.move(200, 150);
    viewer.resize(width, 500);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer, ZmTest::kWaitMs));

    viewer.showToast(0, text);
    ToastDialog* toast = toastOf(viewer);
    const int x = (width - toast->width()) / 2;
    QCOMPARE(toast->pos(), viewer.mapToGlobal(QPoint(x, y)));
    if (toast->width() > width) {
        QVERIFY(x < 0); // sticks out on both sides alike
        QVERIFY(qAbs(toast->geometry().center().x() - viewer.geometry().center().x()) <= 1);
    }
}

void TestCoursewareViewer::screenshot()
{
    CoursewareViewer viewer;
    viewer.whiteboard()->setLessonTitle(QStringLiteral("Unit 3 At the Zoo"));
    viewer.move(100, 100);
    viewer.resize(1000, 640);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer, ZmTest::kWaitMs));
    QSignalSpy buffered(viewer.whiteboard(), &Whiteboard::sigWhiteboardBufferFinished);
    viewer.whiteboard()->loadUrl(offlinePage().toString());
    QTRY_COMPARE(buffered.size(), 1);
    viewer.showToast(0, QStringLiteral("Network connection success."));
    QTest::qWait(500);

    // The notice is a window of its own: the picture is taken from the screen.
    const QRect area(viewer.mapToGlobal(QPoint(0, 0)), viewer.size());
    const QPixmap picture = viewer.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
    QVERIFY(picture.save(ZmTest::screenshotPath(QStringLiteral("courseware_viewer")), "PNG"));
}

ZM_TEST_MAIN(TestCoursewareViewer)
#include "tst_coursewareviewer.moc"
