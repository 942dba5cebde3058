#include "rooms/widgets/DesktopShareTitleBar.h"

#include "app/LogHandler.h"
#include "rooms/widgets/RoomWidgetsResources.h"

#include "ui_DesktopShareTitleBar.h"

#include <QMouseEvent>

DesktopShareTitleBar::DesktopShareTitleBar(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::DesktopShareTitleBar)
{
    RoomWidgetsResources::ensureLoaded();
    ui->setupUi(this);
    connect(ui->btn_min, &QPushButton::clicked, this, &DesktopShareTitleBar::onButtonMinClicked);
    connect(ui->btn_share_desktop, &QPushButton::clicked, this, &DesktopShareTitleBar::onButtonShareDesktopClicked);
}

DesktopShareTitleBar::~DesktopShareTitleBar()
{
    delete ui;
}

void DesktopShareTitleBar::onButtonMinClicked()
{
    logEmitSignal("signal_minimum_window");
    emit signal_minimum_window();
}

void DesktopShareTitleBar::onButtonShareDesktopClicked()
{
    logEmitSignal("signal_exit_share_desktop");
    emit signal_exit_share_desktop();
}

void DesktopShareTitleBar::mousePressEvent(QMouseEvent* event)
{
    m_lastMousePos = event->globalPos();
    QWidget::mousePressEvent(event);
}

void DesktopShareTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint delta = event->globalPos() - m_lastMousePos;
    if (QWidget* window = parentWidget())
        window->move(window->pos() + delta);
    m_lastMousePos = event->globalPos();
    QWidget::mouseMoveEvent(event);
}
