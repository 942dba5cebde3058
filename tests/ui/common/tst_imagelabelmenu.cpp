#include "ui/common/QRadiusMenu.h"
#include "ui/common/ZmImageLabel.h"

#include "ZmTestMain.h"

#include <QImage>
#include <QPainter>

namespace {

// A 100 x 60 picture: red on the left half, blue on the right half.
QPixmap twoColourPicture()
{
    QImage image(100, 60, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    painter.fillRect(0, 0, 50, 60, Qt::red);
    painter.end();
    return QPixmap::fromImage(image);
}

// The label as it paints itself, without any window background behind it.
QImage paintOf(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

class TestImageLabelMenu : public QObject
{
    Q_OBJECT

private slots:
    void paintsTheWholePictureAsACircle_data()
    {
        QTest::addColumn<QSize>("labelSize");
        QTest::newRow("square") << QSize(40, 40);
        QTest::newRow("wide") << QSize(120, 40);
    }

    void paintsTheWholePictureAsACircle()
    {
        QFETCH(QSize, labelSize);
        ZmImageLabel label;
        label.resize(labelSize);
        label.setPixmap(twoColourPicture());
        const QImage image = paintOf(label);

        // The whole picture is squeezed into the 40-pixel circle: red left of its centre, blue right of it.
        QCOMPARE(QColor(image.pixel(10, 20)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(30, 20)), QColor(Qt::blue));
        // Outside the circle nothing is painted.
        QCOMPARE(qAlpha(image.pixel(1, 1)), 0);
        QCOMPARE(qAlpha(image.pixel(38, 38)), 0);
        if (labelSize.width() > 40) {
            QCOMPARE(qAlpha(image.pixel(60, 20)), 0);
            QCOMPARE(qAlpha(image.pixel(110, 20)), 0);
        }
    }

    void withoutPicturePaintsLikeAPlainLabel()
    {
        ZmImageLabel round;
        QLabel plain;
        for (QLabel* label : {static_cast<QLabel*>(&round), &plain}) {
            label->resize(120, 40);
            label->setText("Lily");
        }
        const QImage roundImage = paintOf(round);
        QCOMPARE(roundImage, paintOf(plain));
        bool painted = false;
        for (int y = 0; y < roundImage.height() && !painted; ++y) {
            for (int x = 0; x < roundImage.width() && !painted; ++x)
                painted = qAlpha(roundImage.pixel(x, y)) != 0;
        }
        QVERIFY(painted);
    }

    void menuIsARoundedFramelessPopup()
    {
        QWidget owner;
        QRadiusMenu menu(&owner);
        QCOMPARE(menu.objectName(), QStringLiteral("CustomMenu"));
        QCOMPARE(menu.windowFlags(), Qt::Popup | Qt::FramelessWindowHint);
        QVERIFY(menu.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(menu.font().family(), QStringLiteral("Microsoft YaHei"));
        QCOMPARE(menu.font().pointSize(), 12);
        QCOMPARE(menu.font().weight(), 50);
        const QString style = menu.styleSheet();
        QVERIFY(style.contains("QMenu{background-color:#2E4048; color:#D2EAF7; border:0px solid rgb(125,125,125); "
                               "border-radius:5px;}"));
        QVERIFY(style.contains("QMenu::item{background-color:transparent; padding:10px 20px; border-radius:5px;}"));
        QVERIFY(style.contains("QMenu::item:selected{background-color:#2b5060;}"));
    }

    void selectedColourFollowsApplyStyle()
    {
        QRadiusMenu menu(QStringLiteral("Settings"));
        QCOMPARE(menu.title(), QStringLiteral("Settings"));
        QCOMPARE(menu.parent(), nullptr);
        menu.applyStyle(QColor(255, 113, 63));
        QVERIFY(menu.styleSheet().contains("QMenu::item:selected{background-color:#ff713f;}"));
    }

    void menuRunsItsEntries()
    {
        QWidget owner;
        QRadiusMenu menu(&owner);
        int triggered = 0;
        menu.addAction(
            QStringLiteral("Clear cache"), [&triggered] { ++triggered; }, QKeySequence());
        QAction* systemSetting = menu.addAction(
            QStringLiteral("System setting"), [] {}, QKeySequence());
        menu.popup(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&menu, ZmTest::kWaitMs));
        QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier, menu.actionGeometry(menu.actions().first()).center());
        QCOMPARE(triggered, 1);
        QVERIFY(!menu.isVisible());
        QVERIFY(systemSetting);
    }
};

ZM_TEST_MAIN(TestImageLabelMenu)
#include "tst_imagelabelmenu.moc"
