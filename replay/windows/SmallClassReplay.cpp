#include "replay/windows/SmallClassReplay.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/SystemInfo.h"
#include "live/entry/InitTaskRunner.h"
#include "net/packages/OfflineLessonResManager.h"
#include "replay/widgets/ReplayResources.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "rooms/widgets/PageEnvironment.h"
#include "settings/FeedbackFlow.h"
#include "settings/FeedbackReceivedDlg.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/QDelayTimer.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include "ui_SmallClassReplay.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QUrl>

namespace {

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

void hideTitleButton(MyTitleBar* titleBar, const char* name)
{
    if (auto* button = titleBar->findChild<QPushButton*>(QLatin1String(name)))
        button->hide();
}

} // namespace

SmallClassReplay::SmallClassReplay(QWidget* parent)
    : ZmBaseDialog(parent)
    , m_ui(new Ui::SmallClassReplay)
    , m_cpuUsage(&getSystemCpuUsage)
{
    ReplayResources::ensureLoaded();
    qRegisterMetaType<Init_Tasks_Result>("Init_Tasks_Result");
    qRegisterMetaType<NotRecommendDeviceType>("NotRecommendDeviceType");
    m_ui->setupUi(this);

    m_titleBar->setTitleIcon(QStringLiteral(":/imageRes/image/res/logo2@2x.png"));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    m_titleBar->setPeriodId(AppGlobalData::instance()->lesson.periodId);
    setBackgroundColor(QColor(36, 49, 56, 255));

    connect(m_titleBar, &MyTitleBar::signalButtonCloseClicked, this, &SmallClassReplay::onTitleCloseBtnClicked,
            Qt::QueuedConnection);
    connect(m_titleBar, &MyTitleBar::signalButtonBackClicked, this, &SmallClassReplay::onTitleCloseBtnClicked);

    m_titleBar->setForwardButtonHidden(true);
    m_titleBar->setHomeButtonHidden(true);
    m_titleBar->showNetworkButton();
    hideTitleButton(m_titleBar, "ButtonBackward");
    hideTitleButton(m_titleBar, "ButtonReload");
    m_titleBar->setSettingButtonHidden(true);
    m_titleBar->setFeedbackButtonHidden(true);

    whiteboard()->hideLessonTitle();

    m_cpuTimer.setInterval(cpuSampleIntervalMs);
    m_cpuTimer.setSingleShot(false);
    connect(&m_cpuTimer, &QTimer::timeout, this, &SmallClassReplay::onTimerCpuUsage);
    m_cpuTimer.start();

    connect(whiteboard(), &Whiteboard::sigWebEnvRequest, this, &SmallClassReplay::onWbWebEnvRequest);
    connect(whiteboard(), &Whiteboard::sigWebCloseWindow_respone, this, &SmallClassReplay::onWbWebCloseWindowResponse);
    connect(whiteboard(), &Whiteboard::sigWebCloseWindow, this, &SmallClassReplay::onWbWebCloseWindow);
}

SmallClassReplay::~SmallClassReplay()
{
    m_cpuTimer.stop();
    delete m_ui;
}

CoursewareViewer* SmallClassReplay::courseware() const
{
    return m_ui->courseware;
}

Whiteboard* SmallClassReplay::whiteboard() const
{
    return m_ui->courseware->whiteboard();
}

void SmallClassReplay::showMax()
{
    m_titleBar->setMaximizedState();
    show();
}

void SmallClassReplay::resizeEvent(QResizeEvent* event)
{
    ZmBaseDialog::resizeEvent(event);
    if (!m_entryStarted && event->size().width() == availableDesktopArea().width()) {
        m_entryStarted = true;
        // The timer skips the call when the window is gone by then.
        QDelayTimer::delay(
            entryDelayMs,
            [](QDelayTimer* timer) {
                if (auto* window = qobject_cast<SmallClassReplay*>(timer->context()))
                    window->initTasks();
            },
            this);
    }
    m_ui->gridLayout_2->setContentsMargins(10, 44, 10, 10);
    m_ui->courseware->setFixedSize(qMax(0, width() - 20), qMax(0, height() - 54));
}

