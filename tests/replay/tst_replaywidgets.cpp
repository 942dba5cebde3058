#include "replay/vlc/VlcWidgetVideo.h"
#include "replay/widgets/ReplayerOverlapWidget.h"
#include "replay/widgets/VideoReplayWidget.h"

#include "ZmTestMain.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QWindow>

namespace {

QLabel* userImage(VideoReplayWidget& tile)
{
    return tile.findChild<QLabel*>(QStringLiteral("user_image"));
}

QLabel* userName(VideoReplayWidget& tile)
{
    return tile.findChild<QLabel*>(QStringLiteral("user_name"));
}

bool near(QRgb pixel, QColor expected, int tolerance = 3)
{
    return qAbs(qRed(pixel) - expected.red()) <= tolerance && qAbs(qGreen(pixel) - expected.green()) <= tolerance &&
           qAbs(qBlue(pixel) - expected.blue()) <= tolerance;
}

} // namespace

class TestReplayWidgets : public QObject
{
    Q_OBJECT

private slots:
    void tileKeepsAFourByThreeAreaAsWideAsItself_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("area");

        QTest::newRow("4:3") << QSize(800, 600) << QRect(0, 0, 800, 600);
        QTest::newRow("wider: cut at top and bottom") << QSize(800, 500) << QRect(0, -50, 800, 600);
        QTest::newRow("taller: bands above and below") << QSize(400, 400) << QRect(0, 50, 400, 300);
        QTest::newRow("odd sizes round toward zero") << QSize(490, 387) << QRect(0, 10, 490, 367);
    }

    void tileKeepsAFourByThreeAreaAsWideAsItself()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, area);

        QWidget window;
        auto* tile = new VideoReplayWidget(&window);
        tile->setUserName(QStringLiteral("Teacher Anna"));
        window.show();
        tile->resize(size);
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));

        // The parts are native windows: the window system's reports of their earlier geometry may still come in.
        QTRY_COMPARE(userImage(*tile)->geometry(), area);
        QTRY_COMPARE(tile->videoSurface()->geometry(), area);
        QLabel* badge = userName(*tile);
        QCOMPARE(badge->size(), badge->sizeHint());
        QTRY_COMPARE(badge->pos(), QPoint(area.right() - 10 - badge->width(), area.bottom() - 10 - badge->height()));
    }

    void badgeShowsTheTrimmedNameAndAnEmptyOneHidesItForGood()
    {
        QWidget window;
        auto* tile = new VideoReplayWidget(&window);
        tile->resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        QLabel* badge = userName(*tile);

        tile->setUserName(QStringLiteral("  Teacher Anna \t"));
        QCOMPARE(badge->text(), QStringLiteral("Teacher Anna"));
        QCOMPARE(badge->property("opacity").toInt(), 1);
        QVERIFY(badge->isVisible());
        QTRY_COMPARE(badge->x(), 799 - 10 - badge->width());

        tile->setUserName(QStringLiteral("   "));
        QCOMPARE(badge->text(), QString());
        QCOMPARE(badge->property("opacity").toInt(), 0);
        QVERIFY(badge->isHidden());

        tile->setUserName(QStringLiteral("Pupil Bo"));
        QCOMPARE(badge->text(), QStringLiteral("Pupil Bo"));
        QCOMPARE(badge->property("opacity").toInt(), 1);
        QVERIFY(badge->isHidden());
        QTRY_COMPARE(badge->y(), 599 - 10 - badge->height());

        tile->setUserNameVisible(true);
        QVERIFY(badge->isVisible());
    }

    // The picture covers the video surface; both are native windows, so the picture stays above the video a
    // player draws, while the tile's ancestors are not made native.
    void placeholderPictureIsPaintedAboveTheVideoSurface_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QColor>("background");
        QTest::newRow("teacher") << ":/imageRes/image/res/teacher2.png" << QColor(0x32, 0x45, 0x4F);
        QTest::newRow("student") << ":/imageRes/image/res/student2.png" << QColor(0x32, 0x45, 0x4F);
    }

    void placeholderPictureIsPaintedAboveTheVideoSurface()
    {
        QFETCH(QString, picture);
        QFETCH(QColor, background);

        QWidget window;
        auto* panel = new QWidget(&window);
        auto* tile = new VideoReplayWidget(panel);
        panel->resize(480, 360);
        tile->resize(480, 360);
        tile->setUserImage(picture);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));

        QVERIFY(!QPixmap(picture).isNull());
        QCOMPARE(userImage(*tile)->styleSheet(), QStringLiteral("QLabel{border-image: url(%1);}").arg(picture));
        QVERIFY(tile->videoSurface()->internalWinId() != 0);
        QVERIFY(userImage(*tile)->internalWinId() != 0);
        QVERIFY(userName(*tile)->internalWinId() != 0);
        QCOMPARE(panel->internalWinId(), WId(0));

        const QImage shown = userImage(*tile)->grab().toImage();
        QVERIFY2(near(shown.pixel(4, 4), background), qPrintable(QColor(shown.pixel(4, 4)).name()));

        tile->setUserImageVisible(false);
        QVERIFY(userImage(*tile)->isHidden());
        tile->setUserImageVisible(true);
        QVERIFY(userImage(*tile)->isVisible());
    }

    // The native surfaces of a tile follow it when the tile or a widget around it moves without a resize (as a
    // window's layout does when the window is maximised): they stay over the tile, not where it was shown first.
    void nativeSurfacesFollowMovesOfTheTileAndItsAncestors_data()
    {
        QTest::addColumn<bool>("movePanel");
        QTest::newRow("the tile moves") << false;
        QTest::newRow("the panel around it moves") << true;
    }

    void nativeSurfacesFollowMovesOfTheTileAndItsAncestors()
    {
        QFETCH(bool, movePanel);

        QWidget window;
        window.resize(900, 700);
        auto* panel = new QWidget(&window);
        panel->setGeometry(10, 10, 700, 600);
        auto* tile = new VideoReplayWidget(panel);
        tile->setGeometry(20, 30, 400, 300);
        tile->setUserName(QStringLiteral("Ms. Clara Whitfield"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));

        if (movePanel)
            panel->move(180, 250);
        else
            tile->move(260, 210);
        QCoreApplication::processEvents();

        const QList<QWidget*> surfaces{tile->videoSurface(), userImage(*tile), userName(*tile)};
        for (QWidget* surface : surfaces) {
            QWindow* native = surface->windowHandle();
            QVERIFY(native);
            QCOMPARE(native->geometry().topLeft(), surface->mapTo(&window, QPoint(0, 0)));
        }
    }

    void overlayButtonsReportOnPress_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("play");
        QTest::newRow("play") << "playBtn" << true;
        QTest::newRow("leave") << "closeBtn" << false;
    }

    void overlayButtonsReportOnPress()
    {
        QFETCH(QString, button);
        QFETCH(bool, play);

        ReplayerOverlapWidget overlay;
        overlay.show();
        QVERIFY(QTest::qWaitForWindowExposed(&overlay, ZmTest::kWaitMs));
        QSignalSpy plays(&overlay, &ReplayerOverlapWidget::signalPlay);
        QSignalSpy closes(&overlay, &ReplayerOverlapWidget::signalClose);
        auto* pressed = overlay.findChild<QPushButton*>(button);
        QVERIFY(pressed);

        QTest::mousePress(pressed, Qt::LeftButton);
        QCOMPARE(plays.count(), play ? 1 : 0);
        QCOMPARE(closes.count(), play ? 0 : 1);
        QTest::mouseRelease(pressed, Qt::LeftButton);
        QCOMPARE(plays.count(), play ? 1 : 0);
        QCOMPARE(closes.count(), play ? 0 : 1);
    }

    void overlayDimsWhatLiesBeneathAroundFixedButtons_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("form size") << QSize(640, 480);
        QTest::newRow("small") << QSize(320, 200);
        QTest::newRow("full screen") << QSize(1366, 768);
    }

    void overlayDimsWhatLiesBeneathAroundFixedButtons()
    {
        QFETCH(QSize, size);

        QWidget window;
        window.setStyleSheet(QStringLiteral("background: #FFFFFF;"));
        window.resize(size);
        auto* overlay = new ReplayerOverlapWidget(&window);
        overlay->setGeometry(0, 0, size.width(), size.height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));

        auto* play = overlay->findChild<QPushButton*>(QStringLiteral("playBtn"));
        auto* close = overlay->findChild<QPushButton*>(QStringLiteral("closeBtn"));
        QVERIFY(play && close);
        QCOMPARE(play->size(), QSize(80, 80));
        QCOMPARE(close->size(), QSize(80, 80));
        QVERIFY(close->geometry().right() < play->geometry().left());
        const QRect buttons = close->geometry().united(play->geometry());
        QVERIFY(qAbs(buttons.center().x() - size.width() / 2) <= 2);
        QVERIFY(qAbs(buttons.center().y() - size.height() / 2) <= 2);

        const QImage shown = window.grab().toImage();
        const QRgb corner = shown.pixel(2, 2);
        QVERIFY2(near(corner, QColor(127, 127, 127), 2), qPrintable(QColor(corner).name()));
        QCOMPARE(QPixmap(QStringLiteral(":/imageRes/image/res/exit.png")).size(), QSize(80, 80));
        QCOMPARE(QPixmap(QStringLiteral(":/imageRes/image/res/playback.png")).size(), QSize(80, 80));
        const QImage exitButton = close->grab().toImage();
        QVERIFY(exitButton.pixel(40, 40) != corner);
    }
};

ZM_TEST_MAIN(TestReplayWidgets)
#include "tst_replaywidgets.moc"
