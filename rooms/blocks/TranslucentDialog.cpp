#include "rooms/blocks/TranslucentDialog.h"

#include "platform/Compositing.h"

#include <QPainter>
#include <QScreen>

TranslucentDialog::TranslucentDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setStyleSheet(QStringLiteral("QDialog { background-color: transparent; }"));
}

TranslucentDialog::~TranslucentDialog() = default;

void TranslucentDialog::showEvent(QShowEvent* event)
{
    // The window is not on the screen yet: the picture is of what lies beneath it.
    m_backdrop = QPixmap();
    if (m_backdropWanted && !Platform::compositingManagerRunning()) {
        if (QScreen* shown = screen())
            m_backdrop = shown->grabWindow(0, x(), y(), width(), height());
    }
    QDialog::showEvent(event);
}

void TranslucentDialog::hideEvent(QHideEvent* event)
{
    m_backdrop = QPixmap();
    QDialog::hideEvent(event);
}

void TranslucentDialog::paintEvent(QPaintEvent* event)
{
    if (!m_backdrop.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(rect(), m_backdrop);
    }
    QDialog::paintEvent(event);
}
