#include "ui/common/MyTitleBar.h"

#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/ProgramFiles.h"
#include "ui/common/QDelayTimer.h"
#include "ui/common/TitleBarDialogs.h"
#include "ui/common/UiResources.h"

#include <QDebug>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

namespace {

const int kButtonWidth = 30;
const int kButtonHeight = 24;
const int kTitleBarHeight = 46;
const int kRollIntervalMs = 200;
const int kFeedbackTipDelayMs = 1000;

QFont infoFont()
{
    return QFont(QStringLiteral("Microsoft YaHei"), 10, 50);
}

// The look shared by the version, period id and processor-load labels.
void setUpInfoLabel(QLabel* label)
{
    label->setFont(infoFont());
    label->setAlignment(Qt::AlignBottom | Qt::AlignHCenter);
    label->setMargin(2);
    label->setFixedHeight(32);
}

QPushButton* newTitleButton(QWidget* parent, const char* objectName)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFixedSize(kButtonWidth, kButtonHeight);
    return button;
}

QLabel* newLabel(QWidget* parent, const char* objectName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setStyleSheet(QStringLiteral("QLabel#%1{margin-top:1px;margin-bottom:-1px;color:rgb(255, 255, 255);}")
                             .arg(QLatin1String(objectName)));
    return label;
}

} // namespace

int MyTitleBar::s_rollPosition = 0;

int MyTitleBar::networkLevelFor(int rxQuality)
{
    switch (rxQuality) {
    case 0:
    case 1:
    case 2:
        return 1;
    case 3:
    case 4:
        return 2;
    case 5:
    case 6:
        return 3;
    default:
        return 0;
    }
}

MyTitleBar::MyTitleBar(QWidget* parent)
    : QWidget(parent)
{
    UiResources::ensureLoaded();
    initControls();
    initConnections();
    loadStyleSheet(QStringLiteral("MyTitle"));
    setNetworkQuality(2, 2);

    // The hint may only run while this title bar still exists: the destructor stops the pending check, and the
    // check itself tests a guarded pointer to the title bar before it touches it.
    const QPointer<MyTitleBar> self(this);
    m_feedbackTipTimer = QDelayTimer::delay(
        kFeedbackTipDelayMs,
        [self](QDelayTimer* timer) {
            auto* titleBar = qobject_cast<MyTitleBar*>(timer->context());
            if (!self || titleBar != self.data())
                return;
            titleBar->showFeedbackTipOnce();
        },
        this);
}

MyTitleBar::~MyTitleBar()
{
    delete m_feedbackTipTimer.data();
    delete m_feedbackTip.data();
}

