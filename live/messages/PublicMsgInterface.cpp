#include "live/messages/PublicMsgInterface.h"

PublicMsgInterface::PublicMsgInterface(QObject* parent)
    : QObject(parent)
{
}
