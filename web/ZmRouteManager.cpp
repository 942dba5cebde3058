#include "web/ZmRouteManager.h"

#include "app/AppGlobalData.h"
#include "app/ExitStatus.h"
#include "app/ZmAppEvents.h"
#include "net/logs/LogArchiveUpload.h"
#include "net/packages/OfflineLessonResManager.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/SplashWindow.h"
#include "ui/updates/OfflineLessonResDownloader.h"
#include "web/ZmMainRoomDlg.h"

#include <QApplication>
#include <QDebug>

#include <utility>

namespace {

// Rooms and replays have rows; the main window is the router's own.
bool isWindowRouteStatus(int status)
{
    return status >= AppStartStatus_NormalClassRoom && status <= AppStartStatus_SmallClassReplay;
}

bool isClassRoomStatus(int status)
{
    return status == AppStartStatus_NormalClassRoom || status == AppStartStatus_PublicClassRoom ||
           status == AppStartStatus_SmallClassRoom;
}

bool isReplayStatus(int status)
{
    return status == AppStartStatus_NormalClassReplay || status == AppStartStatus_PublicClassReplay ||
           status == AppStartStatus_SmallClassReplay;
}

// The router made last (GUI thread).
QPointer<ZmRouteManager>& currentRouter()
{
    static QPointer<ZmRouteManager> router;
    return router;
}

// The rows registered for every router (GUI thread).
std::map<int, ZmWindowRoute>& registeredRoutes()
{
    static std::map<int, ZmWindowRoute> routes;
    return routes;
}

bool storeRoute(std::map<int, ZmWindowRoute>& routes, int status, ZmWindowRoute route)
{
    if (!isWindowRouteStatus(status)) {
        qWarning() << "ZmRouteManager: no window route for status" << status;
        return false;
    }
    if (route.open)
        routes[status] = std::move(route);
    else
        routes.erase(status);
    return true;
}

} // namespace

ZmRouteManager::ZmRouteManager()
    : QWidget(nullptr)
    , m_routes(registeredRoutes())
{
    setObjectName(QStringLiteral("ZmRouteManager"));
    currentRouter() = this;
}

ZmRouteManager* ZmRouteManager::current()
{
    return currentRouter().data();
}

void ZmRouteManager::postAppEvent(int code)
{
    if (ZmRouteManager* router = current())
        QCoreApplication::postEvent(router, new ZmAppEvent(code), Qt::NormalEventPriority);
    else
        qWarning() << "ZmRouteManager::postAppEvent no window router: event code" << code << "dropped";
}

void ZmRouteManager::postAppStatusEvent(int status)
{
    if (ZmRouteManager* router = current())
        QCoreApplication::postEvent(router, new ZmAppStatusEvent(status), Qt::NormalEventPriority);
    else
        qWarning() << "ZmRouteManager::postAppStatusEvent no window router: status" << status << "dropped";
}

bool ZmRouteManager::registerWindowRoute(int status, ZmWindowRoute route)
{
    return storeRoute(registeredRoutes(), status, std::move(route));
}

bool ZmRouteManager::setWindowRoute(int status, ZmWindowRoute route)
{
    return storeRoute(m_routes, status, std::move(route));
}

ZmRouteManager::~ZmRouteManager()
{
    // Taken out first: a window's destructor may not change the table under the loop.
    const auto windows = std::exchange(m_windows, {});
    for (const auto& window : windows)
        delete window.second.data();
    delete m_pMainRoom.data();
}

QObject* ZmRouteManager::routedWindow(int status) const
{
    const auto found = m_windows.find(status);
    return found == m_windows.end() ? nullptr : found->second.data();
}

void ZmRouteManager::setRoutedWindow(int status, QObject* window)
{
    if (!isWindowRouteStatus(status))
        return;
    if (window)
        m_windows[status] = window;
    else
        m_windows.erase(status);
}

void ZmRouteManager::init() {}

QString ZmRouteManager::statusName(int status)
{
    switch (status) {
    case AppStartStatus_MainRoom:
        return QStringLiteral("main window");
    case AppStartStatus_NormalClassRoom:
        return QStringLiteral("normal class room");
    case AppStartStatus_PublicClassRoom:
        return QStringLiteral("public class room");
    case AppStartStatus_SmallClassRoom:
        return QStringLiteral("small class room");
    case AppStartStatus_NormalClassReplay:
        return QStringLiteral("normal-class replay");
    case AppStartStatus_PublicClassReplay:
        return QStringLiteral("public-class replay");
    case AppStartStatus_SmallClassReplay:
        return QStringLiteral("small-class replay");
    default:
        return QStringLiteral("unknown");
    }
}

