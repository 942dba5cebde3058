#include "rooms/blocks/RaiseHandWidget_Out.h"

RaiseHandWidget_Out::RaiseHandWidget_Out(QWidget* parent)
    : QWidget(parent)
{
    registerRoomMemberTypes();
}

RaiseHandWidget_Out::~RaiseHandWidget_Out() = default;
