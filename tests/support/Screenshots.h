#pragma once

#include <QString>

class QImage;
class QPixmap;
class QRect;
class QWidget;

namespace ZmTest {

// Where the screenshot tests leave their pictures for a person to look at: <build>/screenshots.
QString screenshotDir();

// <screenshotDir()>/<name>.png
QString screenshotPath(const QString& name);

// Waits until the shown widget is on screen, lets it paint, grabs it and saves the picture as
// screenshotPath(name); shot (when given) receives the picture. A failure fails the running test
// (QTest::currentTestFailed()).
void saveScreenshot(QWidget& widget, const QString& name, QPixmap* shot = nullptr);

// Shows the widget and saves its screenshot; fails the running test as well when the picture is not the widget's
// size or cannot be read back.
void showAndSaveScreenshot(QWidget& widget, const QString& name);

// The screen's pixels in the area (global coordinates), as RGB32: what native windows show is there too, unlike in
// a widget's own grab.
QImage grabScreenArea(const QRect& area);
// The screen's pixels where the widget is.
QImage grabScreen(const QWidget& widget);
// The colours of a grid of samples 4 pixels apart: a flat or drawn surface has a handful, video many.
int distinctColours(const QImage& image);

} // namespace ZmTest
