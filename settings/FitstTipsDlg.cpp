#include "settings/FitstTipsDlg.h"

#include "app/ConfigManager.h"

#include "ui_FitstTipsDlg.h"

FitstTipsDlg::FitstTipsDlg(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FitstTipsDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setModal(true);
}

FitstTipsDlg::~FitstTipsDlg()
{
    delete ui;
}

void FitstTipsDlg::on_btn_ok_pressed()
{
    ConfigManager::instance()->ini_SetParam_Int("AppInfo/I_KnowFeedback", 1);
    done(1);
}
