#include "ui/common/ToastDialog.h"

#include "ui/common/UiResources.h"

#include "ui_ToastDialog.h"

#include <QTimer>

namespace {

constexpr int kShowMilliseconds = 3000;
constexpr int kWidthAroundText = 96;

struct ToastStyle
{
    const char* background;
    const char* icon;
};

const ToastStyle kStyles[] = {
    {"QWidget#widget_bg{background-color:rgb(243,250,240,200); border:1px solid #e7f5e0; border-radius:4px;}",
     "QLabel{image:url(:/imageRes/image/res/succ.png); background-color:transparent;}"},
    {"QWidget#widget_bg{background-color:rgb(255,246,230,200); border:1px solid #ffeecc; border-radius:4px;}",
     "QLabel{image:url(:/imageRes/image/res/warning.png); background-color:transparent;}"},
    {"QWidget#widget_bg{background-color:rgb(255,238,230,200); border:1px solid #ffddcc; border-radius:4px;}",
     "QLabel{image:url(:/imageRes/image/res/error.png); background-color:transparent;}"},
};

} // namespace

ToastDialog::ToastDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ToastDialog)
{
    UiResources::ensureLoaded();
    ui->setupUi(this);
    m_hideTimer = new QTimer(this);
    ui->label_icon->hide();
    ui->label_text->setAlignment(Qt::AlignHCenter);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_NoSystemBackground, false);
    connect(m_hideTimer, SIGNAL(timeout()), this, SLOT(onTimeout()));
}

ToastDialog::~ToastDialog()
{
    delete ui;
}

void ToastDialog::showToast(int type, const QString& text)
{
    if (type >= Success && type <= Error) {
        ui->widget_bg->setStyleSheet(QString::fromLatin1(kStyles[type].background));
        ui->label_icon->setStyleSheet(QString::fromLatin1(kStyles[type].icon));
    }
    ui->label_text->setText(text);
    ui->label_text->adjustSize();
    setFixedWidth(ui->label_text->width() + kWidthAroundText);
    show();
    m_hideTimer->start(kShowMilliseconds);
}

void ToastDialog::hideToast()
{
    m_hideTimer->stop();
    hide();
    emit sigToastShowTimeOut();
}

void ToastDialog::onTimeout()
{
    hideToast();
}
