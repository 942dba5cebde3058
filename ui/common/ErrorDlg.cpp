#include "ui/common/ErrorDlg.h"

#include "app/records/InitTaskParams.h"

#include "ui_ErrorDlg.h"

namespace {

// Step details that choose the code: 19 overrides every step; -3 picks the second code of the API and
// websocket steps.
constexpr int kDetailOverride = 19;
constexpr int kDetailSecondCode = -3;

} // namespace

ErrorDlg::ErrorDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::ErrorDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
}

ErrorDlg::~ErrorDlg()
{
    delete ui;
}

void ErrorDlg::setMessage(const QString& headLine, const QString& firstLine, const QString& secondLine)
{
    ui->label_L1->setText(headLine);
    ui->label_L2->setText(firstLine);
    ui->label_L3->setText(secondLine);
}

void ErrorDlg::setButtonText(const QString& text)
{
    ui->iknowBtn->setText(text);
}

void ErrorDlg::hideFirstWidget()
{
    ui->Pic->hide();
}

void ErrorDlg::setErrorCode(unsigned int stepType, int stepResult, int stepDetail)
{
    const int code = errorCodeFor(stepType, stepResult, stepDetail);
    if (code == 0)
        return;
    ui->label_L3->setText(ui->label_L3->text() + QStringLiteral(" [Code: ") + QString::number(code) +
                          QStringLiteral("]"));
}

bool ErrorDlg::isDeviceUnpluggedRun()
{
    const s_InitTask_Params* params = getInitTaskParams();
    return params && params->forCase_ == InitCase_DeviceUnplugged;
}

int ErrorDlg::errorCodeFor(unsigned int stepType, int stepResult, int stepDetail)
{
    if (stepDetail == kDetailOverride)
        return -2005;

    switch (stepType) {
    case Agora_CheckCamera:
        return isDeviceUnpluggedRun() ? -1004 : -1001;
    case Agora_CheckMicphone:
        return isDeviceUnpluggedRun() ? -1005 : -1002;
    case Agora_CheckSpeaker:
        return isDeviceUnpluggedRun() ? -1006 : -1003;
    case API_LoadClassInfo:
        return stepDetail == kDetailSecondCode ? -2004 : -2001;
    case API_EnterClass:
        return stepDetail == kDetailSecondCode ? -2004 : -2002;
    case Agora_JoinChannel:
        return -9001;
    case WebEngine_LoadWhiteboard:
        return stepResult == Init_Task_TimedOut ? -4002 : -4001;
    case WebSocket_Link:
        return stepDetail == kDetailSecondCode ? -3002 : -3001;
    default:
        return 0;
    }
}

void ErrorDlg::on_iknowBtn_pressed()
{
    done(ResultAcknowledged);
}
