#pragma once

#include <QListWidgetItem>

class QListWidget;
class UserItemWidget_Out;

// One item of the member list: it holds a member's row and orders the list by the rows (teacher first, then the
// talk list, then the shown name).
class UserItemPanel : public QListWidgetItem
{
public:
    // An item 60 pixels high, added to the list.
    explicit UserItemPanel(QListWidget* list);
    ~UserItemPanel() override;

    // Installs the row as the item's widget; a row installed before is replaced and destroyed by the list.
    void setWidget(UserItemWidget_Out* row);
    UserItemWidget_Out* widget() const { return m_row; }

    // False when other is not a member item or either side has no row; else the rows' order.
    bool operator<(const QListWidgetItem& other) const override;

private:
    UserItemWidget_Out* m_row = nullptr;
};
