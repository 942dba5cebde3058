#include "Screenshots.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>

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
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
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

} // namespace ZmTest
