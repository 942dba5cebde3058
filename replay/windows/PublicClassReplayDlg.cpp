#include "replay/windows/PublicClassReplayDlg.h"

#include "app/AppGlobalData.h"
#include "net/api/ZmNetAPI.h"

#include "ui_PublicClassReplayDlg.h"

#include <QDebug>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace {

const char* const introductionScrollBar = "QScrollBar:vertical {width:16px;margin-left:10px;border:none;}"
                                          "QScrollBar::handle:vertical {background:#75797C;min-height:20;}"
                                          "QScrollBar::handle:vertical:hover {background:#C1C4C7;}"
                                          "QScrollBar::add-page:vertical {background:#1A1C1E;}"
                                          "QScrollBar::sub-page:vertical {background:#1A1C1E;}"
                                          "QScrollBar::add-line:vertical {height:0px;}"
                                          "QScrollBar::sub-line:vertical {height:0px;}";

} // namespace

PublicClassReplayDlg::PublicClassReplayDlg(QWidget* parent)
    : ClassReplayDlg(parent)
    , m_ui(new Ui::PublicClassReplayDlg)
{
    m_ui->setupUi(this);
    m_ui->playPanel->raise();
    m_ui->whiteboard->raise();
    m_ui->RightPanel->raise();
    setUpReplayWindow(
        {m_ui->whiteboard, m_ui->playBar, m_ui->playBtn, m_ui->playTime, m_ui->remainTime, m_ui->playProgress});
    showCourseIntroduction();
}

PublicClassReplayDlg::~PublicClassReplayDlg()
{
    delete m_ui;
}

VideoReplayWidget* PublicClassReplayDlg::teacherTile() const
{
    return m_ui->videoWidget;
}

QWidget* PublicClassReplayDlg::rightPanel() const
{
    return m_ui->RightPanel;
}

QTextEdit* PublicClassReplayDlg::courseIntroduction() const
{
    return m_ui->infoDetail;
}

void PublicClassReplayDlg::showCourseIntroduction()
{
    AppGlobalData* data = AppGlobalData::instance();
    // Refreshes the lesson record; whatever it holds afterwards is shown.
    const int result =
        ZmNetAPI::instance()->GetSmallClassInfo(data->lesson.periodId, data->launch.userId, data->launch.token);
    if (result != 0)
        qWarning() << "PublicClassReplayDlg: the lesson record could not be loaded:" << result;

    m_ui->infoDetail->verticalScrollBar()->setStyleSheet(QString::fromLatin1(introductionScrollBar));
    m_ui->infoDetail->setAlignment(Qt::AlignJustify);
    QTextCursor cursor = m_ui->infoDetail->textCursor();
    QTextBlockFormat format = cursor.blockFormat();
    format.setLineHeight(24, QTextBlockFormat::FixedHeight);
    format.setAlignment(Qt::AlignJustify);
    cursor.setBlockFormat(format);
    cursor.insertText(data->lesson.content);
    cursor.movePosition(QTextCursor::Start, QTextCursor::MoveAnchor);
    m_ui->infoDetail->setTextCursor(cursor);
}

void PublicClassReplayDlg::setPlayTimeText(qint64 seconds)
{
    setTimeText(m_ui->playTime, seconds);
}

void PublicClassReplayDlg::setRemainTimeText(qint64 seconds)
{
    setTimeText(m_ui->remainTime, seconds);
}

void PublicClassReplayDlg::onReplayCtrlStateChanged(ReplayCtrl* /*pCtrl*/, ReplayerState state)
{
    qDebug() << "PublicClassReplayDlg::onReplayCtrlStateChanged" << int(state);
    switch (state) {
    case ReplayerState_Loading:
        m_waitingDlg.startWaiting(tr("Playback loading..."), false, 30000);
        m_slider->setEnabled(false);
        break;
    case ReplayerState_Ready:
        startReadyReplay(false);
        break;
    case ReplayerState_LoadFailed:
        showLoadFailure();
        break;
    case ReplayerState_Stalled:
        m_replayCtrl->play(false);
        break;
    case ReplayerState_MayContinue:
        if (m_playing)
            m_replayCtrl->play(true);
        break;
    default:
        break;
    }
}

PublicClassReplayDlg::Layout PublicClassReplayDlg::layoutFor(const QSize& windowSize, int playPanelHeight,
                                                             int rightPanelWidth)
{
    const int availableWidth = windowSize.width() - 60;
    const int availableHeight = windowSize.height() - 86 - playPanelHeight;
    const int freeWidth = availableWidth - rightPanelWidth - 30;
    const int widthByHeight = int(float(availableHeight - 64) * 1.62f);
    const int boardWidth = qMax(0, freeWidth < widthByHeight ? freeWidth : widthByHeight);
    const int boardHeight = int(float(boardWidth) / 1.62f + 64.0f);
    return {QSize(boardWidth, boardHeight), boardHeight};
}

void PublicClassReplayDlg::layoutReplay(const QSize& windowSize)
{
    const Layout layout = layoutFor(windowSize, m_ui->playPanel->minimumHeight(), m_ui->RightPanel->minimumWidth());
    m_ui->whiteboard->setFixedSize(layout.whiteboard);
    m_ui->RightPanel->setFixedHeight(layout.rightPanelHeight);
}
