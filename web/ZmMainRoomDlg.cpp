#include "web/ZmMainRoomDlg.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LaunchOptions.h"
#include "app/ProgramFiles.h"
#include "app/ZmAppEvents.h"
#include "live/rtc/DeviceInfo.h"
#include "net/packages/OfflineLessonResManager.h"
#include "settings/DeviceCheckOpener.h"
#include "settings/SystemSettingDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/ProgramRestart.h"
#include "ui/common/QRadiusMenu.h"
#include "web/HomePageWrites.h"
#include "web/ZmMainWebRoom.h"
#include "web/ZmRouteManager.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrlQuery>

namespace {

constexpr char kTitleIcon[] = ":/imageRes/image/res/logo2@2x.png";
// The built-in instructional video page; deployments set their own in "AppInfo/Video_URL_HelpVideo".
constexpr char kDefaultHelpVideoAddress[] = "https://www.zmquillo.com/help/video";
constexpr int kDeviceCheckAfterLoginMs = 500;

const char* const kSignedInButtons[] = {"ButtonBackward", "ButtonForward", "ButtonHome", "ButtonImport"};
// The chosen devices, in the order they are read; all three are reset together, in the order of kDeviceResetKeys.
const char* const kDeviceKeys[] = {kSelectedCameraKey, kSelectedMicrophoneKey, kSelectedSpeakerKey};
const char* const kDeviceResetKeys[] = {kSelectedMicrophoneKey, kSelectedSpeakerKey, kSelectedCameraKey};

void deleteWhenDone(QObject* context, int)
{
    if (context)
        context->deleteLater();
}

} // namespace

ZmMainRoomDlg::ZmMainRoomDlg(QWidget* parent)
    : ZmBaseDialog(parent)
    , m_toast(this)
{
    buildForm();

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        setGeometry(area.width() / 6, area.height() / 6, area.width() * 2 / 3, area.height() * 2 / 3);
    }
    setUpTitleBar();
    setNormalSize(kNormalWidth, kNormalHeight);
}

ZmMainRoomDlg::~ZmMainRoomDlg() = default;

void ZmMainRoomDlg::buildForm()
{
    setObjectName(QStringLiteral("ZmMainRoomDlg"));
    resize(630, 352);
    m_outerLayout = new QGridLayout(this);
    m_outerLayout->setObjectName(QStringLiteral("gridLayout"));
    // The page starts below the title bar, which lies over the window's top edge.
    m_outerLayout->setContentsMargins(0, m_titleBar->height(), 0, 0);
    m_outerLayout->setSpacing(0);
    m_innerLayout = new QGridLayout();
    m_innerLayout->setObjectName(QStringLiteral("gridLayout_2"));
    m_innerLayout->setContentsMargins(0, 0, 0, 0);
    m_outerLayout->addLayout(m_innerLayout, 0, 0);
    m_webRoom = new ZmMainWebRoom(this);
    m_webRoom->setObjectName(QStringLiteral("webmr"));
    m_innerLayout->addWidget(m_webRoom, 0, 0);
    setWindowTitle(tr("ZmQuillo - Main Room"));
}

void ZmMainRoomDlg::setUpTitleBar()
{
    m_titleBar->setTitleIcon(QString::fromLatin1(kTitleIcon));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    setBackgroundColor(QColor(36, 49, 56, 255));
    m_titleBar->setFeedbackButtonHidden(true);
    for (const char* name : {"PeriodID", "CpuUsage", "ButtonNetwork"}) {
        if (QWidget* widget = m_titleBar->findChild<QWidget*>(QLatin1String(name)))
            widget->hide();
    }

    connect(m_titleBar, &MyTitleBar::signalButtonCloseClicked, this, &ZmMainRoomDlg::onButtonCloseClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonReloadClicked, this, &ZmMainRoomDlg::onButtonReloadClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonSettingClicked, this, &ZmMainRoomDlg::onButtonSettingClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonBackClicked, this, &ZmMainRoomDlg::onButtonBackwardClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonForwardClicked, this, &ZmMainRoomDlg::onButtonForwardClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonHomeClicked, this, &ZmMainRoomDlg::onButtonHomeClicked);
    connect(m_titleBar, &MyTitleBar::signalButtonImportClicked, this, &ZmMainRoomDlg::onButtonImportClicked);
    setSignedInButtonsVisible(false);
}

