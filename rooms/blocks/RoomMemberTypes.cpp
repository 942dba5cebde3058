#include "rooms/blocks/RoomMemberTypes.h"

#include <mutex>

void registerRoomMemberTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<UserID_T>("UserID_T");
        qRegisterMetaType<BtnIconType>("BtnIconType");
    });
}
