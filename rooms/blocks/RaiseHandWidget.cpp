#include "rooms/blocks/RaiseHandWidget.h"

#include "app/LogHandler.h"
#include "rooms/blocks/RoomBlocksResources.h"

#include <QBitmap>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The button's look with its picture and the hover picture.
QString buttonStyle(const char* picture, const char* hoverPicture)
{
    return QStringLiteral("QPushButton{color:#FFFFFF;border-image:url(:/buttons/res/%1.png);padding-left:20px;"
                          "padding-bottom:3px;}QPushButton:hover{color:#FFFFFF;border-image:url(:/buttons/res/"
                          "%2.png);padding-left:20px;padding-bottom:3px;}")
        .arg(QLatin1String(picture), QLatin1String(hoverPicture));
}

// The hovered look of the hand-down button, without a hover rule.
const char kHoveredStyle[] = "QPushButton{color:#FFFFFF;border-image:url(:/buttons/res/raise_hand_hover.png);"
                             "padding-left:20px;padding-bottom:3px;}";

QFont formFont(bool bold)
{
    QFont font(QStringLiteral("微软雅黑"), 12);
    font.setBold(bold);
    return font;
}

} // namespace

RaiseHandWidget::RaiseHandWidget(QWidget* parent)
    : RaiseHandWidget_Out(parent)
{
    RoomBlocksResources::ensureLoaded();
    setObjectName(QStringLiteral("RaiseHandWidget"));
    resize(110, 129);
    setStyleSheet(QStringLiteral("QWidget{background:transparent;}"));
    setAttribute(Qt::WA_TranslucentBackground, true);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(12);
    grid->setContentsMargins(0, 0, 0, 0);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("lbl_pictrue"));
    m_picture->setEnabled(false);
    m_picture->setMinimumSize(98, 72);
    m_picture->setStyleSheet(QStringLiteral("QLabel{border-image:url(:/buttons/res/bear.png);}"));
    grid->addWidget(m_picture, 0, 0);

    auto* holder = new QWidget(this);
    holder->setObjectName(QStringLiteral("buttonHolder"));
    holder->setFixedSize(98, 45);
    m_button = new QPushButton(holder);
    m_button->setObjectName(QStringLiteral("btn_raise_hand"));
    m_button->setGeometry(0, 0, 98, 45);
    m_button->setFont(formFont(true));
    m_button->setText(tr("raise hand"));
    m_progress = new QProgressBar(holder);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setGeometry(0, 0, 98, 45);
    m_progress->setStyleSheet(QStringLiteral("QProgressBar{color:transparent;border:none;background-color:#FFBAA2;"
                                             "text-align:center;}QProgressBar::chunk{background-color:#FF713F;}"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_progressText = new QLabel(holder);
    m_progressText->setObjectName(QStringLiteral("progressText"));
    m_progressText->setGeometry(0, 0, 98, 45);
    m_progressText->setFont(formFont(false));
    m_progressText->setStyleSheet(QStringLiteral("QLabel{color:#FFFFFF;}"));
    m_progressText->setAlignment(Qt::AlignCenter);
    m_progressText->setText(tr("90s"));
    grid->addWidget(holder, 1, 0);
    QMetaObject::connectSlotsByName(this);

    // The fill takes the button's shape.
    m_progress->setMask(QBitmap(QStringLiteral(":/buttons/res/raise_hand_mask.png")));
    stopCountdown();
}

RaiseHandWidget::~RaiseHandWidget()
{
    stopCountdown();
}

void RaiseHandWidget::setBtnIconType(BtnIconType type, bool enabled)
{
    m_button->setEnabled(enabled);
    if (type == BtnIcon_HandDown) {
        m_button->setText(tr("Raise"));
        m_button->setStyleSheet(buttonStyle("raise_hand", "raise_hand_hover"));
    } else if (type == BtnIcon_Talking) {
        m_button->setText(tr("Close"));
        m_button->setStyleSheet(buttonStyle("talking", "talking_hover"));
    }
    m_state = type;
}

void RaiseHandWidget::startCountdown(int seconds)
{
    m_progress->setMaximum(seconds);
    m_progress->setValue(0);
    m_progress->show();
    m_progressText->setText(QString::number(seconds) + QLatin1Char('s'));
    m_progressText->show();
}

void RaiseHandWidget::stopCountdown()
{
    m_progress->hide();
    m_progressText->hide();
    setBtnIconType(BtnIcon_HandDown, true);
}

void RaiseHandWidget::updateCountdown(int elapsed)
{
    m_progress->setValue(elapsed);
    m_progressText->setText(QString::number(m_progress->maximum() - elapsed) + QLatin1Char('s'));
}

void RaiseHandWidget::moveToCorner()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    move(parent->width() - width() - m_rightMargin, parent->height() - height() - m_bottomMargin);
}

void RaiseHandWidget::setCornerMargins(int right, int bottom)
{
    m_rightMargin = right;
    m_bottomMargin = bottom;
}

void RaiseHandWidget::on_btn_raise_hand_clicked()
{
    logEmitSignal("on_btn_raise_hand_clicked");
    emit clicked(m_state);
}

void RaiseHandWidget::resizeEvent(QResizeEvent* event)
{
    RaiseHandWidget_Out::resizeEvent(event);
    moveToCorner();
}

void RaiseHandWidget::enterEvent(QEvent* event)
{
    RaiseHandWidget_Out::enterEvent(event);
    if (m_state == BtnIcon_HandDown)
        m_button->setStyleSheet(QString::fromLatin1(kHoveredStyle));
}

void RaiseHandWidget::leaveEvent(QEvent* event)
{
    RaiseHandWidget_Out::leaveEvent(event);
    if (m_state == BtnIcon_HandDown)
        setBtnIconType(BtnIcon_HandDown, m_button->isEnabled());
}