void ZmMainRoomDlg::setSignedInButtonsVisible(bool visible)
{
    for (const char* name : kSignedInButtons) {
        if (QWidget* button = m_titleBar->findChild<QWidget*>(QLatin1String(name)))
            button->setVisible(visible);
    }
}

QUrl ZmMainRoomDlg::homeAddressFor(const QString& indexPage, const QString& webMode, const QString& language,
                                   const QString& version)
{
    QUrl address = QUrl::fromLocalFile(indexPage);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("mode"), QString::fromLatin1(QUrl::toPercentEncoding(webMode)));
    query.addQueryItem(QStringLiteral("language"),
                       language == QLatin1String("cn") ? QStringLiteral("zh-CN") : QStringLiteral("en"));
    query.addQueryItem(QStringLiteral("v"), QString::fromLatin1(QUrl::toPercentEncoding(version)));
    address.setQuery(query);
    return address;
}

void ZmMainRoomDlg::wireWebRoom()
{
    m_webRoom->initWebChannel();
    connect(m_webRoom, &ZmMainWebRoom::sig_webLoginSuccess, this, &ZmMainRoomDlg::onWebLoginSuccess,
            Qt::QueuedConnection);
    connect(m_webRoom, &ZmMainWebRoom::sig_webLeaveSuccess, this, &ZmMainRoomDlg::onWebLeaveSuccess,
            Qt::QueuedConnection);
    connect(m_webRoom, &ZmMainWebRoom::sig_webGotoLesson, this, &ZmMainRoomDlg::onWebGotoLesson, Qt::QueuedConnection);
    onButtonMaxClicked();
}

void ZmMainRoomDlg::loadHomePage()
{
    const QString indexPage = ConfigManager::instance()->getOfflineIndexPage();
    if (!QFileInfo(indexPage).isFile())
        qWarning().noquote() << "ZmMainRoomDlg::loadHomePage the home page is missing:" << indexPage;
    const LaunchInfo& launch = AppGlobalData::instance()->launch;
    m_homeAddress = homeAddressFor(indexPage, launch.webMode, launch.language, getExeFileVersion(3));
    qInfo().noquote() << "ZmMainRoomDlg::loadHomePage" << m_homeAddress.toString();
    m_webRoom->loadAddress(m_homeAddress);
}

void ZmMainRoomDlg::setVisible(bool visible)
{
    ZmBaseDialog::setVisible(visible);
    if (!m_shownByRouter)
        return;
    if (visible)
        m_webRoom->stopHeartbeat();
    else
        m_webRoom->startHeartbeat();
}

bool ZmMainRoomDlg::setCurModalDialog(QDialog* dialog)
{
    if (dialog && dialog == m_curModalDialog) {
        qWarning() << "Error:setCurModalDialog ==m_pCurModalDialog2!";
        return true;
    }
    if (QDialog* held = m_curModalDialog.data()) {
        m_curModalDialog = nullptr;
        held->reject();
        held->deleteLater();
    }
    m_curModalDialog = dialog;
    return true;
}

QDialog* ZmMainRoomDlg::curModalDialog() const
{
    return m_curModalDialog.data();
}

QRadiusMenu* ZmMainRoomDlg::settingsMenu() const
{
    return m_settingsMenu.data();
}

void ZmMainRoomDlg::openSystemSettings()
{
    auto* dialog = new SystemSettingDlg(this);
    setCurModalDialog(dialog);
    dialog->setDoneCallback(&deleteWhenDone, dialog);
    dialog->show();
}

void ZmMainRoomDlg::popupCheckSystemDlg()
{
    popupCheckSystemDlg(true);
}

