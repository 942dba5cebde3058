#include "web/whiteboard/WebTipOverlapWidget.h"

#include "app/LogHandler.h"
#include "web/whiteboard/WhiteboardResources.h"

#include "ui_WebTipOverlapWidget.h"

WebTipOverlapWidget::WebTipOverlapWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::WebTipOverlapWidget)
{
    WhiteboardResources::ensureLoaded();
    ui->setupUi(this);
}

WebTipOverlapWidget::~WebTipOverlapWidget()
{
    delete ui;
}

void WebTipOverlapWidget::on_playBtn_pressed()
{
    logEmitSignal("signalPlay");
    emit signalPlay();
}

void WebTipOverlapWidget::on_closeBtn_pressed()
{
    logEmitSignal("signalClose");
    emit signalClose();
}