QString SmallClassReplay::replayPageAddress(const QString& pagePath, const QString& lessonFolder,
                                            const QString& periodId, int userId, const QString& token,
                                            const QString& webMode, const QString& language)
{
    const QString page = pagePath.isEmpty() ? QString() : QUrl::fromLocalFile(pagePath).toString(QUrl::FullyEncoded);
    const QString pptPath = QUrl::fromLocalFile(lessonFolder).toString();
    return page +
           QStringLiteral("?periodId=%1&userId=%2&token=%3&mode=%4&ppt_path=%5&language=%6")
               .arg(encoded(periodId), QString::number(userId), encoded(token), encoded(webMode), encoded(pptPath),
                    language == QLatin1String("cn") ? QStringLiteral("zh-CN") : QStringLiteral("en")) +
           QStringLiteral("&isReplay=1");
}

bool SmallClassReplay::initTasks()
{
    m_initTaskParams = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, whiteboard());
    if (!m_initTaskParams)
        return false;

    AppGlobalData* data = AppGlobalData::instance();
    QString folder;
    if (!OfflineLessonResManager::instance()->getLessonResourceDir(data->lesson.lessonId, &folder)) {
        qWarning() << "SmallClassReplay::initTasks no offline folder for lesson" << data->lesson.lessonId;
        freeInitTaskParams(m_initTaskParams);
        return false;
    }

    const QString address =
        replayPageAddress(ConfigManager::instance()->getOfflineRoomPage(), folder, data->lesson.periodId,
                          data->userIdAsInt(), data->launch.token, data->launch.webMode, data->launch.language);
    m_initTaskParams->extendParams_.insert(QLatin1String(EXTEND_PARAM_WhiteBoard_URL), address);
    m_initTaskParams->extendParams_.insert(QLatin1String(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale), false);

    QList<int> kinds{WebEngine_LoadWhiteboard};
    const Init_Tasks_Result result = runTasks_awaitEnd(this, &kinds, this, entryStepTimeoutSec);
    if (result == 0) {
        m_titleBar->setTitleText(data->lesson.lessonName);
        connect(whiteboard(), &Whiteboard::sigWebBtn_Clicked, this, &SmallClassReplay::onWbWebBtnClicked,
                Qt::UniqueConnection);
    } else {
        qWarning() << "SmallClassReplay::initTasks the replay page did not load:" << result;
        connectInitTasksEnded(this, SLOT(ExitMe()));
    }
    logEmitSignal("sig_initTasks_ended");
    emit sig_initTasks_ended(result);
    freeInitTaskParams(m_initTaskParams);
    return true;
}

void SmallClassReplay::connectInitTasksEnded(QObject* receiver, const char* slot)
{
    qRegisterMetaType<Init_Tasks_Result>("Init_Tasks_Result");
    disconnect(this, SIGNAL(sig_initTasks_ended(Init_Tasks_Result)), receiver, slot);
    connect(this, SIGNAL(sig_initTasks_ended(Init_Tasks_Result)), receiver, slot, Qt::QueuedConnection);
}

bool SmallClassReplay::setCurModalDialog(ModalDialog* dialog)
{
    if (dialog == m_pCurModalDialog) {
        if (dialog)
            qDebug() << "Error:setCurModalDialog ==m_pCurModalDialog2!";
        return true;
    }
    if (m_pCurModalDialog) {
        m_pCurModalDialog->reject();
        m_pCurModalDialog->deleteLater();
        m_pCurModalDialog = nullptr;
    }
    if (!dialog)
        return true;
    if (m_initTaskParams)
        return false;
    m_pCurModalDialog = dialog;
    return true;
}

