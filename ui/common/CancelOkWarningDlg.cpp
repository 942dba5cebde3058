#include "ui/common/CancelOkWarningDlg.h"

#include "ui_CancelOkWarningDlg.h"

CancelOkWarningDlg::CancelOkWarningDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::CancelOkWarningDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
}

CancelOkWarningDlg::~CancelOkWarningDlg()
{
    delete ui;
}

void CancelOkWarningDlg::setMessageText(const QString& text)
{
    ui->title->setText(text);
    // A message longer than the window holds makes the window taller, so that none of it is cut off.
    const int neededHeight = heightForWidth(width());
    if (neededHeight > height())
        resize(width(), neededHeight);
}

void CancelOkWarningDlg::setOkText(const QString& text)
{
    ui->okBtn->setText(text);
}

void CancelOkWarningDlg::setCancelText(const QString& text)
{
    ui->cancelBtn->setText(text);
}

void CancelOkWarningDlg::setCancelButtonVisible(bool visible)
{
    ui->cancelBtn->setVisible(visible);
}

void CancelOkWarningDlg::on_okBtn_pressed()
{
    done(ResultOk);
}

void CancelOkWarningDlg::on_cancelBtn_pressed()
{
    done(ResultCancel);
}

void CancelOkWarningDlg::on_closeBtn_pressed()
{
    reject();
}
