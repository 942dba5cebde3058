#include "replay/windows/ClassReplayDlg.h"

#include "app/LogHandler.h"
#include "replay/widgets/ReplayResources.h"
#include "replay/widgets/ReplayerOverlapWidget.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/ProgramRestart.h"
#include "web/ZmRouteManager.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCloseEvent>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSlider>

#include <limits>

namespace {

const char* const playPicture = "QPushButton{ border-image:url(:/imageRes/image/res/play.png) }";
const char* const pausePicture = "QPushButton{ border-image:url(:/imageRes/image/res/pause.png) }";

} // namespace

ClassReplayDlg::ClassReplayDlg(QWidget* parent)
    : ZmBaseDialog(parent)
    , m_waitingDlg(this)
{
    ReplayResources::ensureLoaded();
}

ClassReplayDlg::~ClassReplayDlg()
{
    m_uiTimer.stop();
    delete m_overlap;
}

void ClassReplayDlg::setUpReplayWindow(const Parts& parts)
{
    m_parts = parts;
    setBackgroundColor(QColor(36, 49, 56, 255));

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        setGeometry(area.width() / 4, area.height() / 4, area.width() / 2, area.height() / 2);
    }

    m_titleBar->setTitleIcon(QStringLiteral(":/imageRes/image/res/logo2@2x.png"));
    m_titleBar->setTitleText(QString());
    m_titleBar->setWindowButtonsMode(1);
    m_titleBar->setMetrics(36, 49, 56);
    connect(m_titleBar, SIGNAL(signalButtonCloseClicked()), this, SLOT(onTitleBtnCloseClicked()));
    connect(m_titleBar, SIGNAL(signalButtonReloadClicked()), this, SLOT(onTitleBtnReloadClicked()));
    connect(m_titleBar, SIGNAL(signalButtonBackClicked()), this, SLOT(onTitleBtnCloseClicked()));
    m_titleBar->setForwardButtonHidden(true);
    m_titleBar->setHomeButtonHidden(true);
    m_titleBar->setSettingButtonHidden(true);

    setPlaying(false);
    connect(m_parts.playBtn, &QPushButton::clicked, this, &ClassReplayDlg::onPlayBtnClicked);
    m_parts.playBtn->hide();

    m_slider = m_parts.playProgress;
    m_slider->setSliderDown(false);
    m_slider->setMinimum(0);
    m_slider->setSliderPosition(0);
    m_slider->setEnabled(false);
    m_slider->installEventFilter(this);
    connect(m_slider, &QSlider::sliderMoved, this, &ClassReplayDlg::onSliderMoved);

    m_waitingDlg.setWindowFlags(m_waitingDlg.windowFlags() | Qt::WindowStaysOnTopHint);

    // Made after the form, so that it lies above everything else.
    m_overlap = new ReplayerOverlapWidget(this);
    m_overlap->hide();
    connect(m_overlap, &ReplayerOverlapWidget::signalPlay, this, &ClassReplayDlg::onOverlapPlayBtnClicked);
    connect(m_overlap, &ReplayerOverlapWidget::signalClose, this, &ClassReplayDlg::onOverlapBtnCloseClicked);

    m_uiTimer.setInterval(clockIntervalMs);
    m_uiTimer.setSingleShot(false);
    connect(&m_uiTimer, &QTimer::timeout, this, &ClassReplayDlg::onTimerForChangeUiPostion);

    connect(m_parts.whiteboard, &Whiteboard::sigWhiteboardBufferFinished, this,
            &ClassReplayDlg::onWhiteboardBufferFinished);
}

bool ClassReplayDlg::setReplayCtrl(ReplayCtrl* ctrl)
{
    m_replayCtrl = ctrl;
    if (ctrl)
        connect(ctrl, SIGNAL(stateChanged(ReplayCtrl*, ReplayerState)), this,
                SLOT(onReplayCtrlStateChanged(ReplayCtrl*, ReplayerState)));
    return true;
}

