#include "app/startup/ZmApplication.h"

#include "app/AppGlobalData.h"
#include "app/CommandLine.h"
#include "app/OptionSecrets.h"
#include "app/ProgramFiles.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"
#include "app/startup/InformationBox.h"
#include "net/api/ZmNetAPI.h"
#include "web/ZmRouteManager.h"

#include <QDebug>
#include <QFileOpenEvent>
#include <QPointer>
#include <QUrl>

#include <vector>

namespace {

// The arguments the toolkit is started with: built once, never changed or moved until exit.
struct ArgumentStorage
{
    bool built = false;
    int count = 0;
    std::vector<QByteArray> texts;
    std::vector<char*> vector{nullptr};
};

ArgumentStorage& argumentStorage()
{
    static ArgumentStorage storage;
    return storage;
}

ArgumentStorage& builtArgumentStorage(const QStringList& list)
{
    ArgumentStorage& storage = argumentStorage();
    if (storage.built)
        return storage;
    storage.built = true;
    qInfo().noquote() << "ZmApplication file version" << getExeFileVersion(4);
    if (list.isEmpty())
        return storage;

    storage.texts.reserve(size_t(list.size()));
    storage.vector.clear();
    storage.vector.reserve(size_t(list.size()) + 1);
    for (const QString& entry : list) {
        storage.texts.push_back(entry.toUtf8());
        storage.vector.push_back(storage.texts.back().data());
    }
    storage.vector.push_back(nullptr);
    storage.count = list.size();
    logArguments(list);
    return storage;
}

QPointer<ZmRouteManager> s_routeManager;

// p = 1 and realPlatform = 6 for the exchange at start-up.
QString exchangeToken(const QString& userId, const QString& tokenText)
{
    QString exchanged;
    const int result = ZmNetAPI::instance()->ExchangeToken_RESTful(1, userId, tokenText, 6, exchanged);
    qInfo() << "ZmApplication::parseCommandLine ExchangeToken_RESTful result" << result;
    return exchanged;
}

} // namespace

ZmApplication::ZmApplication(const QStringList& argumentList)
    : QApplication(builtArgumentStorage(argumentList).count, builtArgumentStorage(argumentList).vector.data())
{
    setApplicationName(QStringLiteral("ZmQuillo_Desktop"));
    setOrganizationName(QStringLiteral("Zmhub"));
    installEventFilter(this);
}

ZmApplication::~ZmApplication()
{
    delete s_routeManager.data();
    s_routeManager = nullptr;
}

ZmApplication* ZmApplication::instance()
{
    return qobject_cast<ZmApplication*>(QCoreApplication::instance());
}

int ZmApplication::argumentCount()
{
    return argumentStorage().count;
}

char** ZmApplication::argumentVector()
{
    return argumentStorage().vector.data();
}

void ZmApplication::parseCommandLine(const QStringList& list, const QVector<bool>& fromLink)
{
    m_launchOptions.parse(list, *AppGlobalData::instance(), *UrlConfig::instance(), exchangeToken, fromLink);
}

bool ZmApplication::checkParams()
{
    return m_launchOptions.checkParams(AppGlobalData::instance()->launch);
}

void ZmApplication::postStartStatus()
{
    const LaunchInfo& launch = AppGlobalData::instance()->launch;
    const int status = LaunchOptions::startStatusFor(launch.appType, launch.uiType);
    if (status == AppStartStatus_None) {
        qWarning() << "ZmApplication::postStartStatus no start status for app type" << launch.appType << "and ui type"
                   << launch.uiType;
        return;
    }
    qInfo() << "ZmApplication::postStartStatus" << status;
    postAppStatusEvent(status);
}

void ZmApplication::postAppStatusEvent(int status)
{
    if (!s_routeManager) {
        qWarning() << "ZmApplication::postAppStatusEvent no window router: status" << status << "dropped";
        return;
    }
    QCoreApplication::postEvent(s_routeManager.data(), new ZmAppStatusEvent(status), Qt::NormalEventPriority);
}

void ZmApplication::postAppEvent(int code)
{
    if (!s_routeManager) {
        qWarning() << "ZmApplication::postAppEvent no window router: event code" << code << "dropped";
        return;
    }
    QCoreApplication::postEvent(s_routeManager.data(), new ZmAppEvent(code), Qt::NormalEventPriority);
}

void ZmApplication::createRouteManager()
{
    if (s_routeManager)
        return;
    s_routeManager = new ZmRouteManager;
    s_routeManager->init();
}

ZmRouteManager* ZmApplication::routeManager() const
{
    return s_routeManager.data();
}

bool ZmApplication::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FileOpen)
        return QApplication::eventFilter(watched, event);

    const QString url = static_cast<QFileOpenEvent*>(event)->url().toString(QUrl::FullyEncoded);
    const QStringList list = splitOpenedLink(url);
    QStringList shown;
    for (const QString& piece : list)
        shown.append(maskOptionSecrets(piece, OptionTextKind_Argument));
    qInfo().noquote() << "open url params - " + shown.join(QStringLiteral(", "));
    if (!list.isEmpty())
        URLInComing(list.size(), list);
    return false;
}

void ZmApplication::URLInComing(int count, const QStringList& list)
{
    qInfo() << "ZmApplication::URLInComing!";
    const QStringList options = normalizeArguments(count, list);
    parseCommandLine(options, QVector<bool>(options.size(), true));
    postStartStatus();
}

void ZmApplication::showInformation(const QString& text)
{
    showInformationBox(QStringLiteral("Information"), text);
}
