#include "Screenshots.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <set>

namespace ZmTest {

QString screenshotDir()
{
    return buildDir() + QStringLiteral("/screenshots");
}

QString screenshotPath(const QString& name)
{
    return screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png");
}

void saveScreenshot(QWidget& widget, const QString& name, QPixmap* shot)
{
    QVERIFY(QTest::qWaitForWindowExposed(&widget, ZmTest::kWaitMs));
    QTest::qWait(50);
    const QPixmap picture = widget.grab();
    if (shot)
        *shot = picture;
    QVERIFY(QDir().mkpath(screenshotDir()));
    const QString path = screenshotPath(name);
    QVERIFY2(picture.save(path, "PNG"), qPrintable(path));
}

void showAndSaveScreenshot(QWidget& widget, const QString& name)
{
    widget.show();
    QPixmap shot;
    saveScreenshot(widget, name, &shot);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(shot.size(), widget.size());
    QVERIFY(!QImage(screenshotPath(name)).isNull());
}

QImage grabScreenArea(const QRect& area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage grabScreen(const QWidget& widget)
{
    return grabScreenArea(QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()));
}

int distinctColours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

} // namespace ZmTest