void ClassReplayDlg::showMax()
{
    show();
    m_titleBar->setMaximizedState();
}

QString ClassReplayDlg::timeText(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 - 60 * hours;
    const qint64 rest = seconds - 3600 * hours - 60 * minutes;
    const QString hoursText = QStringLiteral("%1").arg(hours, 2, 10, QLatin1Char('0'));
    const QString minutesText = QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
    const QString secondsText = QStringLiteral("%1").arg(rest, 2, 10, QLatin1Char('0'));
    if (hoursText == QLatin1String("00"))
        return QStringLiteral("%1:%2").arg(minutesText, secondsText);
    return QStringLiteral("%1:%2:%3").arg(hoursText, minutesText, secondsText);
}

void ClassReplayDlg::setTimeText(QLabel* label, qint64 seconds)
{
    label->setText(timeText(seconds));
}

int ClassReplayDlg::currentPosition() const
{
    return static_cast<int>(qBound<qint64>(0, m_clock.position(), std::numeric_limits<int>::max()));
}

void ClassReplayDlg::setClockSourceForTesting(ReplayClock::TimeSource source)
{
    const qint64 position = m_clock.position();
    const bool running = m_clock.isRunning();
    m_clock = ReplayClock(std::move(source));
    m_clock.setPosition(position);
    if (running)
        m_clock.start();
}

qint32 ClassReplayDlg::replayDuration() const
{
    return m_replayCtrl ? m_replayCtrl->mediaInfo().duration : 0;
}

void ClassReplayDlg::startClock()
{
    m_uiTimer.start();
    m_clock.start();
}

void ClassReplayDlg::stopClock()
{
    m_uiTimer.stop();
    m_clock.stop();
}

void ClassReplayDlg::updatePosition(int ms, bool moveSlider)
{
    if (moveSlider)
        m_slider->setValue(ms);
    setTimeText(m_parts.playTime, ms / 1000);
    // Past the end (a slider the user pulled beyond a shorter length) nothing remains.
    setTimeText(m_parts.remainTime, qMax<qint64>(0, qint64(replayDuration()) - ms) / 1000);
}

void ClassReplayDlg::setPlaying(bool playing)
{
    m_playing = playing;
    m_parts.playBtn->setStyleSheet(QString::fromLatin1(playing ? pausePicture : playPicture));
}

void ClassReplayDlg::onPlayBtnClicked()
{
    setPlaying(!m_playing);
    if (m_replayCtrl)
        m_replayCtrl->play(m_playing);
    if (m_playing)
        startClock();
    else
        stopClock();
}

void ClassReplayDlg::onTimerForChangeUiPostion()
{
    if (!m_replayCtrl)
        return;
    const int position = currentPosition();
    const auto duration = static_cast<quint32>(replayDuration());
    if (static_cast<quint32>(position) > duration) {
        stopClock();
        setPlaying(false);
        m_replayCtrl->stop();
        m_overlap->show();
        m_overlap->raise();
        m_parts.whiteboard->grabImage();
        return;
    }
    updatePosition(position, !m_sliderPressed);
    m_replayCtrl->seek(static_cast<uint>(position), false);
}

void ClassReplayDlg::onTitleBtnReloadClicked()
{
    m_parts.whiteboard->reloadPage();
}

void ClassReplayDlg::onTitleBtnCloseClicked()
{
    m_waitingDlg.stopWaiting();
    auto* question = new CancelOkWarningDlg(this);
    replaceModalDialog(question);
    question->setMessageText(tr("Are you sure you want to exit Playback?"));
    question->setDoneCallback(
        [](QObject* context, int result) {
            auto* window = qobject_cast<ClassReplayDlg*>(context);
            if (window && result == CancelOkWarningDlg::ResultOk)
                window->endReplay();
        },
        this);
    question->show();
}