void SmallClassReplay::onTitleCloseBtnClicked()
{
    if (m_pCurModalDialog) {
        m_pCurModalDialog->reject();
        m_pCurModalDialog->deleteLater();
        m_pCurModalDialog = nullptr;
    }
    auto* question = new CancelOkWarningDlg(this);
    m_pCurModalDialog = question;
    question->setMessageText(tr("Are you sure you want to exit Playback?"));
    question->setDoneCallback(
        [](QObject* context, int result) {
            auto* window = qobject_cast<SmallClassReplay*>(context);
            if (window && result == CancelOkWarningDlg::ResultOk)
                window->ExitMe();
        },
        this);
    question->show();
}

void SmallClassReplay::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        ZmBaseDialog::closeEvent(event);
        return;
    }
    event->ignore();
    logEmitSignal("signalButtonCloseClicked");
    emit m_titleBar->signalButtonCloseClicked();
}

void SmallClassReplay::ExitMe()
{
    m_exiting = true;
    ZmRouteManager::postAppEvent(1);
    AppGlobalData::instance()->clearUsers();
}

void SmallClassReplay::onWbWebCloseWindow()
{
    ExitMe();
}

void SmallClassReplay::onWbWebCloseWindowResponse() {}

void SmallClassReplay::onWbWebEnvRequest()
{
    postPageEnvironment(whiteboard(), static_cast<quint32>(AppGlobalData::instance()->userIdAsInt()));
}

void SmallClassReplay::onWbWebBtnClicked(QString webBtn_domID)
{
    if (webBtn_domID == QLatin1String("reset"))
        whiteboard()->reloadPage();
    else if (webBtn_domID == QLatin1String("feedback"))
        popupFeedbackDlg();
}

void SmallClassReplay::popupFeedbackDlg()
{
    FeedbackFlow::openForm(
        this,
        [this](ModalDialog* dialog) {
            if (setCurModalDialog(dialog))
                dialog->show();
            else
                dialog->deleteLater();
        },
        [this] { QMetaObject::invokeMethod(this, "popupFeedbackReceivedDlg", Qt::QueuedConnection); });
}

void SmallClassReplay::popupFeedbackReceivedDlg()
{
    auto* received = new FeedbackReceivedDlg(this);
    if (!setCurModalDialog(received)) {
        received->deleteLater();
        return;
    }
    received->setDoneCallback([](QObject*, int) {}, this);
    received->show();
}

void SmallClassReplay::showNotice(const QString& text)
{
    auto* notice = new CancelOkWarningDlg(this);
    if (!setCurModalDialog(notice)) {
        notice->deleteLater();
        return;
    }
    notice->setMessageText(text);
    notice->setOkText(tr("Get it"));
    notice->setCancelButtonVisible(false);
    notice->setDoneCallback([](QObject*, int) {}, this);
    notice->show();
}

void SmallClassReplay::popupNotRecommendDlg(NotRecommendDeviceType deviceTypes)
{
    if (deviceTypes == 0)
        return;
    QString names;
    if (deviceTypes & NotRecommend_Camera)
        names = tr("camera");
    if (deviceTypes & NotRecommend_Microphone)
        names += (names.isEmpty() ? QString() : QStringLiteral(",")) + tr("microphone");
    if (deviceTypes & NotRecommend_Speaker)
        names += (names.isEmpty() ? QString() : QStringLiteral(",")) + tr("speaker");
    showNotice(tr("The device (") + names + tr(") may affect classes. Please replace the new device in time."));
}

void SmallClassReplay::onTimerCpuUsage()
{
    const int cpu = m_cpuUsage();
    qDebug() << "Win_CpuUsage:" << cpu << "% (" << m_cpuOverloadCount << ")";
    m_titleBar->setCpuUsage(cpu);
    if (cpu > 0)
        m_titleBar->setCpuUsageVisible(true);
    if (m_cpuOverloadCount >= 0)
        m_cpuOverloadCount = cpu >= cpuOverloadPercent ? m_cpuOverloadCount + 1 : 0;
    if (m_cpuOverloadCount == cpuOverloadSamples) {
        // Once in the window's life, also when the notice is refused.
        m_cpuOverloadCount = -1;
        showNotice(tr("CPU overload, please close other software programs."));
    }
}
