#include "ui/updates/VersionChecker.h"

#include "app/ConfigManager.h"
#include "app/SystemInfo.h"
#include "net/api/ApiCommonParams.h"
#include "net/api/ZmNetAPI.h"
#include "net/updates/WebResourceUpdate.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/updates/Updater.h"

#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QtDebug>

VersionChecker::VersionChecker(QObject* parent)
    : QEventLoop(parent)
    , m_timer(new QTimer(this))
    , m_updater(new Updater)
{
    connect(m_timer, &QTimer::timeout, this, &VersionChecker::timeout);
}

VersionChecker::~VersionChecker()
{
    delete m_timer;
    delete m_updater;
}

void VersionChecker::timeout()
{
    quit();
}

int VersionChecker::verdictOf(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

bool VersionChecker::checkVersion()
{
    PublicResourcesInfo info;
    const int result = ZmNetAPI::instance()->getPublicResources(ApiCommonParams::installedWebVersion(), info);
    if (result != 0) {
        qWarning() << "VersionChecker::checkVersion the version request failed:" << result;
        return true;
    }

    m_checkResult = verdictOf(info.value(QStringLiteral("checkResult")));
    m_latestVersion = info.value(QStringLiteral("latestVersion"));
    if (isChineseUiLanguage()) {
        m_updateAddress = info.value(QStringLiteral("latestVersionURL"));
        m_description = info.value(QStringLiteral("latestVersionDesc"));
    } else {
        m_updateAddress = info.value(QStringLiteral("latestVersionURLEn"));
        m_description = info.value(QStringLiteral("latestVersionDescEn"));
    }
    qInfo().noquote() << "VersionChecker::checkVersion program verdict" << m_checkResult << "latest" << m_latestVersion;

    if (m_checkResult == Verdict_Optional) {
        emit sigUiShowed();
        if (askForOptionalUpdate()) {
            m_updater->startDownload(QUrl(m_updateAddress), false);
            if (m_updater->exec() == QDialog::Accepted)
                return false;
        }
    } else if (m_checkResult == Verdict_Forced) {
        emit sigUiShowed();
        m_updater->startDownload(QUrl(m_updateAddress), false);
        m_updater->exec();
        return false;
    }
    return checkWebResources(info);
}

bool VersionChecker::askForOptionalUpdate()
{
    const QString text = tr("Would you like to download the update now?") + QLatin1Char('\n') +
                         tr("Version %1 has been released!").arg(m_latestVersion) + QLatin1Char('\n') + m_description;
    UpgradeDlg question(tr("Updater"), text, QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Question, nullptr);
    question.exec();
    return question.clickedButton() == QMessageBox::Ok;
}

bool VersionChecker::checkWebResources(const QMap<QString, QString>& info)
{
    const int webVerdict = verdictOf(info.value(QStringLiteral("web.checkResult")));
    if (webVerdict != Verdict_Optional && webVerdict != Verdict_Forced)
        return true;

    emit sigUiShowed();
    m_updater->startDownload(QUrl(info.value(QStringLiteral("web.latestVersionURLEn"))), true);
    if (m_updater->exec() != QDialog::Accepted) {
        qInfo() << "VersionChecker::checkVersion the web-resource update was stopped; verdict" << webVerdict;
        return webVerdict != Verdict_Forced;
    }
    const QString resourceDir = ConfigManager::instance()->getOfflineResourceDir();
    if (!WebResourceUpdate::install(m_updater->downloadedFilePath(), info.value(QStringLiteral("web.MD5")),
                                    resourceDir))
        qWarning() << "VersionChecker::checkVersion the web resources were not updated; the installed ones stay";
    return true;
}
