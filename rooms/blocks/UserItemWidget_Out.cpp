#include "rooms/blocks/UserItemWidget_Out.h"

UserItemWidget_Out::UserItemWidget_Out(QWidget* parent)
    : QWidget(parent)
{
    registerRoomMemberTypes();
}

UserItemWidget_Out::~UserItemWidget_Out() = default;

bool UserItemWidget_Out::lessThan(const UserItemWidget_Out& other) const
{
    const bool teacher = isTeacherRow();
    if (teacher != other.isTeacherRow())
        return teacher;
    if (sortKey() != other.sortKey())
        return sortKey() > other.sortKey();
    return shownName() < other.shownName();
}
