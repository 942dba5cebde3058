#pragma once

#include <QString>

class QPixmap;
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

} // namespace ZmTest