bool ZmRouteManager::event(QEvent* event)
{
    if (event->type() == ZmAppStatusEvent::kType) {
        const int status = static_cast<ZmAppStatusEvent*>(event)->status();
        qInfo().noquote()
            << QStringLiteral("ZmRouteManager::event start status %1 (%2)").arg(status).arg(statusName(status));
        showByStatus(status);
    } else if (event->type() == ZmAppEvent::kType) {
        const int code = static_cast<ZmAppEvent*>(event)->code();
        qInfo() << "ZmRouteManager::event event code" << code;
        onAppEvent(code);
    }
    return QWidget::event(event);
}

void ZmRouteManager::showByStatus(int status)
{
    if (status == m_curStatus) {
        qInfo() << "ZmRouteManager::showByStatus status" << status << "is current already";
        return;
    }
    if (status < AppStartStatus_MainRoom || status > AppStartStatus_SmallClassReplay) {
        qWarning() << "ZmRouteManager::showByStatus unknown status" << status << "- the current window stays";
        return;
    }
    if ((status == AppStartStatus_SmallClassRoom || status == AppStartStatus_SmallClassReplay) &&
        !lessonPackageReady(status))
        return;
    if (!openByStatus(status))
        return;

    // The new window shows before the old one closes, so a visible window keeps the event loop running.
    closeSplashWindow();
    closeWindow(m_curStatus, status);
    m_curStatus = status;
    qInfo().noquote()
        << QStringLiteral("ZmRouteManager::showByStatus %1 (%2) is current").arg(status).arg(statusName(status));
}

bool ZmRouteManager::openByStatus(int status)
{
    if (status == AppStartStatus_MainRoom)
        return showMainRoom();
    const auto route = m_routes.find(status);
    if (route == m_routes.end())
        return notAvailable(status);
    // A copy: the open may change the table.
    const auto open = route->second.open;
    setSleepBlocked(true);
    if (open(*this))
        return true;
    if (!isWindowRouteStatus(m_curStatus))
        setSleepBlocked(false);
    return false;
}

void ZmRouteManager::closeByStatus(int status)
{
    closeWindow(status, status == m_curStatus ? 0 : m_curStatus);
}

void ZmRouteManager::closeWindow(int status, int next)
{
    if (status == AppStartStatus_MainRoom)
        hideMainRoom();
    else
        closeRoute(status, next, LogUpload::AfterClassRoom);
}

void ZmRouteManager::closeRoute(int status, int next, LogUpload upload)
{
    const auto route = m_routes.find(status);
    if (route == m_routes.end() || !route->second.close)
        return;
    if (!isWindowRouteStatus(next))
        setSleepBlocked(false);
    // A copy: the close may change the table.
    const auto close = route->second.close;
    if (close(*this) && isClassRoomStatus(status) && upload == LogUpload::AfterClassRoom)
        afterClassRoomClosed();
}

void ZmRouteManager::closeForExit()
{
    if (!isWindowRouteStatus(m_curStatus))
        return;
    qInfo().noquote() << "ZmRouteManager::closeForExit closes the" << statusName(m_curStatus);
    closeRoute(m_curStatus, 0, LogUpload::None);
}

void ZmRouteManager::onAppEvent(int code)
{
    const int appType = AppGlobalData::instance()->lessonContext().appType();
    switch (code) {
    case AppEventCode_ClassEntryGivenUp:
        if (appType == AppType_JoinClass) {
            // Started for this lesson: the program ends with a status that tells so, set before the room's close
            // can end the event loop as the last window's.
            qInfo() << "ZmRouteManager::onAppEvent the class entry was given up: the program ends with"
                    << int(ExitStatus_ClassEntryGivenUp);
            endProgram(ExitStatus_ClassEntryGivenUp);
            if (isClassRoomStatus(m_curStatus))
                closeRoute(m_curStatus, 0, LogUpload::None);
        } else {
            showByStatus(AppStartStatus_MainRoom);
        }
        break;
    case AppEventCode_ClassRoomEnded:
        if (appType == AppType_JoinClass) {
            // Started for this lesson: the room closes without a log upload and, with no window left, the
            // program ends.
            if (isClassRoomStatus(m_curStatus))
                closeRoute(m_curStatus, 0, LogUpload::None);
        } else {
            showByStatus(AppStartStatus_MainRoom);
        }
        break;
    case AppEventCode_ReplayEnded:
        if (appType == AppType_Playback) {
            if (isReplayStatus(m_curStatus))
                closeRoute(m_curStatus, 0, LogUpload::None);
            qInfo() << "ZmRouteManager::onAppEvent the replay of a replay start ended: the program ends";
            endProgram(0);
        } else {
            showByStatus(AppStartStatus_MainRoom);
        }
        break;
    case AppEventCode_MainRoomClosed:
        closeMainRoom();
        break;
    default:
        qWarning() << "ZmRouteManager::onAppEvent unknown event code" << code;
        break;
    }
}

