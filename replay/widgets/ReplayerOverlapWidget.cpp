#include "replay/widgets/ReplayerOverlapWidget.h"

#include "app/LogHandler.h"
#include "replay/widgets/ReplayResources.h"
#include "ui_ReplayerOverlapWidget.h"

ReplayerOverlapWidget::ReplayerOverlapWidget(QWidget* parent)
    : QLabel(parent)
    , m_form(new Ui::ReplayerOverlapWidget)
{
    ReplayResources::ensureLoaded();
    m_form->setupUi(this);
}

ReplayerOverlapWidget::~ReplayerOverlapWidget()
{
    delete m_form;
}

void ReplayerOverlapWidget::on_playBtn_pressed()
{
    logEmitSignal("signalPlay");
    emit signalPlay();
}

void ReplayerOverlapWidget::on_closeBtn_pressed()
{
    logEmitSignal("signalClose");
    emit signalClose();
}
