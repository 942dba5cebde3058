#include "web/whiteboard/PPTFailLoadTips.h"

#include "app/LogHandler.h"
#include "web/whiteboard/WhiteboardResources.h"

#include "ui_PPTFailLoadTips.h"

PPTFailLoadTips::PPTFailLoadTips(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::PPTFailLoadTips)
{
    WhiteboardResources::ensureLoaded();
    ui->setupUi(this);
    connect(ui->btn_refresh, &QPushButton::clicked, this, &PPTFailLoadTips::onReloadPage);
}

PPTFailLoadTips::~PPTFailLoadTips()
{
    delete ui;
}

void PPTFailLoadTips::onReloadPage()
{
    logEmitSignal("signal_reload_page");
    emit signal_reload_page();
}
