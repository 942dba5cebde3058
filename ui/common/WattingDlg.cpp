#include "ui/common/WattingDlg.h"

#include "ui/common/UiResources.h"

#include "ui_WattingDlg.h"

#include <QDebug>

WattingDlg::WattingDlg(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::WattingDlg)
    , m_animationTimer(new QTimer(this))
{
    UiResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    connect(m_animationTimer, &QTimer::timeout, this, &WattingDlg::loadupdate);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &WattingDlg::loadtimeout);
}

WattingDlg::~WattingDlg()
{
    stopWaiting();
    delete ui;
}

void WattingDlg::startWaiting(const QString& text, bool modal, int timeoutMs)
{
    m_frame = 0;
    m_animationTimer->start(kFrameIntervalMs);
    if (timeoutMs > 0)
        m_timeoutTimer.start(timeoutMs);
    ui->title->setText(text);
    setModal(modal);
    show();
}

bool WattingDlg::stopWaiting()
{
    m_timeoutTimer.stop();
    m_animationTimer->stop();
    return close();
}

QLabel* WattingDlg::textLabel() const
{
    return ui->title;
}

void WattingDlg::loadupdate()
{
    ui->pic->setStyleSheet(QStringLiteral("QLabel{border-image:url(:/imageRes/image/res/loading/%1.png);}")
                               .arg(m_frame % kFrameCount + 1));
    ++m_frame;
}

void WattingDlg::loadtimeout()
{
    m_timeoutTimer.stop();
    qDebug() << "Emit:"
             << "signalTimeout()";
    emit signalTimeout();
}
