#include "settings/FeedbackReceivedDlg.h"

#include "ui_FeedbackReceivedDlg.h"

FeedbackReceivedDlg::FeedbackReceivedDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::FeedbackReceivedDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    connect(ui->okBtn, &QPushButton::clicked, this, &FeedbackReceivedDlg::onClickOK);
    connect(ui->closeBtn, &QPushButton::clicked, this, &FeedbackReceivedDlg::onClickClose);
}

FeedbackReceivedDlg::~FeedbackReceivedDlg()
{
    delete ui;
}

void FeedbackReceivedDlg::onClickOK()
{
    done(1);
}

void FeedbackReceivedDlg::onClickClose()
{
    done(0);
}