void ClassReplayDlg::startReadyReplay(bool resetPlayTime)
{
    m_waitingDlg.stopWaiting();
    const qint32 duration = replayDuration();
    m_slider->setMaximum(duration);
    m_slider->setEnabled(true);
    if (resetPlayTime)
        setTimeText(m_parts.playTime, 0);
    setTimeText(m_parts.remainTime, duration / 1000);
    m_parts.playBtn->show();
    setPlaying(true);
    m_replayCtrl->play(true);
    startClock();
}

void ClassReplayDlg::showLoadFailure()
{
    m_waitingDlg.stopWaiting();
    auto* failure = new ErrorDlg(this);
    replaceModalDialog(failure);
    failure->setMessage(tr("Video playback loading process is abnormal, you can:"),
                        tr("refresh the page or enter the classroom later"), tr("contact the CR"));
    failure->setDoneCallback(
        [](QObject* context, int result) {
            auto* window = qobject_cast<ClassReplayDlg*>(context);
            if (window && result == ErrorDlg::ResultAcknowledged)
                window->endReplay();
        },
        this);
    failure->show();
}

void ClassReplayDlg::replaceModalDialog(ModalDialog* dialog)
{
    if (m_modalDlg) {
        m_modalDlg->reject();
        m_modalDlg->deleteLater();
        m_modalDlg = nullptr;
    }
    m_modalDlg = dialog;
}

void ClassReplayDlg::endReplay()
{
    m_waitingDlg.stopWaiting();
    ZmRouteManager::postAppEvent(1);
}

void ClassReplayDlg::onWhiteboardBufferFinished()
{
    // A page that has (re)loaded jumps to the clock.
    logEmitSignal("signalBoardSeek");
    emit m_parts.whiteboard->signalBoardSeek(static_cast<uint>(currentPosition()));
}

void ClassReplayDlg::onSliderMoved(int /*value*/) {}

void ClassReplayDlg::onSliderPressed()
{
    m_sliderPressed = true;
}

void ClassReplayDlg::onSliderReleased()
{
    m_sliderPressed = false;
    stopClock();
    m_clock.setPosition(m_slider->value());
    const int position = currentPosition();
    updatePosition(position, true);
    if (m_replayCtrl)
        m_replayCtrl->seek(static_cast<uint>(position), true);
    if (m_playing)
        startClock();
}

void ClassReplayDlg::onOverlapPlayBtnClicked()
{
    m_overlap->hide();
    m_parts.whiteboard->hideDefaultPicture();
    m_clock.setPosition(0);
    updatePosition(0, true);
    if (m_replayCtrl)
        m_replayCtrl->seek(0, true);
    m_playing = false;
    QTimer::singleShot(replayAgainDelayMs, this, SLOT(onPlayBtnClicked()));
}

void ClassReplayDlg::onOverlapBtnCloseClicked()
{
    m_overlap->hide();
    endReplay();
}

bool ClassReplayDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A disabled slider (while loading) moves nothing.
    if (watched == m_slider && m_slider->isEnabled()) {
        if (event->type() == QEvent::MouseButtonPress)
            onSliderPressed();
        else if (event->type() == QEvent::MouseButtonRelease)
            onSliderReleased();
    }
    return ZmBaseDialog::eventFilter(watched, event);
}

void ClassReplayDlg::enterEvent(QEvent* event)
{
    m_parts.playBar->show();
    ZmBaseDialog::enterEvent(event);
}

void ClassReplayDlg::leaveEvent(QEvent* event)
{
    m_parts.playBar->hide();
    ZmBaseDialog::leaveEvent(event);
}

void ClassReplayDlg::resizeEvent(QResizeEvent* event)
{
    ZmBaseDialog::resizeEvent(event);
    if (m_overlap)
        m_overlap->setGeometry(0, 0, event->size().width(), event->size().height());
    if (m_parts.whiteboard)
        layoutReplay(event->size());
}

void ClassReplayDlg::closeForGood()
{
    m_closingForGood = true;
    close();
}

void ClassReplayDlg::closeEvent(QCloseEvent* event)
{
    if (m_closingForGood || ProgramRestart::isClosingWindows())
        return;
    event->ignore();
    onTitleBtnCloseClicked();
}
