#pragma once

#include "rooms/blocks/RoomMemberTypes.h"

#include <QWidget>

class QLabel;
class QListWidget;
class UserItemPanel;
class UserItemWidget_Out;

// The member panel of the public class room: a title (member count, or on the teacher's client the number of
// raised hands with a hand icon) above the list of member rows. UserListCtrl fills and drives it.
class UserListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit UserListWidget(QWidget* parent = nullptr);
    ~UserListWidget() override;

    // A new row filled as the teacher's (or a student's) row, installed in the member's item (found or created).
    UserItemWidget_Out* addTeacher(const UserID_T& id, QString name, QString portraitUrl);
    UserItemWidget_Out* addUser(const UserID_T& id, QString name, QString portraitUrl, int starPoints);
    // The first item, in list order, whose row shows that member; null when none.
    UserItemPanel* findItem(UserID_T id) const;
    UserItemPanel* findOrCreateItem(const UserID_T& id);
    UserItemWidget_Out* findUserWidget(UserID_T id) const;
    void setUserVolume(UserID_T id, int volume);
    void setTitle(QString text);
    QString title() const;
    // The title's text, its background colour (any CSS colour) and whether the hand icon shows.
    void setTitleStyle(QString text, bool showHand, QString color);
    // Orders the rows: teacher first, then the talk list, then the names.
    void sortItems();
    // Takes the parent widget's size: the title as wide, the list below it.
    void fitToParent();

    QListWidget* listWidget() const { return m_list; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_title;
    QListWidget* m_list;
    QWidget* m_handIcon;
};