void MyTitleBar::initControls()
{
    m_productIcon = newLabel(this, "productIcon");

    m_productVersion = newLabel(this, "productVersion");
    m_productVersion->setText(tr("VERSION: ") + getExeFileVersion(3));
    setUpInfoLabel(m_productVersion);

    m_periodId = newLabel(this, "PeriodID");
    setUpInfoLabel(m_periodId);

    m_cpuUsage = newLabel(this, "CpuUsage");
    setUpInfoLabel(m_cpuUsage);
    m_cpuUsage->setVisible(false);

    m_buttonBackward = newTitleButton(this, "ButtonBackward");
    m_buttonForward = newTitleButton(this, "ButtonForward");
    m_buttonReload = newTitleButton(this, "ButtonReload");
    m_buttonSetting = newTitleButton(this, "ButtonSetting");
    m_buttonHome = newTitleButton(this, "ButtonHome");
    m_buttonShareDesktop = newTitleButton(this, "ButtonShareDesktop");
    m_buttonFeedback = newTitleButton(this, "ButtonFeedback");
    m_buttonBackward->setToolTip(tr("Back"));
    m_buttonForward->setToolTip(tr("Forward"));
    m_buttonReload->setToolTip(tr("Refresh"));
    m_buttonSetting->setToolTip(tr("Setting"));
    m_buttonHome->setToolTip(tr("Home"));
    m_buttonShareDesktop->setToolTip(tr("Screen Sharing"));
    m_buttonFeedback->setToolTip(tr("Help"));

    m_titleContent = new QLabel(this);
    m_titleContent->setObjectName(QStringLiteral("TitleContent"));
    m_titleContent->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_titleContent->setAlignment(Qt::AlignVCenter | Qt::AlignHCenter);

    m_buttonNetwork = new QToolButton(this);
    m_buttonNetwork->setObjectName(QStringLiteral("ButtonNetwork"));
    m_buttonNetwork->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_buttonNetwork->setIconSize(QSize(kButtonWidth, kButtonHeight));
    m_buttonNetwork->setFixedHeight(kButtonHeight);
    m_buttonNetwork->setVisible(false);

    m_buttonMin = newTitleButton(this, "ButtonMin");
    m_buttonRestore = newTitleButton(this, "ButtonRestore");
    m_buttonMax = newTitleButton(this, "ButtonMax");
    m_buttonClose = newTitleButton(this, "ButtonClose");

    m_buttonImport = newTitleButton(this, "ButtonImport");
    m_buttonImport->setToolTip(tr("Import File"));
    m_buttonImport->setVisible(false);

    m_layout = new QHBoxLayout(this);
    m_layout->addWidget(m_productIcon);
    m_layout->addWidget(m_buttonBackward);
    m_layout->addWidget(m_buttonForward);
    m_layout->addWidget(m_buttonReload);
    m_layout->addWidget(m_buttonSetting);
    m_layout->addWidget(m_buttonHome);
    m_layout->addWidget(m_buttonShareDesktop);
    m_layout->addWidget(m_buttonFeedback);
    m_layout->addWidget(m_buttonImport);
    m_layout->addWidget(m_titleContent);
    m_layout->addWidget(m_productVersion);
    m_layout->addWidget(m_periodId);
    m_layout->addWidget(m_cpuUsage);
    m_layout->addWidget(m_buttonNetwork, 0, Qt::AlignBottom);
    m_layout->addWidget(m_buttonMin);
    m_layout->addWidget(m_buttonRestore);
    m_layout->addWidget(m_buttonMax);
    m_layout->addWidget(m_buttonClose);
    m_layout->setContentsMargins(5, 0, 0, 0);
    m_layout->setSpacing(24);

    m_buttonShareDesktop->setVisible(false);

    setFixedHeight(kTitleBarHeight);
    setWindowFlags(Qt::FramelessWindowHint);
}

void MyTitleBar::initConnections()
{
    connect(m_buttonBackward, SIGNAL(clicked()), this, SLOT(onButtonBackClicked()));
    connect(m_buttonForward, SIGNAL(clicked()), this, SLOT(onButtonForwardClicked()));
    connect(m_buttonReload, SIGNAL(clicked()), this, SLOT(onButtonReloadClicked()));
    connect(m_buttonSetting, SIGNAL(clicked()), this, SLOT(onButtonSettingClicked()));
    connect(m_buttonHome, SIGNAL(clicked()), this, SLOT(onButtonHomeClicked()));
    connect(m_buttonShareDesktop, SIGNAL(clicked()), this, SLOT(onButtonShareDesktopClicked()));
    connect(m_buttonFeedback, SIGNAL(clicked()), this, SLOT(onButtonFeedbackClicked()));
    connect(m_buttonImport, &QPushButton::clicked, this, &MyTitleBar::onButtonImportClicked);
    connect(m_buttonNetwork, SIGNAL(clicked()), this, SLOT(onButtonNetworkStatusClicked()));
    connect(m_buttonMin, SIGNAL(clicked()), this, SLOT(onButtonMinClicked()));
    connect(m_buttonRestore, SIGNAL(clicked()), this, SLOT(onButtonRestoreClicked()));
    connect(m_buttonMax, SIGNAL(clicked()), this, SLOT(onButtonMaxClicked()));
    connect(m_buttonClose, SIGNAL(clicked()), this, SLOT(onButtonCloseClicked()));
}

