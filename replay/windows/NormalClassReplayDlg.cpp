#include "replay/windows/NormalClassReplayDlg.h"

#include "ui_NormalClassReplayDlg.h"

#include <QDebug>

NormalClassReplayDlg::NormalClassReplayDlg(QWidget* parent)
    : ClassReplayDlg(parent)
    , m_ui(new Ui::NormalClassReplayDlg)
{
    m_ui->setupUi(this);
    setUpReplayWindow(
        {m_ui->whiteboard, m_ui->playBar, m_ui->playBtn, m_ui->playTime, m_ui->remainTime, m_ui->playProgress});
    m_ui->whiteboard->hideLessonTitle();
    m_ui->playBar->hide();
}

NormalClassReplayDlg::~NormalClassReplayDlg()
{
    delete m_ui;
}

QLabel* NormalClassReplayDlg::lessonTitle() const
{
    return m_ui->lessonTitle;
}

QWidget* NormalClassReplayDlg::videoPanel() const
{
    return m_ui->videoPanel;
}

VideoReplayWidget* NormalClassReplayDlg::teacherTile() const
{
    return m_ui->videoWidget_t;
}

VideoReplayWidget* NormalClassReplayDlg::studentTile() const
{
    return m_ui->videoWidget_s;
}

bool NormalClassReplayDlg::setReplayCtrl(ReplayCtrl* ctrl)
{
    ClassReplayDlg::setReplayCtrl(ctrl);
    m_waitingDlg.startWaiting(tr("Playback loading..."), false, 120000);
    return true;
}

void NormalClassReplayDlg::onReplayCtrlStateChanged(ReplayCtrl* /*pCtrl*/, ReplayerState state)
{
    qDebug() << "NormalClassReplayDlg::onReplayCtrlStateChanged" << int(state);
    switch (state) {
    case ReplayerState_Loading:
        stopClock();
        m_slider->setEnabled(false);
        break;
    case ReplayerState_Ready:
        startReadyReplay(true);
        break;
    case ReplayerState_LoadFailed:
        showLoadFailure();
        break;
    case ReplayerState_Stalled:
        stopClock();
        m_replayCtrl->play(false);
        break;
    case ReplayerState_MayContinue:
        if (m_playing) {
            m_replayCtrl->play(true);
            startClock();
        }
        break;
    default:
        break;
    }
}

NormalClassReplayDlg::Layout NormalClassReplayDlg::layoutFor(const QSize& windowSize, int titleHeight,
                                                             int playBarHeight)
{
    const int availableWidth = windowSize.width() - 30;
    const int availableHeight = windowSize.height() - 65 - titleHeight - playBarHeight;
    // Widest page whose column of two 4:3 tiles (10 pixels apart) fits beside it, and tallest page that fits.
    const int byWidth = int((float(availableWidth) + 6.6666667f) / 1.4115226f + 0.5f);
    const int byHeight = int(float(availableHeight) * 1.62f + 0.5f);
    int boardWidth = 0;
    int columnWidth = 0;
    if (byWidth <= byHeight) {
        boardWidth = byWidth;
        columnWidth = availableWidth - boardWidth;
    } else {
        boardWidth = byHeight;
        columnWidth = int(float((availableHeight - 10) / 2) * 1.3333334f);
    }
    const int boardHeight = int(float(boardWidth) / 1.62f);
    return {QSize(qMax(0, boardWidth), qMax(0, boardHeight)), QSize(qMax(0, columnWidth), qMax(0, boardHeight))};
}

void NormalClassReplayDlg::layoutReplay(const QSize& windowSize)
{
    if (m_waitingDlg.isVisible()) {
        const QPoint centred((width() - m_waitingDlg.width()) / 2, (height() - m_waitingDlg.height()) / 2);
        m_waitingDlg.move(mapToGlobal(centred));
    }
    // The rows' fixed heights: a hidden play bar keeps whatever height it had.
    const Layout layout = layoutFor(windowSize, m_ui->lessonTitle->minimumHeight(), m_ui->widget1->minimumHeight());
    m_ui->whiteboard->setFixedSize(layout.whiteboard);
    m_ui->videoPanel->setFixedSize(layout.videoPanel);
}