bool ZmRouteManager::lessonPackageReady(int status)
{
    const QString lessonId = AppGlobalData::instance()->lessonContext().lessonId();
    if (OfflineLessonResManager::instance()->getLessonResourceDir(lessonId, nullptr))
        return true;
    if (m_packageDownloads.value(lessonId)) {
        // A second download would write the same archive and folder; the running one posts the status.
        qInfo().noquote() << QStringLiteral("ZmRouteManager::showByStatus status %1: the offline package of lesson "
                                            "%2 is being downloaded already; the request is ignored")
                                 .arg(status)
                                 .arg(lessonId);
        return false;
    }

    qInfo().noquote() << QStringLiteral("ZmRouteManager::showByStatus status %1: the offline package of lesson %2 is "
                                        "missing; downloading it")
                             .arg(status)
                             .arg(lessonId);
    // The downloader posts the status again once the package is in place. Its dialogs open over the main window
    // (without parent when the program was started for the lesson).
    auto* downloader = new OfflineLessonResDownloader(lessonId, m_pMainRoom.data());
    m_packageDownloads.insert(lessonId, downloader);
    // Queued after the downloader's own end slot, which posts the status on success.
    connect(downloader, &OfflineLessonResDownloader::sigDownloadEnd, this, &ZmRouteManager::onPackageDownloadEnd,
            Qt::QueuedConnection);
    connect(downloader, &OfflineLessonResDownloader::sigDownloadUserCallOff, this,
            &ZmRouteManager::slotOfflineResDownloadUserCallOff, Qt::QueuedConnection);
    downloader->start(QThread::InheritPriority);
    return false;
}

void ZmRouteManager::onPackageDownloadEnd(OfflineLessonResDownloader* pDownloader)
{
    // A failed run waits for the user's answer: a retry runs it again, giving up ends it.
    if (pDownloader && pDownloader->result() == 0)
        packageDownloadDone(pDownloader);
}

void ZmRouteManager::packageDownloadDone(OfflineLessonResDownloader* downloader)
{
    for (auto it = m_packageDownloads.begin(); it != m_packageDownloads.end();) {
        if (!it.value() || it.value() == downloader)
            it = m_packageDownloads.erase(it);
        else
            ++it;
    }
    if (downloader)
        downloader->deleteLater();
}

void ZmRouteManager::slotOfflineResDownloadUserCallOff(OfflineLessonResDownloader* pDownloader)
{
    packageDownloadDone(pDownloader);
    if (AppGlobalData::instance()->lessonContext().appType() == AppType_None)
        return;
    // Started for the lesson: without its package the program ends.
    qInfo() << "ZmRouteManager::slotOfflineResDownloadUserCallOff the lesson package was given up: the program ends";
    endProgram(-1);
}

void ZmRouteManager::endProgram(int exitCode)
{
    // A window closed after this would end the loop again, with 0.
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::exit(exitCode);
}

void ZmRouteManager::afterClassRoomClosed()
{
    uploadLogArchive();
}

void ZmRouteManager::setSleepBlocked(bool blocked)
{
    if (blocked)
        m_sleepBlocker.block();
    else
        m_sleepBlocker.unblock();
}

bool ZmRouteManager::notAvailable(int status)
{
    qWarning().noquote() << QStringLiteral("ZmRouteManager::showByStatus status %1: the %2 is not available")
                                .arg(status)
                                .arg(statusName(status));
    return false;
}

// ---- The main window -------------------------------------------------------------------------------------------

ZmMainRoomDlg* ZmRouteManager::mainRoom() const
{
    return m_pMainRoom.data();
}

bool ZmRouteManager::showMainRoom()
{
    if (!m_pMainRoom) {
        m_pMainRoom = new ZmMainRoomDlg();
        m_pMainRoom->wireWebRoom();
    }
    ZmMainRoomDlg* mainRoom = m_pMainRoom.data();
    if (mainRoom->isShownByRouter()) {
        // Back from a class room the page starts afresh; back from a replay it stays as it was.
        if (!isReplayStatus(m_curStatus))
            mainRoom->loadHomePage();
        mainRoom->show();
    } else {
        mainRoom->show();
        mainRoom->setShownByRouter(true);
        mainRoom->titleBar()->setMaximizedState();
        mainRoom->loadHomePage();
    }
    mainRoom->setVisible(true);
    return true;
}

void ZmRouteManager::hideMainRoom()
{
    if (m_pMainRoom)
        m_pMainRoom->setVisible(false);
}

void ZmRouteManager::closeMainRoom()
{
    if (!m_pMainRoom)
        return;
    m_pMainRoom->setShownByRouter(false);
    m_pMainRoom->close();
}
