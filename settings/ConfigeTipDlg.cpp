#include "settings/ConfigeTipDlg.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "ui/common/UiResources.h"

#include "ui_ConfigeTipDlg.h"

#include <QPointer>

ConfigeTipDlg::ConfigeTipDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::Dialog)
{
    UiResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog | Qt::Tool);
    setAttribute(Qt::WA_DeleteOnClose);
}

ConfigeTipDlg::~ConfigeTipDlg()
{
    delete ui;
}

void ConfigeTipDlg::showContinuePage()
{
    ui->stackedWidget->setCurrentWidget(ui->page_3);
}

void ConfigeTipDlg::showFeedbackFailedPage()
{
    ui->stackedWidget->setCurrentWidget(AppGlobalData::instance()->isStudent() ? ui->page : ui->page_2);
}

void ConfigeTipDlg::on_okButton_clicked()
{
    answer(false);
}

void ConfigeTipDlg::on_okButton_2_clicked()
{
    answer(false);
}

void ConfigeTipDlg::on_endButton_clicked()
{
    answer(false);
}

void ConfigeTipDlg::on_continueButton_clicked()
{
    answer(true);
}

void ConfigeTipDlg::answer(bool continueTest)
{
    const QPointer<ConfigeTipDlg> self(this);
    if (continueTest) {
        logEmitSignal("sig_continue_device_test");
        emit sig_continue_device_test();
    } else {
        logEmitSignal("sig_end_device_test");
        emit sig_end_device_test();
    }
    if (self)
        close();
}
