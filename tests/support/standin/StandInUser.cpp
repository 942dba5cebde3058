#include "StandInUser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QLabel>
#include <QTest>

namespace {

// The visible, non-empty label texts of window, joined by " | ".
QString textsOf(const QWidget* window)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty())
            texts << label->text();
    }
    return texts.join(QStringLiteral(" | "));
}

} // namespace

StandInUser::StandInUser(const QStringList& buttons)
    : m_buttons(buttons)
{
    qInfo().noquote() << "StandInUser will click" << m_buttons.join(QStringLiteral(", "));
    connect(&m_timer, &QTimer::timeout, this, &StandInUser::look);
    m_timer.start(100);
}

void StandInUser::look()
{
    if (m_buttons.isEmpty()) {
        m_timer.stop();
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>(m_buttons.first())) {
            if (!button->isVisible() || !button->isEnabled())
                continue;
            qInfo().noquote() << "StandInUser clicks" << button->objectName() << "in"
                              << button->window()->metaObject()->className() << "showing" << textsOf(button->window());
            m_buttons.removeFirst();
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
}
