#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/VideoDisplayWidget.h"

#include "live/rtc/WindowDiagnostics.h"

#include "RoomTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalSpy>
#include <QVBoxLayout>

using RoomTest::child;

class TestVideoDisplayWidget : public QObject
{
    Q_OBJECT

private:
    // A shown tile of the given width (its height follows).
    static void showTile(VideoDisplayWidget& tile, int width)
    {
        tile.resize(width, 100);
        tile.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tile, ZmTest::kWaitMs));
    }

private slots:
    void startsWithCoverDownOfflineMarkAndSilentMicrophone()
    {
        VideoDisplayWidget tile;
        for (const char* name :
             {"userVideo", "micPanel", "panButton", "userDefaultImage", "userName", "userOffline", "actionName"})
            QVERIFY2(child(tile, name), name);
        QCOMPARE(child(tile, "userName")->property("opacity"), QVariant(0));
        QCOMPARE(child(tile, "userOffline")->property("opacity"), QVariant(1));
        QVERIFY(tile.isOfflineLabelVisible());
        QCOMPARE(child<QLabel>(tile, "userOffline")->text(), QStringLiteral("Offline"));
        QCOMPARE(tile.statusText(), QString());

        auto* volume = child<QProgressBar>(tile, "micVolume");
        QVERIFY(volume);
        QCOMPARE(volume->maximum(), 255);
        QVERIFY(volume->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(!volume->mask().isEmpty());
        auto* mic = child<QPushButton>(tile, "micButton");
        QVERIFY(mic->isChecked());
        QVERIFY(mic->styleSheet().contains("Mic1M.png"));
        QVERIFY(!volume->isVisibleTo(&tile));
    }

    void keepsFourByThree_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("400 wide") << QSize(400, 200) << QSize(400, 300);
        QTest::newRow("the form's size") << QSize(659, 429) << QSize(659, 494);
        QTest::newRow("width not divisible by 4") << QSize(401, 900) << QSize(401, 300);
    }

    void keepsFourByThree()
    {
        QFETCH(QSize, requested);
        QFETCH(QSize, expected);
        VideoDisplayWidget tile;
        tile.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tile, ZmTest::kWaitMs));
        QSignalSpy moved(&tile, &VideoDisplayWidget::sigWindowRSizeMove);
        tile.resize(requested);
        QCOMPARE(tile.size(), expected);
        QVERIFY(moved.count() >= 1);
        // The surface and the cover fill the tile; the frame lies on its edges.
        QCOMPARE(child(tile, "userVideo")->geometry(), QRect(QPoint(0, 0), expected));
        QCOMPARE(child(tile, "userDefaultImage")->geometry(), QRect(QPoint(0, 0), expected));
        const int W = expected.width();
        const int H = expected.height();
        QCOMPARE(child(tile, "edgeTop")->geometry(), QRect(0, 0, W, 1));
        QCOMPARE(child(tile, "edgeLeft")->geometry(), QRect(0, 0, 1, H));
        QCOMPARE(child(tile, "edgeBottom")->geometry(), QRect(0, H - 1, W, 1));
        QCOMPARE(child(tile, "edgeRight")->geometry(), QRect(W - 1, 0, 1, H));
    }

    // A resize event that does not change the size lays the tile out again and tells the star button, without
    // resizing.
    void unchangedSizeRelaysOutWithoutResizing()
    {
        VideoDisplayWidget tile;
        showTile(tile, 400);
        QWidget* offline = child(tile, "userOffline");
        offline->move(0, 0);
        QSignalSpy moved(&tile, &VideoDisplayWidget::sigWindowRSizeMove);
        QResizeEvent same(tile.size(), tile.size());
        QApplication::sendEvent(&tile, &same);
        QCOMPARE(tile.size(), QSize(400, 300));
        QCOMPARE(offline->pos(), QPoint(10, 300 - 32));
        QCOMPARE(moved.count(), 1);
    }

    void bottomRowSkipsHiddenLayers_data()
    {
        QTest::addColumn<bool>("micShown");
        QTest::addColumn<bool>("controlShown");
        QTest::addColumn<QPoint>("micAt");
        QTest::addColumn<QPoint>("controlAt");
        const int y = 300 - 32;
        QTest::newRow("both") << true << true << QPoint(10, y) << QPoint(42, y);
        QTest::newRow("microphone hidden") << false << true << QPoint() << QPoint(10, y);
        QTest::newRow("control hidden") << true << false << QPoint(10, y) << QPoint();
    }

    void bottomRowSkipsHiddenLayers()
    {
        QFETCH(bool, micShown);
        QFETCH(bool, controlShown);
        QFETCH(QPoint, micAt);
        QFETCH(QPoint, controlAt);
        VideoDisplayWidget tile;
        showTile(tile, 400);
        tile.setMicVisible(micShown);
        tile.setControlVisible(controlShown);
        QWidget* mic = child(tile, "micPanel");
        QWidget* control = child(tile, "panButton");
        QCOMPARE(mic->property("opacity"), QVariant(micShown ? 1 : 0));
        QCOMPARE(mic->isVisibleTo(&tile), micShown);
        QCOMPARE(control->isVisibleTo(&tile), controlShown);
        if (micShown)
            QCOMPARE(mic->pos(), micAt);
        if (controlShown)
            QCOMPARE(control->pos(), controlAt);
        QCOMPARE(child(tile, "userOffline")->pos(), QPoint(10, 300 - 32));
    }

    void nameSitsInTheBottomRightCorner()
    {
        VideoDisplayWidget tile;
        showTile(tile, 400);
        tile.setUserName("Ms Rowan");
        tile.setUserNameVisible(true);
        QWidget* name = child(tile, "userName");
        QVERIFY(name->isVisibleTo(&tile));
        QCOMPARE(name->geometry().bottomRight(), QPoint(400 - 10 - 1, 300 - 10 - 1));
        tile.resize(640, 100);
        QCOMPARE(name->geometry().bottomRight(), QPoint(640 - 10 - 1, 480 - 10 - 1));
        tile.setUserNameVisible(false);
        QCOMPARE(name->property("opacity"), QVariant(0));
        QVERIFY(!name->isVisibleTo(&tile));
    }

    void microphoneIconFollowsStateAndVolume_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("volume");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<bool>("barShown");
        QTest::addColumn<int>("barValue");
        QTest::newRow("off, silent") << false << 0 << "Mic1D.png" << false << 0;
        QTest::newRow("off, speaking") << false << 200 << "Mic1D.png" << false << 200;
        QTest::newRow("on, silent") << true << 0 << "Mic1M.png" << false << 0;
        QTest::newRow("on, faintest") << true << 1 << "Mic1.png" << true << 1;
        QTest::newRow("on, loudest") << true << 255 << "Mic1.png" << true << 255;
        QTest::newRow("on, above range") << true << 300 << "Mic1.png" << true << 255;
        QTest::newRow("on, below range") << true << -5 << "Mic1M.png" << false << 0;
    }

    void microphoneIconFollowsStateAndVolume()
    {
        QFETCH(bool, checked);
        QFETCH(int, volume);
        QFETCH(QString, icon);
        QFETCH(bool, barShown);
        QFETCH(int, barValue);
        VideoDisplayWidget tile;
        auto* mic = child<QPushButton>(tile, "micButton");
        auto* bar = child<QProgressBar>(tile, "micVolume");
        // Either order of the two calls ends in the same look.
        for (bool checkedFirst : {true, false}) {
            tile.setMicVolume(checked ? 0 : 128);
            tile.setMicChecked(!checked);
            if (checkedFirst) {
                tile.setMicChecked(checked);
                tile.setMicVolume(volume);
            } else {
                tile.setMicVolume(volume);
                tile.setMicChecked(checked);
            }
            QCOMPARE(mic->styleSheet(), QStringLiteral("image: url(:/imageRes/image/res/%1);border: 0px ").arg(icon));
            QCOMPARE(bar->isVisibleTo(&tile), barShown);
            QCOMPARE(bar->value(), barValue);
        }
    }

    void statusTextShowsAndHides()
    {
        VideoDisplayWidget tile;
        showTile(tile, 400);
        tile.setStatusText("Reseting...");
        auto* status = child<QLabel>(tile, "actionName");
        QVERIFY(status->isVisibleTo(&tile));
        QCOMPARE(tile.statusText(), QStringLiteral("Reseting..."));
        QCOMPARE(status->geometry().center(), QRect(0, 0, 400, 300).center());
        tile.setStatusText(QString());
        QVERIFY(!status->isVisibleTo(&tile));
        QCOMPARE(tile.statusText(), QString());
    }

    void onlineTakesCoverMarkAndTextAway()
    {
        VideoDisplayWidget tile;
        showTile(tile, 400);
        tile.setUserOnline(true);
        StarDialog* star = tile.starDialog();
        QVERIFY(tile.isCoverVisible());
        QVERIFY(!star->isVisible());
        tile.setStatusText("Reseting...");
        tile.setOfflineLabelVisible(true);

        tile.setUserOnline(false);
        QVERIFY(!tile.isCoverVisible());
        QVERIFY(!tile.isOfflineLabelVisible());
        QCOMPARE(tile.statusText(), QString());
        QVERIFY(star->isVisible());

        tile.setUserOnline(true);
        QVERIFY(tile.isCoverVisible());
        QVERIFY(!star->isVisible());
        // The offline mark is the room's to show; going offline alone does not.
        QVERIFY(!tile.isOfflineLabelVisible());
    }

    void starButtonIsMadeOnceAndFollowsTheCorner()
    {
        VideoDisplayWidget tile;
        tile.move(100, 80);
        showTile(tile, 400);
        tile.setUserOnline(false);
        StarDialog* star = tile.starDialog();
        QVERIFY(star);
        QCOMPARE(tile.starDialog(), star);
        QCOMPARE(tile.findChildren<StarDialog*>().size(), 1);
        QVERIFY(star->isVisible());
        const auto corner = [&] {
            const QPoint topLeft = tile.mapToGlobal(QPoint(0, 0));
            return QPoint(topLeft.x() + tile.width() - star->width() - 10, topLeft.y() + 10);
        };
        QTRY_COMPARE(star->pos(), corner());
        tile.resize(600, 100);
        QTRY_COMPARE(star->pos(), corner());

        // Asked for while the cover is up, it hides.
        tile.setUserOnline(true);
        tile.setUserOnline(false);
        tile.setUserOnline(true);
        QVERIFY(!tile.starDialog()->isVisible());
    }

    void videoSurfaceBecomesANativeWindowQtDoesNotPaint()
    {
        QWidget room;
        room.resize(700, 600);
        auto* tile = new VideoDisplayWidget(&room);
        tile->setGeometry(10, 10, 400, 300);
        room.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room, ZmTest::kWaitMs));
        QWidget* surface = child(*tile, "userVideo");
        QVERIFY(!surface->internalWinId());

        const WId id = tile->videoWinId();
        QVERIFY(id != 0);
        QCOMPARE(tile->videoWinId(), id);
        QCOMPARE(surface->internalWinId(), id);
        QVERIFY(surface->testAttribute(Qt::WA_PaintOnScreen));
        QVERIFY(surface->paintEngine() == nullptr);
        // The layers above it are native windows too, stacked above; the tile and the room stay as they were.
        for (const char* name : {"userDefaultImage", "userName", "userOffline", "micPanel", "panButton"})
            QVERIFY2(child(*tile, name)->internalWinId() != 0, name);
        QVERIFY(!tile->internalWinId());
    }

    // The native windows are where the tile is, in a room whose panel has a window of its own: when they are made
    // after the layout has placed the tile, when the tile above grows and pushes it down, when the panel moves.
    void nativeWindowsFollowTheTile()
    {
        QWidget room;
        room.resize(900, 900);
        auto* panel = new QWidget(&room);
        panel->setGeometry(100, 50, 600, 800);
        panel->setAttribute(Qt::WA_NativeWindow);
        auto* column = new QVBoxLayout(panel);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(10);
        auto* upper = new VideoDisplayWidget(panel);
        auto* tile = new VideoDisplayWidget(panel);
        column->addWidget(upper);
        column->addWidget(tile);
        column->addStretch();
        upper->setFixedSize(400, 300);
        tile->setFixedSize(400, 300);
        room.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room, ZmTest::kWaitMs));
        QTest::qWait(50); // the layout has placed the tiles before their windows are made
        const auto nativeAt = [](QWidget* layer) {
            const NativeWindowState state = queryNativeWindow(layer->internalWinId());
            return QPoint(state.left, state.top);
        };
        // Where Qt has each layer's window in its parent window, and where the window system shows it.
        const auto placed = [&] {
            for (const char* name : {"userVideo", "userDefaultImage", "userOffline"}) {
                QWidget* layer = child(*tile, name);
                if (layer->windowHandle()->position() != layer->mapTo(panel, QPoint(0, 0)) ||
                    nativeAt(layer) != layer->mapToGlobal(QPoint(0, 0)))
                    return false;
            }
            return true;
        };
        QVERIFY(upper->videoWinId() != 0);
        QVERIFY(tile->videoWinId() != 0);
        QTRY_VERIFY(placed());
        upper->setFixedSize(480, 360);
        QTRY_VERIFY(placed());
        panel->move(150, 10);
        QTRY_VERIFY(placed());
    }

    void buttonClicksAreReported()
    {
        VideoDisplayWidget tile;
        showTile(tile, 400);
        tile.setUserOnline(false);
        QSignalSpy mic(&tile, &VideoDisplayWidget::sigUserEnableMic);
        QSignalSpy control(&tile, &VideoDisplayWidget::sigUserEnableControl);
        QTest::mouseClick(child<QPushButton>(tile, "micButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(tile, "panButton"), Qt::LeftButton);
        QCOMPARE(mic.count(), 1);
        QCOMPARE(mic.at(0).at(0).toBool(), false);
        QCOMPARE(control.count(), 1);
        QCOMPARE(control.at(0).at(0).toBool(), true);
        // A click on the volume bar reaches the button under it.
        tile.setMicChecked(true);
        tile.setMicVolume(200);
        auto* bar = child<QProgressBar>(tile, "micVolume");
        QVERIFY(bar->isVisibleTo(&tile));
        QTest::mouseClick(tile.windowHandle(), Qt::LeftButton, {}, bar->mapTo(&tile, bar->rect().center()));
        QCOMPARE(mic.count(), 2);
    }

    void coverPictureComesFromThePath()
    {
        VideoDisplayWidget tile;
        tile.setUserImage(":/imageRes/image/res/teacher2.png");
        QCOMPARE(child(tile, "userDefaultImage")->styleSheet(),
                 QStringLiteral("QLabel{border-image: url(:/imageRes/image/res/teacher2.png);}"));
    }
};

ZM_TEST_MAIN(TestVideoDisplayWidget)
#include "tst_videodisplaywidget.moc"
