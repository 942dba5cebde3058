#pragma once

#include <QString>

class QWidget;

// The start-up splash: the program's splash picture, centred on the primary screen, shown from right after the
// application object exists until the first real window (or the version check's own window) shows. GUI thread.

// "images/splash_cn.bmp" beside the program for a Chinese user-interface language, else "images/splash_en.bmp".
QString splashImagePath(bool chinese);

// Shows the splash with splashImagePath(isChineseUiLanguage()), or with the given picture, and paints it at once.
// Returns the window, or null when the picture can't be read (start-up goes on without a splash). A splash that
// is already shown is replaced.
QWidget* createSplashWindow();
QWidget* createSplashWindow(const QString& imagePath);

// Destroys the splash window when there is one; any number of calls.
void closeSplashWindow();

// The splash window, or null when none is shown.
QWidget* splashWindow();