void MyTitleBar::loadStyleSheet(const QString& sheetName)
{
    QFile file(QStringLiteral(":/Resources/") + sheetName + QStringLiteral(".css"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "MyTitleBar::loadStyleSheet cannot open" << file.fileName();
        return;
    }
    setStyleSheet(styleSheet() + QString::fromLatin1(file.readAll()));
}

void MyTitleBar::setWindowButtonsMode(int mode)
{
    m_buttonsMode = mode;
    switch (mode) {
    case 0:
        m_buttonRestore->setVisible(false);
        m_buttonMax->setVisible(false);
        break;
    case 1:
        m_buttonRestore->setVisible(false);
        break;
    case 2:
        m_buttonMin->setVisible(false);
        m_buttonRestore->setVisible(false);
        m_buttonMax->setVisible(false);
        break;
    default:
        break;
    }
}

void MyTitleBar::setMaximizedState()
{
    m_buttonMax->setVisible(false);
    m_buttonRestore->setVisible(true);
    logEmitSignal("signalButtonMaxClicked");
    emit signalButtonMaxClicked();
}

void MyTitleBar::setTitleText(const QString& title)
{
    m_titleContent->setText(title);
    m_rollTitle = title;
}

void MyTitleBar::setTitleIcon(const QString& resourcePath)
{
    m_productIcon->setPixmap(QPixmap(resourcePath));
}

void MyTitleBar::setPeriodId(const QString& periodId)
{
    m_periodId->setText(QStringLiteral("ID: ") + periodId);
}

void MyTitleBar::setCpuUsage(int percent)
{
    const char* colour = "#7ED321";
    if (percent >= 70)
        colour = "#F53838";
    else if (percent >= 40)
        colour = "#FF6129";
    m_cpuUsage->setText(QStringLiteral("CPU: %1%").arg(percent));
    m_cpuUsage->setStyleSheet(
        QStringLiteral("QLabel{\nmargin-top:1px;margin-bottom:-1px;color:%1;\n}").arg(QLatin1String(colour)));
}

void MyTitleBar::setCpuUsageVisible(bool visible)
{
    m_cpuUsage->setVisible(visible);
}

void MyTitleBar::setNetworkQuality(int txQuality, int rxQuality)
{
    Q_UNUSED(txQuality)
    const char* colour = "#7ED321";
    const char* icon = "network_good.png";
    switch (networkLevelFor(rxQuality)) {
    case 1:
        m_buttonNetwork->setText(tr("GREAT"));
        break;
    case 2:
        m_buttonNetwork->setText(tr("GOOD"));
        colour = "#FF6129";
        icon = "network_bad.png";
        break;
    case 3:
        m_buttonNetwork->setText(tr("POOR"));
        colour = "#F53838";
        icon = "network_terrible.png";
        break;
    default:
        break;
    }
    m_buttonNetwork->setStyleSheet(
        QStringLiteral("QToolButton#ButtonNetwork { margin-top:6px;margin-bottom:6px; color:%1; "
                       "background-color:rgb(36,49,56); border:none; border-radius:4px;}"
                       "QToolButton#ButtonNetwork:hover {background-color:rgb(50,69,79); }"
                       "QToolButton#ButtonNetwork:pressed {background-color:rgb(22,34,41); }")
            .arg(QLatin1String(colour)));
    m_buttonNetwork->setFixedHeight(40);
    m_buttonNetwork->setIcon(QIcon(QStringLiteral(":/Resources/MyTitle/%1").arg(QLatin1String(icon))));
    m_buttonNetwork->setFont(infoFont());
}

void MyTitleBar::setForwardButtonHidden(bool hidden)
{
    m_buttonForward->setHidden(hidden);
}

void MyTitleBar::setHomeButtonHidden(bool hidden)
{
    m_buttonHome->setHidden(hidden);
}

void MyTitleBar::setFeedbackButtonHidden(bool hidden)
{
    m_buttonFeedback->setHidden(hidden);
}

void MyTitleBar::setSettingButtonHidden(bool hidden)
{
    m_buttonSetting->setHidden(hidden);
}

void MyTitleBar::showNetworkButton()
{
    m_buttonNetwork->setVisible(true);
}

void MyTitleBar::showShareDesktopButton()
{
    m_buttonShareDesktop->setVisible(true);
}

void MyTitleBar::startRollTitle()
{
    connect(&m_rollTimer, SIGNAL(timeout()), this, SLOT(onRollTitle()), Qt::UniqueConnection);
    m_rollTimer.start(kRollIntervalMs);
}

void MyTitleBar::onRollTitle()
{
    if (s_rollPosition > m_rollTitle.length())
        s_rollPosition = 0;
    m_titleContent->setText(m_rollTitle.mid(s_rollPosition));
    ++s_rollPosition;
}

void MyTitleBar::showFeedbackTipOnce()
{
    if (m_buttonFeedback->isHidden())
        return;
    int known = 0;
    ConfigManager::instance()->ini_GetParam_Int("AppInfo/I_KnowFeedback", known);
    if (known != 0)
        return;
    if (!m_feedbackTip)
        m_feedbackTip = TitleBarDialogs::instance()->createFeedbackTip(parentWidget());
    if (!m_feedbackTip)
        return;
    placeFeedbackTip();
    m_feedbackTip->show();
}

QTimer* MyTitleBar::feedbackTipCheck() const
{
    return m_feedbackTipTimer.data();
}

void MyTitleBar::placeFeedbackTip()
{
    if (!m_feedbackTip)
        return;
    const QRect button = m_buttonFeedback->geometry();
    QPoint position = m_buttonFeedback->mapToGlobal(QPoint(button.width() / 2, button.height()));
    position.rx() -= m_feedbackTip->width() / 2;
    m_feedbackTip->move(position);
    m_feedbackTip->setModal(false);
}

void MyTitleBar::onButtonFeedbackClicked()
{
    // The feedback carries the log-information document of this moment.
    writeLogInfoFile(QString());
    TitleBarDialogs::instance()->openFeedbackForm(parentWidget());
}

void MyTitleBar::onButtonConfigerClicked()
{
    TitleBarDialogs::instance()->openDeviceCheck(parentWidget());
}

void MyTitleBar::onButtonBackClicked()
{
    logEmitSignal("signalButtonBackClicked");
    emit signalButtonBackClicked();
}

void MyTitleBar::onButtonForwardClicked()
{
    logEmitSignal("signalButtonForwardClicked");
    emit signalButtonForwardClicked();
}

void MyTitleBar::onButtonReloadClicked()
{
    logEmitSignal("signalButtonReloadClicked");
    emit signalButtonReloadClicked();
}

void MyTitleBar::onButtonSettingClicked()
{
    logEmitSignal("signalButtonSettingClicked");
    emit signalButtonSettingClicked();
}

void MyTitleBar::onButtonHomeClicked()
{
    logEmitSignal("signalButtonHomeClicked");
    emit signalButtonHomeClicked();
}

void MyTitleBar::onButtonShareDesktopClicked()
{
    logEmitSignal("signalButtonShareDesktopClicked");
    emit signalButtonShareDesktopClicked();
}

void MyTitleBar::onButtonImportClicked()
{
    emit signalButtonImportClicked();
}

void MyTitleBar::onButtonNetworkStatusClicked()
{
    logEmitSignal("signalButtonNetworkStatusClicked");
    emit signalButtonNetworkStatusClicked();
}

void MyTitleBar::onButtonMinClicked()
{
    logEmitSignal("signalButtonMinClicked");
    emit signalButtonMinClicked();
}

void MyTitleBar::onButtonRestoreClicked()
{
    m_buttonRestore->setVisible(false);
    m_buttonMax->setVisible(true);
    logEmitSignal("signalButtonRestoreClicked");
    emit signalButtonRestoreClicked();
}

void MyTitleBar::onButtonMaxClicked()
{
    setMaximizedState();
}

void MyTitleBar::onButtonCloseClicked()
{
    logEmitSignal("signalButtonCloseClicked");
    emit signalButtonCloseClicked();
}

void MyTitleBar::mousePressEvent(QMouseEvent* event)
{
    // In mode 1 a window that fills the desktop (Max hidden) stays where it is.
    if (m_buttonsMode != 1 || !m_buttonMax->isHidden()) {
        m_isPressed = true;
        m_lastGlobalPos = event->globalPos();
    }
    QWidget::mousePressEvent(event);
}

void MyTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    if (m_isPressed) {
        const QPoint delta = event->globalPos() - m_lastGlobalPos;
        m_lastGlobalPos = event->globalPos();
        if (QWidget* window = parentWidget())
            window->move(window->pos() + delta);
    }
    QWidget::mouseMoveEvent(event);
}

void MyTitleBar::mouseReleaseEvent(QMouseEvent* event)
{
    m_isPressed = false;
    QWidget::mouseReleaseEvent(event);
}

void MyTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_buttonsMode == 1) {
        if (!m_buttonMax->isHidden())
            onButtonMaxClicked();
        else
            onButtonRestoreClicked();
    }
    QWidget::mouseDoubleClickEvent(event);
}

void MyTitleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeFeedbackTip();
}
