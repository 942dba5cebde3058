#include "HomePageTestSupport.h"

#include "WaitUntil.h"
#include "ZmTestMain.h"

#include "app/ConfigManager.h"
#include "net/zip/ZipUtil.h"
#include "ui/common/MyTitleBar.h"
#include "web/ZmMainRoomDlg.h"
#include "web/ZmRouteManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace HomePageTest {

bool installOfflineResources()
{
    ConfigManager::setArchiveExtractor(&ZipUtil::extractDir);
    ConfigManager::Setup setup = ConfigManager::standardSetup();
    setup.offlineArchivePath = ZmTest::programDir() + QStringLiteral("/offlineRes.zip");
    const ConfigManager installer(setup);
    return QFileInfo(installer.getOfflineIndexPage()).isFile() &&
           installer.getOfflineIndexPage() == ConfigManager::instance()->getOfflineIndexPage();
}

QVariant evaluate(QWebEngineView* view, const QString& script)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&result, &done](const QVariant& value) {
        result = value;
        done = true;
    });
    ZmTest::waitUntil([&done] { return done; });
    return result;
}

void run(QWebEngineView* view, const QString& script)
{
    view->page()->runJavaScript(script);
}

bool waitForPage(const ZmTest::LogCapture& log, int count)
{
    return log.waitFor(QStringLiteral("ZmMainWebRoom pageloaded"), count);
}

QWidget* titleButton(ZmMainRoomDlg* window, const char* name)
{
    return window->titleBar()->findChild<QWidget*>(QLatin1String(name));
}

QWidget* visibleWindowOf(const char* className)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits(className))
            return widget;
    }
    return nullptr;
}

ZmWindowRoute plainWindowRow(int status)
{
    ZmWindowRoute row;
    row.open = [status](ZmRouteManager& router) {
        auto* window = new QWidget;
        window->resize(300, 200);
        window->show();
        router.setRoutedWindow(status, window);
        return true;
    };
    row.close = [status](ZmRouteManager& router) {
        QWidget* window = qobject_cast<QWidget*>(router.routedWindow(status));
        if (!window)
            return false;
        window->close();
        delete window;
        router.setRoutedWindow(status, nullptr);
        return true;
    };
    return row;
}

} // namespace HomePageTest
