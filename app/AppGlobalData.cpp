#include "app/AppGlobalData.h"

AppGlobalData* AppGlobalData::instance()
{
    // Built on first use (thread-safe), so static initialisers elsewhere may use it too; lives until exit.
    static AppGlobalData data;
    return &data;
}

void AppGlobalData::addUser(const UserInfo& record)
{
    m_members.insert(record.userIdAsInt(), record);
}

void AppGlobalData::clearUsers()
{
    m_members = UserInfoMap();
}

bool AppGlobalData::findUser(int id, UserInfo& out) const
{
    const auto found = m_members.constFind(id);
    if (found == m_members.constEnd())
        return false;
    out = *found;
    return true;
}

bool AppGlobalData::findUserOrTeacher(int id, UserInfo& out) const
{
    if (findUser(id, out))
        return true;
    int teacherId = 0;
    if (idFromText(teacher.userId, teacherId) && teacherId == id) {
        out = teacher;
        return true;
    }
    int ownId = 0;
    if (idFromText(launch.userId, ownId) && ownId == id) {
        out = ownRecord();
        return true;
    }
    return false;
}

bool AppGlobalData::findUserOrSelf(int id, UserInfo& out) const
{
    return findUserOrTeacher(id, out);
}

UserInfo AppGlobalData::ownRecord() const
{
    UserInfo own = firstMember;
    own.userId = launch.userId;
    own.accountType = launch.accountType;
    return own;
}

bool AppGlobalData::setUiType(int teachType, int classType)
{
    Q_UNUSED(classType)
    if (teachType < 1 || teachType > 3)
        return false;
    launch.uiType = teachType;
    return true;
}

int AppGlobalData::teacherIdAsInt() const
{
    return teacher.userId.toInt();
}

bool AppGlobalData::idFromText(const QString& text, int& id)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        id = value;
    return ok;
}
