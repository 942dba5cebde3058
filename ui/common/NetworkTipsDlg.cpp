#include "ui/common/NetworkTipsDlg.h"

#include "ui_NetworkTipsDlg.h"

NetworkTipsDlg::NetworkTipsDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::NetworkTipsDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    // The tips wrap inside the fixed width; the window grows downwards when they need more room.
    const int neededHeight = heightForWidth(width());
    if (neededHeight > height())
        resize(width(), neededHeight);
}

NetworkTipsDlg::~NetworkTipsDlg()
{
    delete ui;
}

void NetworkTipsDlg::on_iknowBtn_pressed()
{
    done(1);
}
