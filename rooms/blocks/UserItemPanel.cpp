#include "rooms/blocks/UserItemPanel.h"

#include "rooms/blocks/UserItemWidget_Out.h"

#include <QListWidget>

UserItemPanel::UserItemPanel(QListWidget* list)
    : QListWidgetItem(list, QListWidgetItem::Type)
{
    setSizeHint(QSize(0, 60));
}

UserItemPanel::~UserItemPanel() = default;

void UserItemPanel::setWidget(UserItemWidget_Out* row)
{
    m_row = row;
    if (QListWidget* list = listWidget())
        list->setItemWidget(this, row);
}

bool UserItemPanel::operator<(const QListWidgetItem& other) const
{
    const auto* panel = dynamic_cast<const UserItemPanel*>(&other);
    if (!panel || !m_row || !panel->m_row)
        return false;
    return m_row->lessThan(*panel->m_row);
}
