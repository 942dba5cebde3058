#include "ui/common/ZmImageLabel.h"

#include <QPainter>

ZmImageLabel::ZmImageLabel(QWidget* parent)
    : QLabel(parent)
{
}

void ZmImageLabel::paintEvent(QPaintEvent* event)
{
    const QPixmap picture = pixmap(Qt::ReturnByValue);
    if (picture.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const int side = height();
    const QPixmap scaled = picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(scaled));
    painter.drawRoundedRect(QRect(0, 0, side, side), side / 2, side / 2, Qt::AbsoluteSize);
}
