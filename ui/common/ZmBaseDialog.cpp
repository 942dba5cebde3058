#include "ui/common/ZmBaseDialog.h"

#include "ui/common/MyTitleBar.h"
#include "ui/common/NetworkTipsDlg.h"

#include <QDebug>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

ZmBaseDialog::ZmBaseDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground, false);
    initTitleBar();

    const QRect available = availableDesktopArea();
    if (available.isEmpty())
        qWarning() << "ZmBaseDialog::ZmBaseDialog no screen, normal size kept at" << m_normalSize;
    else
        m_normalSize = clampedNormalSize(m_normalSize, available);
}

ZmBaseDialog::~ZmBaseDialog() = default;

void ZmBaseDialog::initTitleBar()
{
    m_titleBar = new MyTitleBar(this);
    m_titleBar->move(0, 0);
    connect(m_titleBar, SIGNAL(signalButtonNetworkStatusClicked()), this, SLOT(onButtonNetworkStatusClicked()));
    connect(m_titleBar, SIGNAL(signalButtonMinClicked()), this, SLOT(onShareDesktop_MinBtn_Clicked()));
    connect(m_titleBar, SIGNAL(signalButtonRestoreClicked()), this, SLOT(onButtonRestoreClicked()));
    connect(m_titleBar, SIGNAL(signalButtonMaxClicked()), this, SLOT(onButtonMaxClicked()));
}

QSize ZmBaseDialog::clampedNormalSize(const QSize& normalSize, const QRect& available)
{
    QSize size = normalSize;
    if (available.width() < size.width())
        size.setWidth(available.width());
    if (available.height() < size.height())
        size.setHeight(available.height());
    return size;
}

QRect ZmBaseDialog::maximizedGeometry(const QRect& available)
{
    return QRect(available.x(), available.y(), available.width(), available.height() - 1);
}

QPoint ZmBaseDialog::restoredPosition(const QSize& normalSize, const QRect& available)
{
    return QPoint((available.width() - normalSize.width()) / 2, (available.height() - normalSize.height()) / 2);
}

QRect ZmBaseDialog::availableDesktopArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void ZmBaseDialog::onButtonMaxClicked()
{
    const QRect available = availableDesktopArea();
    if (available.isEmpty()) {
        qWarning() << "ZmBaseDialog::onButtonMaxClicked no screen";
        return;
    }
    const QRect target = maximizedGeometry(available);
    move(target.topLeft());
    setFixedSize(target.size());
}

void ZmBaseDialog::onButtonRestoreClicked()
{
    const QRect available = availableDesktopArea();
    if (available.isEmpty()) {
        qWarning() << "ZmBaseDialog::onButtonRestoreClicked no screen";
        return;
    }
    move(restoredPosition(m_normalSize, available));
    setFixedSize(m_normalSize);
}

void ZmBaseDialog::onShareDesktop_MinBtn_Clicked()
{
    if ((windowFlags() & Qt::Tool) == Qt::Tool)
        hide();
    else
        showMinimized();
}

void ZmBaseDialog::onTitleCloseBtnClicked()
{
    close();
}

void ZmBaseDialog::onButtonNetworkStatusClicked()
{
    auto* dialog = new NetworkTipsDlg(this);
    dialog->setDoneCallback(
        [](QObject* context, int) {
            if (context)
                context->deleteLater();
        },
        dialog);
    dialog->show();
}

void ZmBaseDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRect(0, 0, width(), height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.fillPath(path, QBrush(m_backgroundColor));
    QWidget::paintEvent(event);
}

void ZmBaseDialog::resizeEvent(QResizeEvent*)
{
    m_titleBar->setFixedWidth(width());
}