void ZmMainRoomDlg::popupCheckSystemDlg(bool bCanClose)
{
    QWidget* setting = m_titleBar->findChild<QWidget*>(QStringLiteral("ButtonSetting"));
    if (setting && !setting->isEnabled()) {
        qInfo() << "ZmMainRoomDlg::popupCheckSystemDlg a device check is open already";
        return;
    }
    if (setting)
        setting->setEnabled(false);
    const QPointer<QWidget> settingButton(setting);
    const auto enableSetting = [settingButton](int result) {
        qInfo() << "ZmMainRoomDlg::popupCheckSystemDlg the device check is done:" << result;
        if (settingButton)
            settingButton->setEnabled(true);
    };
    if (!openDeviceCheckWizard(this, bCanClose, enableSetting) && setting)
        setting->setEnabled(true);
}

QUrl ZmMainRoomDlg::helpVideoAddress(const QString& iniPath)
{
    QString address = QString::fromLatin1(kDefaultHelpVideoAddress);
    readIniString(iniPath, QStringLiteral("AppInfo/Video_URL_HelpVideo"), address);
    // The settings file cannot hold "=" in a value: the address keeps "*" in its place.
    address.replace(QLatin1Char('*'), QLatin1Char('='));
    const QUrl url = HomePageWrites::externalAddress(address);
    if (url.isEmpty())
        qWarning().noquote() << "ZmMainRoomDlg::helpVideoAddress not an http or https address:" << address;
    return url;
}

void ZmMainRoomDlg::popupVideoWebTip()
{
    const QUrl url = helpVideoAddress(getDesktopIniPath());
    if (url.isEmpty())
        return;
    qInfo().noquote() << "ZmMainRoomDlg::popupVideoWebTip" << url.toString();
    if (!QDesktopServices::openUrl(url))
        qWarning() << "ZmMainRoomDlg::popupVideoWebTip the desktop did not open the address";
}

void ZmMainRoomDlg::onButtonCloseClicked()
{
    auto* dialog = new CancelOkWarningDlg(this);
    setCurModalDialog(dialog);
    dialog->setMessageText(tr("Are you sure you want to exit ZmQuillo?"));
    dialog->setDoneCallback(
        [](QObject* context, int result) {
            deleteWhenDone(context, result);
            if (result == CancelOkWarningDlg::ResultOk)
                ZmRouteManager::postAppEvent(AppEventCode_MainRoomClosed);
        },
        dialog);
    dialog->show();
}

void ZmMainRoomDlg::onButtonReloadClicked()
{
    m_webRoom->reloadAddress();
}

void ZmMainRoomDlg::onButtonSettingClicked()
{
    if (m_settingsMenu)
        m_settingsMenu->deleteLater();
    auto* menu = new QRadiusMenu(this);
    m_settingsMenu = menu;
    if (!AppGlobalData::instance()->launch.userId.isEmpty()) {
        menu->addAction(tr("Instructional video"), this, &ZmMainRoomDlg::popupVideoWebTip, QKeySequence());
        menu->addAction(
            tr("Devices test"), this, [this] { popupCheckSystemDlg(true); }, QKeySequence());
        menu->addAction(
            tr("Clear cache"), this, [this] { askToClearCache(); }, QKeySequence());
    }
    menu->addAction(
        tr("System setting"), this, [this] { openSystemSettings(); }, QKeySequence());
    QWidget* button = m_titleBar->findChild<QWidget*>(QStringLiteral("ButtonSetting"));
    menu->popup(button ? button->mapToGlobal(button->rect().center()) : mapToGlobal(rect().center()));
}

void ZmMainRoomDlg::askToClearCache()
{
    auto* dialog = new CancelOkWarningDlg(this);
    setCurModalDialog(dialog);
    dialog->setMessageText(tr("Clear cache can free disk space. Do you want to clear it immediately?\nClearing the "
                              "cache will restart the software and need to login again."));
    dialog->setOkText(tr("Yes"));
    const QPointer<ZmMainRoomDlg> self(this);
    dialog->setDoneCallback(
        [self](QObject* context, int result) {
            deleteWhenDone(context, result);
            if (self && result == CancelOkWarningDlg::ResultOk)
                self->clearCacheAndRestart();
        },
        dialog);
    dialog->show();
}

