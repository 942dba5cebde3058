// The desktop-share title bar: its form, its two buttons and dragging the room window by it.
#include "Screenshots.h"
#include "ZmTestMain.h"

#include "rooms/widgets/DesktopShareTitleBar.h"
#include "ui/common/Translation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

namespace {

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons)
{
    const QPoint local = target->mapFromGlobal(global);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestDesktopShareTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void formInItsOrder();
    void buttonsEmitOncePerClick_data();
    void buttonsEmitOncePerClick();
    void dragMovesTheRoomWindow_data();
    void dragMovesTheRoomWindow();
    void screenshot();
    // Last: the translator stays installed.
    void chineseCaption();
};

void TestDesktopShareTitleBar::formInItsOrder()
{
    DesktopShareTitleBar bar;
    QCOMPARE(bar.objectName(), QStringLiteral("DesktopShareTitleBar"));
    QCOMPARE(bar.minimumSize(), QSize(320, 42));
    QCOMPARE(bar.maximumSize(), QSize(320, 42));
    auto* row = bar.findChild<QHBoxLayout*>(QStringLiteral("horizontalLayout"));
    QVERIFY(row);
    QStringList order;
    for (int i = 0; i < row->count(); ++i) {
        QWidget* widget = row->itemAt(i)->widget();
        order.append(widget ? widget->objectName() : QStringLiteral("spacer"));
    }
    QCOMPARE(order, (QStringList{"widget_2", "label", "spacer", "btn_min", "widget_3", "btn_share_desktop"}));
    QCOMPARE(bar.findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("Screen sharing..."));
}

void TestDesktopShareTitleBar::buttonsEmitOncePerClick_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("minimise");

    QTest::newRow("minimise") << "btn_min" << true;
    QTest::newRow("end sharing") << "btn_share_desktop" << false;
}

void TestDesktopShareTitleBar::buttonsEmitOncePerClick()
{
    QFETCH(QString, button);
    QFETCH(bool, minimise);

    QWidget room;
    room.resize(800, 600);
    auto* bar = new DesktopShareTitleBar(&room);
    room.show();
    QSignalSpy minimum(bar, &DesktopShareTitleBar::signal_minimum_window);
    QSignalSpy exit(bar, &DesktopShareTitleBar::signal_exit_share_desktop);

    QTest::mouseClick(bar->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(minimum.size(), minimise ? 1 : 0);
    QCOMPARE(exit.size(), minimise ? 0 : 1);
    // The room decides what follows: the bar stays as it is.
    QVERIFY(bar->isVisible());
    QVERIFY(room.isVisible());
}

void TestDesktopShareTitleBar::dragMovesTheRoomWindow_data()
{
    QTest::addColumn<QList<QPoint>>("moves"); // global positions after the press at (100, 100)
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("one step") << QList<QPoint>{{130, 90}} << QPoint(30, -10);
    QTest::newRow("steps add up from the last move")
        << QList<QPoint>{{110, 100}, {110, 120}, {95, 125}} << QPoint(-5, 25);
    QTest::newRow("back where it started") << QList<QPoint>{{300, 40}, {100, 100}} << QPoint(0, 0);
}

void TestDesktopShareTitleBar::dragMovesTheRoomWindow()
{
    QFETCH(QList<QPoint>, moves);
    QFETCH(QPoint, moved);

    QWidget room;
    room.setGeometry(400, 300, 800, 600);
    auto* bar = new DesktopShareTitleBar(&room);
    bar->move(240, 0);
    room.show();
    QVERIFY(QTest::qWaitForWindowExposed(&room, ZmTest::kWaitMs));
    const QPoint roomStart = room.pos();

    sendMouse(bar, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    for (const QPoint& global : moves)
        sendMouse(bar, QEvent::MouseMove, global, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseButtonRelease, moves.last(), Qt::NoButton);

    QCOMPARE(room.pos(), roomStart + moved);
    QCOMPARE(bar->pos(), QPoint(240, 0)); // the bar keeps its place in the room
}

void TestDesktopShareTitleBar::screenshot()
{
    DesktopShareTitleBar bar;
    ZmTest::showAndSaveScreenshot(bar, QStringLiteral("desktop_share_title_bar"));
}

void TestDesktopShareTitleBar::chineseCaption()
{
    QVERIFY(Translation::installForLanguage(QStringLiteral("cn")));
    DesktopShareTitleBar bar;
    QCOMPARE(bar.findChild<QLabel*>(QStringLiteral("label"))->text(), QString::fromUtf8("屏幕共享中..."));
}

ZM_TEST_MAIN(TestDesktopShareTitleBar)
#include "tst_desktopsharetitlebar.moc"
