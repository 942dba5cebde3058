#include "app/records/UserInfo.h"

#include <QJsonArray>
#include <QJsonValue>

#include <climits>

namespace {

// A JSON whole number or decimal text as int.
bool jsonToInt(const QJsonValue& value, int& out)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number < double(INT_MIN) || number > double(INT_MAX) || number != double(qint64(number)))
            return false;
        out = int(number);
        return true;
    }
    if (value.isString()) {
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        if (ok)
            out = number;
        return ok;
    }
    return false;
}

void resetTalkStates(UserInfoMap& members)
{
    for (UserInfo& member : members) {
        member.talkState = TalkState_None;
        member.talkOrder = -1;
    }
}

void setTalkEntry(UserInfoMap& members, int userId, int state, int order)
{
    auto found = members.find(userId);
    if (found == members.end()) {
        UserInfo added;
        // Known only by its id: keep the id so the record names the member it is filed under.
        added.userId = QString::number(userId);
        found = members.insert(userId, added);
    }
    found->talkState = state;
    found->talkOrder = order;
}

} // namespace

int UserInfo::userIdAsInt() const
{
    return userId.toInt();
}

QString UserInfo::displayName() const
{
    const QString english = enNickName.trimmed();
    return english.isEmpty() ? cnNickName.trimmed() : english;
}

void applyTalkList(UserInfoMap& members, const QVector<TalkListEntry>& entries)
{
    resetTalkStates(members);
    const int count = entries.size();
    for (int i = 0; i < count; ++i)
        setTalkEntry(members, entries.at(i).userId, entries.at(i).state, count - i);
}

void applyTalkListMessage(UserInfoMap& members, const QJsonObject& body)
{
    resetTalkStates(members);
    const QJsonArray list = body.value(QStringLiteral("userInfoList")).toArray();
    const int count = list.size();
    for (int i = 0; i < count; ++i) {
        const QJsonObject item = list.at(i).toObject();
        int userId = 0;
        if (!jsonToInt(item.value(QStringLiteral("userId")), userId))
            continue;
        int state = TalkState_None;
        jsonToInt(item.value(QStringLiteral("state")), state);
        setTalkEntry(members, userId, state, count - i);
    }
}