void ZmMainRoomDlg::clearCacheAndRestart()
{
    // The new copy clears the cache at its start, before any page holds it.
    ConfigManager::instance()->ini_SetParam_Int("AppInfo/ClearCache", 1);
    qInfo() << "ZmMainRoomDlg::clearCacheAndRestart AppInfo/ClearCache = 1; restarting";
    if (!restartProgram())
        showNotice(tr("The software could not restart.\nThe cache is cleared at its next start."));
}

bool ZmMainRoomDlg::restartProgram()
{
    return ProgramRestart::restart();
}

void ZmMainRoomDlg::showNotice(const QString& text)
{
    auto* notice = new CancelOkWarningDlg(this);
    setCurModalDialog(notice);
    notice->setCancelButtonVisible(false);
    notice->setMessageText(text);
    notice->setDoneCallback(&deleteWhenDone, notice);
    notice->show();
}

void ZmMainRoomDlg::onButtonBackwardClicked()
{
    m_webRoom->back();
}

void ZmMainRoomDlg::onButtonForwardClicked()
{
    m_webRoom->forward();
}

void ZmMainRoomDlg::onButtonHomeClicked()
{
    m_webRoom->loadAddress(m_homeAddress);
}

QString ZmMainRoomDlg::chooseCoursewareZip()
{
    return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Zip Files (*.zip)"));
}

void ZmMainRoomDlg::onButtonImportClicked()
{
    const QString archive = chooseCoursewareZip();
    if (archive.isEmpty())
        return;
    QString folder;
    const int result = OfflineLessonResManager::instance()->importCoursewareZip(archive, folder);
    qInfo().noquote() << "ZmMainRoomDlg::onButtonImportClicked" << archive << "->" << folder << "result" << result;
    if (result == 0)
        m_toast.showToast(ToastDialog::Success, tr("Courseware imported."));
    else
        m_toast.showToast(ToastDialog::Error, tr("Courseware import failed."));
}

void ZmMainRoomDlg::onWebGotoLesson()
{
    const int uiType = AppGlobalData::instance()->launch.uiType;
    const int status = LaunchOptions::startStatusFor(AppType_JoinClass, uiType);
    if (status == AppStartStatus_None) {
        qWarning() << "ZmMainRoomDlg::onWebGotoLesson no class room for ui type" << uiType;
        return;
    }
    qInfo() << "ZmMainRoomDlg::onWebGotoLesson start status" << status;
    ZmRouteManager::postAppStatusEvent(status);
}

void ZmMainRoomDlg::onWebLoginSuccess()
{
    setSignedInButtonsVisible(true);
    ConfigManager* config = ConfigManager::instance();
    bool complete = true;
    for (const char* key : kDeviceKeys) {
        QByteArray id;
        config->ini_GetParam_String(key, id);
        if (id.isEmpty())
            complete = false;
    }
    if (complete)
        return;
    // A user without chosen devices goes through the device check, which cannot be left early.
    for (const char* key : kDeviceResetKeys)
        config->ini_SetParam_String(key, QByteArray());
    qInfo() << "ZmMainRoomDlg::onWebLoginSuccess a chosen device is missing: the device check follows";
    QTimer::singleShot(kDeviceCheckAfterLoginMs, this, [this] {
        QMetaObject::invokeMethod(this, "popupCheckSystemDlg", Qt::QueuedConnection, Q_ARG(bool, false));
    });
}

void ZmMainRoomDlg::onWebLeaveSuccess()
{
    setSignedInButtonsVisible(false);
}

bool ZmMainRoomDlg::event(QEvent* event)
{
    if (event->type() == kMaximizeEventType) {
        event->accept();
        m_titleBar->setMaximizedState();
    }
    return ZmBaseDialog::event(event);
}

void ZmMainRoomDlg::closeEvent(QCloseEvent* event)
{
    // Qt delivers every close of a top-level window as spontaneous; only the router's and a restart's go through.
    if (m_shownByRouter && !ProgramRestart::isClosingWindows()) {
        event->ignore();
        onButtonCloseClicked();
        return;
    }
    ZmBaseDialog::closeEvent(event);
}

void ZmMainRoomDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    ZmBaseDialog::keyPressEvent(event);
}
