#pragma once

#include "LogCapture.h"

#include <QString>
#include <QVariant>

class QWebEngineView;
struct ZmWindowRoute;
class QWidget;
class ZmMainRoomDlg;

namespace HomePageTest {

// Installs the offline web resources the build packs (with the fixture home page) into this test's program data
// folder, where the main window looks for its home page. False when they could not be installed.
bool installOfflineResources();

// Runs a script in the page and waits for its value (as long as any wait); an invalid value when none came.
QVariant evaluate(QWebEngineView* view, const QString& script);

// Runs a script in the page without waiting.
void run(QWebEngineView* view, const QString& script);

// Waits until the home page has connected count times in all (its "pageloaded" write reached the view).
bool waitForPage(const ZmTest::LogCapture& log, int count = 1);

// The title bar's child of that object name.
QWidget* titleButton(ZmMainRoomDlg* window, const char* name);

// A visible top-level window of that class; null when there is none.
QWidget* visibleWindowOf(const char* className);

// A router row whose window is a plain widget: open shows a new one, close closes and deletes it (false when there
// was none).
ZmWindowRoute plainWindowRow(int status);

} // namespace HomePageTest
