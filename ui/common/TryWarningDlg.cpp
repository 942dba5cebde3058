#include "ui/common/TryWarningDlg.h"

#include "ui_TryWarningDlg.h"

TryWarningDlg::TryWarningDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::TryWarningDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
}

TryWarningDlg::~TryWarningDlg()
{
    delete ui;
}

void TryWarningDlg::setTitle(const QString& text)
{
    ui->title->setText(text);
}

void TryWarningDlg::setContent(const QString& text)
{
    ui->content->setText(text);
}

void TryWarningDlg::on_tryBtn_pressed()
{
    done(ResultRetry);
}

void TryWarningDlg::on_closeBtn_pressed()
{
    done(ResultClose);
}
