#include "web/ZmRouteManager.h"

#include "app/AppGlobalData.h"
#include "app/ZmAppEvents.h"
#include "net/logs/LogArchiveUpload.h"
#include "net/packages/OfflineLessonResManager.h"
#include "ui/common/SplashWindow.h"
#include "ui/updates/OfflineLessonResDownloader.h"

#include <QCoreApplication>
#include <QDebug>

ZmRouteManager::ZmRouteManager()
    : QWidget(nullptr)
{
    setObjectName(QStringLiteral("ZmRouteManager"));
}

ZmRouteManager::~ZmRouteManager() = default;

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
    const int oldStatus = m_curStatus;
    closeByStatus(oldStatus);
    m_curStatus = status;
    qInfo().noquote()
        << QStringLiteral("ZmRouteManager::showByStatus %1 (%2) is current").arg(status).arg(statusName(status));
}

bool ZmRouteManager::openByStatus(int status)
{
    switch (status) {
    case AppStartStatus_MainRoom:
        return showMainRoom();
    case AppStartStatus_NormalClassRoom:
        return ShowClassRoom();
    case AppStartStatus_PublicClassRoom:
        return showPublicClassRoom();
    case AppStartStatus_SmallClassRoom:
        return showSmallClassRoom();
    case AppStartStatus_NormalClassReplay:
        return showNormalClassReplay();
    case AppStartStatus_PublicClassReplay:
        return showPublicClassReplay();
    case AppStartStatus_SmallClassReplay:
        return showSmallClassReplay();
    default:
        return false;
    }
}

void ZmRouteManager::closeByStatus(int status)
{
    switch (status) {
    case AppStartStatus_MainRoom:
        hideMainRoom();
        break;
    case AppStartStatus_NormalClassRoom:
        closeNormalClassRoom();
        break;
    case AppStartStatus_PublicClassRoom:
        closePublicClassRoom();
        break;
    case AppStartStatus_SmallClassRoom:
        closeSmallClassRoom();
        break;
    case AppStartStatus_NormalClassReplay:
        closeNormalClassReplay();
        break;
    case AppStartStatus_PublicClassReplay:
        closePublicClassReplay();
        break;
    case AppStartStatus_SmallClassReplay:
        closeSmallClassReplay();
        break;
    default:
        break;
    }
}

void ZmRouteManager::onAppEvent(int code)
{
    const int appType = AppGlobalData::instance()->launch.appType;
    switch (code) {
    case AppEventCode_ClassRoomEnded:
        if (appType == AppType_JoinClass) {
            // Started for this lesson: the room closes and, with no window left, the program ends.
            if (m_curStatus == AppStartStatus_SmallClassRoom)
                closeSmallClassRoom();
            else if (m_curStatus == AppStartStatus_PublicClassRoom)
                closePublicClassRoom();
            else if (m_curStatus == AppStartStatus_NormalClassRoom)
                closeNormalClassRoom();
        } else {
            showByStatus(AppStartStatus_MainRoom);
        }
        break;
    case AppEventCode_ReplayEnded:
        if (appType == AppType_Playback) {
            if (m_curStatus == AppStartStatus_NormalClassReplay)
                closeNormalClassReplay();
            else if (m_curStatus == AppStartStatus_PublicClassReplay)
                closePublicClassReplay();
            else if (m_curStatus == AppStartStatus_SmallClassReplay)
                closeSmallClassReplay();
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
    const QString lessonId = AppGlobalData::instance()->lesson.lessonId;
    if (OfflineLessonResManager::instance()->getLessonResourceDir(lessonId, nullptr))
        return true;

    qInfo().noquote() << QStringLiteral("ZmRouteManager::showByStatus status %1: the offline package of lesson %2 is "
                                        "missing; downloading it")
                             .arg(status)
                             .arg(lessonId);
    // The downloader posts the status again once the package is in place; it is never deleted here.
    // Its dialogs open over the main window once the main window plugs in here; until then without parent.
    auto* downloader = new OfflineLessonResDownloader(lessonId, nullptr);
    connect(downloader, &OfflineLessonResDownloader::sigDownloadUserCallOff, this,
            &ZmRouteManager::slotOfflineResDownloadUserCallOff, Qt::QueuedConnection);
    downloader->start(QThread::InheritPriority);
    return false;
}

void ZmRouteManager::slotOfflineResDownloadUserCallOff(OfflineLessonResDownloader* pDownloader)
{
    Q_UNUSED(pDownloader);
    if (AppGlobalData::instance()->launch.appType == AppType_None)
        return;
    // Started for the lesson: without its package the program ends.
    qInfo() << "ZmRouteManager::slotOfflineResDownloadUserCallOff the lesson package was given up: the program ends";
    endProgram(-1);
}

void ZmRouteManager::endProgram(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

void ZmRouteManager::afterClassRoomClosed()
{
    uploadLogArchive();
}

bool ZmRouteManager::notAvailable(int status)
{
    qWarning().noquote() << QStringLiteral("ZmRouteManager::showByStatus status %1: the %2 is not available")
                                .arg(status)
                                .arg(statusName(status));
    return false;
}

// ---- Windows -------------------------------------------------------------------------------------------------
// Each window plugs in here when it is built: its open operation creates and shows it (and returns true), its
// close operation releases and deletes it. Until then the open operation reports the window as not available.

bool ZmRouteManager::showMainRoom()
{
    return notAvailable(AppStartStatus_MainRoom);
}

bool ZmRouteManager::ShowClassRoom()
{
    return notAvailable(AppStartStatus_NormalClassRoom);
}

bool ZmRouteManager::showPublicClassRoom()
{
    return notAvailable(AppStartStatus_PublicClassRoom);
}

bool ZmRouteManager::showSmallClassRoom()
{
    return notAvailable(AppStartStatus_SmallClassRoom);
}

bool ZmRouteManager::showNormalClassReplay()
{
    return notAvailable(AppStartStatus_NormalClassReplay);
}

bool ZmRouteManager::showPublicClassReplay()
{
    return notAvailable(AppStartStatus_PublicClassReplay);
}

bool ZmRouteManager::showSmallClassReplay()
{
    return notAvailable(AppStartStatus_SmallClassReplay);
}

void ZmRouteManager::hideMainRoom()
{
    if (!m_pMainRoom)
        return;
}

void ZmRouteManager::closeMainRoom()
{
    if (!m_pMainRoom)
        return;
}

void ZmRouteManager::closeNormalClassRoom()
{
    if (!m_pNormalClassRoom)
        return;
    // The room plugs in here: release its live resources, close and delete it, null the pointer.
    afterClassRoomClosed();
}

void ZmRouteManager::closePublicClassRoom()
{
    if (!m_pPublicClassRoom)
        return;
    // The room plugs in here: release its live resources, close and delete it, null the pointer.
    afterClassRoomClosed();
}

void ZmRouteManager::closeSmallClassRoom()
{
    if (!m_pSmallClassRoom)
        return;
    // The room plugs in here: release its live resources, close and delete it, null the pointer.
    afterClassRoomClosed();
}

void ZmRouteManager::closeNormalClassReplay()
{
    if (!m_pNormalClassReplay)
        return;
}

void ZmRouteManager::closePublicClassReplay()
{
    if (!m_pPublicClassReplay)
        return;
}

void ZmRouteManager::closeSmallClassReplay()
{
    if (!m_pSmallClassReplay)
        return;
}
