#include "settings/FeedbackOnlineItem.h"

#include "ui_FeedbackOnlineItem.h"

FeedbackOnlineItem::FeedbackOnlineItem(const QString& text, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::FeedbackOnlineItem)
{
    ui->setupUi(this);
    ui->common_checkBox->setText(text);
}

FeedbackOnlineItem::~FeedbackOnlineItem()
{
    delete ui;
}

QCheckBox* FeedbackOnlineItem::getCheckBox() const
{
    return ui->common_checkBox;
}
